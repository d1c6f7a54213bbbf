#include <FramekitHeadless/CTQHeadlessViewport.h>

#include <Framekit/Display/CTQVisual3d.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessViewport, CTQViewport, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessViewport)

CTQHeadlessViewport::CTQHeadlessViewport() = default;
CTQHeadlessViewport::~CTQHeadlessViewport() = default;

void CTQHeadlessViewport::Render()
{
    ++m_nFrameCount;
    sTQHeadlessFrame& frame = Slot(m_nFrameCount);
    frame.nFrame = m_nFrameCount;
    frame.aDisplayed.clear();
    frame.aInView.clear();
    CTQViewport::Render();
}

void CTQHeadlessViewport::OnVisualDisplayed(CTQVisual& visual)
{
    sTQHeadlessFrame& frame = Slot(m_nFrameCount);
    frame.aDisplayed.push_back(visual.GetId());
    if (!visual.IsOfType(CTQVisual3d::GetClassType()))
        return;
    const CTQGeomAlignedBBox3d& box = static_cast<CTQVisual3d&>(visual).GetWorldBoundingBox();
    if (!box.IsEmpty() && DoesIntersectViewcone(box.GetMin(), box.GetMax()))
        frame.aInView.push_back(visual.GetId());
}

void CTQHeadlessViewport::OnDisplaySizeChanged(const CTQSize& size)
{
    SetSize(size);
}

const sTQHeadlessFrame* CTQHeadlessViewport::GetFrame(std::uint32_t frame) const
{
    if (frame == 0 || frame > m_nFrameCount || m_nFrameCount - frame >= kFrameHistory)
        return nullptr;
    return &m_aFrames[frame % kFrameHistory];
}

const sTQHeadlessFrame& CTQHeadlessViewport::GetLastFrame() const
{
    return m_aFrames[m_nFrameCount % kFrameHistory];
}

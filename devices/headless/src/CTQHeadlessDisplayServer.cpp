#include <FramekitHeadless/CTQHeadlessDisplayServer.h>
#include <FramekitHeadless/CTQHeadlessPrimitive.h>
#include <FramekitHeadless/CTQHeadlessViewport.h>

#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessDisplayServer, CTQDisplayServer, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessDisplayServer)

namespace
{
struct sModeSize
{
    std::uint32_t width;
    std::uint32_t height;
};
constexpr sModeSize kModeSizes[] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
constexpr std::uint32_t kModeDepths[] = {16, 32};
constexpr std::uint32_t kModeCount = 8;
constexpr std::uint32_t kRefreshRate = 60;

template <class T>
T* FindAs(std::int32_t id)
{
    CTQObjectDatabase* database = TQGetObjectDatabase();
    CTQObject* object = database ? database->QueryObject(id) : nullptr;
    if (!object)
        return nullptr;
    object->Release();
    return object->IsOfType(T::GetClassType()) ? static_cast<T*>(object) : nullptr;
}
} // namespace

CTQHeadlessDisplayServer::CTQHeadlessDisplayServer() = default;
CTQHeadlessDisplayServer::~CTQHeadlessDisplayServer() = default;

bool CTQHeadlessDisplayServer::CanChangeDisplayMode() const
{
    return true;
}

bool CTQHeadlessDisplayServer::OpenDisplay()
{
    m_bOpen = true;
    return true;
}

void CTQHeadlessDisplayServer::CloseDisplay()
{
    m_bOpen = false;
}

bool CTQHeadlessDisplayServer::IsDisplayOpen() const
{
    return m_bOpen;
}

std::int32_t CTQHeadlessDisplayServer::NewScene()
{
    return CreateObject("CTQScene");
}

std::int32_t CTQHeadlessDisplayServer::NewCamera()
{
    return CreateObject("CTQCamera");
}

std::int32_t CTQHeadlessDisplayServer::NewViewport()
{
    return CreateObject("CTQViewport");
}

std::int32_t CTQHeadlessDisplayServer::NewPrimitive(int type, std::int32_t count)
{
    const std::int32_t id = CreateObject("CTQPrimitive");
    if (CTQHeadlessPrimitive* primitive = FindAs<CTQHeadlessPrimitive>(id))
        primitive->SetCreationParameters(type, count);
    return id;
}

const char* CTQHeadlessDisplayServer::GetDeviceClassInfix() const
{
    return "Headless";
}

void CTQHeadlessDisplayServer::BeginEnumDisplayModes()
{
    m_nNextMode = 0;
}

bool CTQHeadlessDisplayServer::HasMoredisplayModes()
{
    return m_nNextMode < kModeCount;
}

// Past the last mode (a caller's contract broken) the last one is handed out again.
_sTQDisplayModes& CTQHeadlessDisplayServer::GetNextDisplayMode()
{
    const std::uint32_t index = m_nNextMode < kModeCount ? m_nNextMode++ : kModeCount - 1;
    const sModeSize& size = kModeSizes[index / 2];
    m_oMode = _sTQDisplayModes();
    m_oMode.aWords[kWordWidth] = size.width;
    m_oMode.aWords[kWordHeight] = size.height;
    m_oMode.aWords[kWordBpp] = kModeDepths[index % 2];
    m_oMode.aWords[kWordRefresh] = kRefreshRate;
    return m_oMode;
}

void CTQHeadlessDisplayServer::EndEnumDisplayModes()
{
    m_nNextMode = kModeCount;
}

const sTQHeadlessFrame* CTQHeadlessDisplayServer::GetFrame(std::int32_t viewport, std::uint32_t frame) const
{
    const CTQHeadlessViewport* target = FindAs<CTQHeadlessViewport>(viewport);
    return target ? target->GetFrame(frame) : nullptr;
}

const sTQHeadlessFrame* CTQHeadlessDisplayServer::GetLastFrame(std::int32_t viewport) const
{
    const CTQHeadlessViewport* target = FindAs<CTQHeadlessViewport>(viewport);
    return target ? &target->GetLastFrame() : nullptr;
}

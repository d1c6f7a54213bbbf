#include <Framekit/Display/CTQScene.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQTimer.h>
#include <Plinth/Log.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQScene, CTQVisual, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQScene)

namespace
{
constexpr std::uint8_t kStackTag = 0x53;       // 'S'
constexpr std::uint8_t kStackArrayTag = 0x64;  // 'd'
// A versioned matrix: its bracket (8 bytes) and 16 floats.
constexpr std::uint32_t kStoredMatrixSize = 8 + 64;
} // namespace

CTQScene::CTQScene() : m_pTimer(TQGetTimer()) {}

CTQScene::~CTQScene() = default;

CTQVector3 CTQScene::MapVirtualToWorld(const CTQVector3& v) const
{
    return m_oMatrix * v;
}

CTQVector3 CTQScene::MapWorldToVirtual(const CTQVector3& v) const
{
    return m_oInvMatrix * v;
}

void CTQScene::DebugDump() {}

void CTQScene::Display(std::int32_t viewport)
{
    CTQVisual::Display(viewport);
}

void CTQScene::SetMatrix(const CTQMatrix44& matrix)
{
    m_oMatrix = matrix;
    CalcInvMatrix();
}

void CTQScene::ApplyMatrix(const CTQMatrix44& m)
{
    m_oMatrix = m_oMatrix * m;
    CalcInvMatrix();
}

void CTQScene::PushMatrix()
{
    m_aMatrixStack.push_back(m_oMatrix);
}

bool CTQScene::PopMatrix()
{
    if (m_aMatrixStack.empty())
    {
        Debug_Warning("CTQScene::PopMatrix(): no matrix was pushed; the matrix is kept");
        return false;
    }
    m_oMatrix = m_aMatrixStack.back();
    m_aMatrixStack.pop_back();
    CalcInvMatrix();
    return true;
}

// A singular matrix leaves the inverse as the inversion leaves it (unchanged)
// and marks it invalid.
void CTQScene::CalcInvMatrix()
{
    m_oInvMatrix = m_oMatrix;
    m_bInvMatrixValid = m_oInvMatrix.Invert();
}

CTQTimer* CTQScene::GetTimerRef()
{
    return m_pTimer;
}

std::int32_t CTQScene::GetSerializationMode() const
{
    return kTQSerializationModeSerialize;
}

void CTQScene::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQVisual>(s, *this);
    TQSerializeMember(s, m_oMatrix);
    TQSerializeMember(s, m_oInvMatrix);
    s.Serialize(m_bInvMatrixValid);
    if (s.IsStoring())
        StoreStack(s);
    else
        LoadStack(s);
}

void CTQScene::StoreStack(CTQDataStream& s)
{
    s.Write(kStackTag);
    s.Write(kStackArrayTag);
    s.Write(static_cast<std::int32_t>(m_aMatrixStack.size()));
    for (CTQMatrix44& matrix : m_aMatrixStack)
        TQSerializeMember(s, matrix);
}

// The stack is replaced only by a complete one.
void CTQScene::LoadStack(CTQDataStream& s)
{
    std::uint8_t tag = 0;
    if (s.GetRemaining() == 0 || !s.Read(tag) || tag != kStackTag)
        return;
    if (!s.Read(tag) || tag != kStackArrayTag)
        return;
    std::int32_t count = 0;
    if (!s.Read(count) || count < 0 || !s.CheckCount(static_cast<std::uint32_t>(count), kStoredMatrixSize))
    {
        s.SetFailed();
        return;
    }
    std::deque<CTQMatrix44> stack(static_cast<std::size_t>(count));
    for (CTQMatrix44& matrix : stack)
        TQSerializeMember(s, matrix);
    if (!s.IsFailed())
        m_aMatrixStack = std::move(stack);
}

#include <Geodex/CTQGeomStructQuadNode.h>

#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include <algorithm>
#include <cstdint>

int CTQGeomStructQuadNode::_m_nDataFormatVersion = 0x100;

namespace
{
constexpr std::uint8_t kChildBits = (1u << CTQGeomStructQuadNode::kNumChildren) - 1u;

// How deep the loading running on this thread has descended. Loading recurses
// through the virtual Serialize of derived nodes, so the depth cannot travel
// as an argument.
thread_local int t_nLoadDepth = 0;

struct LoadDepthGuard
{
    LoadDepthGuard() { ++t_nLoadDepth; }
    ~LoadDepthGuard() { --t_nLoadDepth; }
    LoadDepthGuard(const LoadDepthGuard&) = delete;
    LoadDepthGuard& operator=(const LoadDepthGuard&) = delete;
};
} // namespace

CTQGeomStructQuadNode::CTQGeomStructQuadNode() = default;

CTQGeomStructQuadNode::~CTQGeomStructQuadNode()
{
    // Only the children this node made; the others may already be gone (nodes
    // kept in an array are destroyed in any order) and must not be touched.
    for (int i = 0; i < kNumChildren; ++i)
        if (m_nOwnedMask & (1u << i))
            delete m_apChild[i];
}

void CTQGeomStructQuadNode::Init()
{
    for (int i = 0; i < kNumChildren; ++i)
        if (m_apChild[i])
            RemoveChild(i);
    m_pClient = nullptr;
    m_fMinX = m_fMinY = m_fMaxX = m_fMaxY = 0.0f;
    m_nGeneration = 0;
}

void CTQGeomStructQuadNode::SetBoundingBox(float minX, float minY, float maxX, float maxY, bool bPropagate)
{
    m_fMinX = minX;
    m_fMinY = minY;
    m_fMaxX = maxX;
    m_fMaxY = maxY;
    if (!bPropagate)
        return;
    for (int i = 0; i < kNumChildren; ++i)
    {
        if (!m_apChild[i])
            continue;
        float x0, y0, x1, y1;
        QuadrantOf(i, x0, y0, x1, y1);
        m_apChild[i]->SetBoundingBox(x0, y0, x1, y1, true);
    }
}

void CTQGeomStructQuadNode::QuadrantOf(int index, float& minX, float& minY, float& maxX, float& maxY) const
{
    float midX = (m_fMinX + m_fMaxX) * 0.5f;
    float midY = (m_fMinY + m_fMaxY) * 0.5f;
    bool highX = (index & 1) != 0;
    bool highY = (index & 2) != 0;
    minX = highX ? midX : m_fMinX;
    maxX = highX ? m_fMaxX : midX;
    minY = highY ? midY : m_fMinY;
    maxY = highY ? m_fMaxY : midY;
}

bool CTQGeomStructQuadNode::HasInSubtree(const CTQGeomStructQuadNode* node) const
{
    if (node == this)
        return true;
    for (const CTQGeomStructQuadNode* child : m_apChild)
        if (child && child->HasInSubtree(node))
            return true;
    return false;
}

void CTQGeomStructQuadNode::Attach(int index, CTQGeomStructQuadNode* child, bool bOwned)
{
    m_apChild[index] = child;
    child->m_bHasParent = true;
    if (bOwned)
        m_nOwnedMask = static_cast<std::uint8_t>(m_nOwnedMask | (1u << index));
    child->SetGeneration(m_nGeneration + 1);
}

bool CTQGeomStructQuadNode::AddChild(int index, CTQGeomStructQuadNode* child)
{
    if (!IsValidIndex(index) || !child)
    {
        Debug_Warning("CTQGeomStructQuadNode::AddChild(): no child %d to attach", index);
        return false;
    }
    if (m_apChild[index] || child->m_bHasParent || child->HasInSubtree(this))
    {
        Debug_Warning("CTQGeomStructQuadNode::AddChild(): slot %d is taken or the node cannot go there", index);
        return false;
    }
    Attach(index, child, false);
    return true;
}

CTQGeomStructQuadNode* CTQGeomStructQuadNode::CreateChild(int index)
{
    if (!IsValidIndex(index) || m_apChild[index])
        return nullptr;
    CTQGeomStructQuadNode* child = NewNode();
    if (!child)
        return nullptr;
    float x0, y0, x1, y1;
    QuadrantOf(index, x0, y0, x1, y1);
    child->SetBoundingBox(x0, y0, x1, y1);
    Attach(index, child, true);
    return child;
}

CTQGeomStructQuadNode* CTQGeomStructQuadNode::GetChild(int index) const
{
    return IsValidIndex(index) ? m_apChild[index] : nullptr;
}

bool CTQGeomStructQuadNode::RemoveChild(int index)
{
    if (!IsValidIndex(index) || !m_apChild[index])
        return false;
    CTQGeomStructQuadNode* child = m_apChild[index];
    m_apChild[index] = nullptr;
    std::uint8_t bit = static_cast<std::uint8_t>(1u << index);
    if (m_nOwnedMask & bit)
    {
        m_nOwnedMask = static_cast<std::uint8_t>(m_nOwnedMask & ~bit);
        delete child;
    }
    else
        child->m_bHasParent = false;
    return true;
}

bool CTQGeomStructQuadNode::IsLeaf() const
{
    return !m_apChild[0] && !m_apChild[1] && !m_apChild[2] && !m_apChild[3];
}

bool CTQGeomStructQuadNode::Intersects(float x0, float y0, float x1, float y1) const
{
    float loX = std::min(x0, x1), hiX = std::max(x0, x1);
    float loY = std::min(y0, y1), hiY = std::max(y0, y1);
    return loX <= m_fMaxX && m_fMinX <= hiX && loY <= m_fMaxY && m_fMinY <= hiY;
}

const CTQGeomStructQuadNode* CTQGeomStructQuadNode::GetNodeAt(float x, float y) const
{
    if (!IsIn(x, y))
        return nullptr;
    const CTQGeomStructQuadNode* node = this;
    for (;;)
    {
        const CTQGeomStructQuadNode* next = nullptr;
        for (const CTQGeomStructQuadNode* child : node->m_apChild)
            if (child && child->IsIn(x, y))
            {
                next = child;
                break;
            }
        if (!next)
            return node;
        node = next;
    }
}

CTQGeomStructQuadNode* CTQGeomStructQuadNode::GetNodeAt(float x, float y)
{
    return const_cast<CTQGeomStructQuadNode*>(static_cast<const CTQGeomStructQuadNode*>(this)->GetNodeAt(x, y));
}

void CTQGeomStructQuadNode::SetGeneration(int generation)
{
    m_nGeneration = generation;
    for (CTQGeomStructQuadNode* child : m_apChild)
        if (child)
            child->SetGeneration(generation + 1);
}

void* CTQGeomStructQuadNode::RemoveClient()
{
    void* client = m_pClient;
    m_pClient = nullptr;
    return client;
}

int CTQGeomStructQuadNode::CountNodes() const
{
    int count = 1;
    for (const CTQGeomStructQuadNode* child : m_apChild)
        if (child)
            count += child->CountNodes();
    return count;
}

int CTQGeomStructQuadNode::CountLeaves() const
{
    if (IsLeaf())
        return 1;
    int count = 0;
    for (const CTQGeomStructQuadNode* child : m_apChild)
        if (child)
            count += child->CountLeaves();
    return count;
}

std::size_t CTQGeomStructQuadNode::CountBytes() const
{
    std::size_t bytes = GetNodeSize();
    for (const CTQGeomStructQuadNode* child : m_apChild)
        if (child)
            bytes += child->CountBytes();
    return bytes;
}

CTQGeomStructQuadNode* CTQGeomStructQuadNode::NewNode() const
{
    return new CTQGeomStructQuadNode;
}

std::uint8_t CTQGeomStructQuadNode::GetChildMask() const
{
    std::uint8_t mask = 0;
    for (int i = 0; i < kNumChildren; ++i)
        if (m_apChild[i])
            mask = static_cast<std::uint8_t>(mask | (1u << i));
    return mask;
}

void CTQGeomStructQuadNode::Serialize(CTQDataStream& s)
{
    s.Serialize(m_fMinX);
    s.Serialize(m_fMinY);
    s.Serialize(m_fMaxX);
    s.Serialize(m_fMaxY);
    std::int32_t generation = m_nGeneration;
    s.Serialize(generation);
    m_nGeneration = generation;
    std::uint8_t mask = s.IsStoring() ? GetChildMask() : 0;
    s.Serialize(mask);
    if (s.IsLoading() && (mask & ~kChildBits) != 0)
    {
        Debug_Warning("CTQGeomStructQuadNode::Serialize(): bad child mask 0x%02x", mask);
        s.SetFailed();
    }
    if (s.IsLoading() && s.IsFailed())
        return;
    for (int i = 0; i < kNumChildren; ++i)
        SerializeChild(s, i, (mask & (1u << i)) != 0);
}

void CTQGeomStructQuadNode::SerializeChild(CTQDataStream& s, int index, bool bPresent)
{
    if (s.IsStoring())
    {
        if (bPresent)
            m_apChild[index]->Serialize(s);
        return;
    }
    if (!bPresent)
    {
        RemoveChild(index);
        return;
    }
    if (s.IsFailed())
        return;
    LoadDepthGuard guard;
    if (t_nLoadDepth > kMaxLoadDepth)
    {
        Debug_Warning("CTQGeomStructQuadNode::Serialize(): tree deeper than %d levels", kMaxLoadDepth);
        s.SetFailed();
        return;
    }
    if (!m_apChild[index] && !CreateChild(index))
    {
        s.SetFailed();
        return;
    }
    m_apChild[index]->Serialize(s);
}

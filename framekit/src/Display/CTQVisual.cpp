#include <Framekit/Display/CTQVisual.h>
#include <Framekit/Display/CTQViewport.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include <Framekit/ObjectModel/TQObjectLookup.h>
#include <Framekit/Display/CTQVisual3d.h>

#include <Plinth/CTQDataStream.h>

#include <algorithm>

TQ_IMPLEMENT_CLASS_TYPE(CTQVisual, CTQDisplayNode, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQVisual)

CTQVisual::CTQVisual()
{
    SetDirty(-1);
}

CTQVisual::~CTQVisual() = default;

// Children are visited by place, not by iterator, everywhere below: a child's
// work may add or remove children of this visual.

void CTQVisual::Precache(std::int32_t viewport)
{
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual* child = GetChildVisualAt(i))
            child->Precache(viewport);
}

void CTQVisual::Display(std::int32_t viewport)
{
    if (!m_bVisible || m_bCulled)
        return;
    if (CTQViewport* target = TQPeekObjectAs<CTQViewport>(viewport))
        target->OnVisualDisplayed(*this);
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
    {
        CTQVisual* child = GetChildVisualAt(i);
        if (child && child->IsVisible() && !child->IsCulled())
            child->Display(viewport);
    }
}

void CTQVisual::BlindDisplay(std::int32_t) {}

void CTQVisual::SetVisible(bool visible)
{
    m_bVisible = visible;
}

void CTQVisual::SetCulled(bool culled)
{
    m_bCulled = culled;
}

// The child's root is the top of this tree: this visual's root, or this visual
// itself when it is a root. A child that still hangs under another visual
// leaves that one first, so that no visual is the child of two.
void CTQVisual::AddVisual(std::int32_t id)
{
    if (id == GetId() && id >= 0)
        return;
    CTQVisual* child = TQPeekObjectAs<CTQVisual>(id);
    if (child && child->GetParent() != -1 && child->GetParent() != GetId())
        if (CTQVisual* previous = TQPeekObjectAs<CTQVisual>(child->GetParent()))
            previous->RemoveVisual(id);
    AddChild(id);
    if (!child)
        return;
    child->SetParent(GetId());
    child->SetRoot(m_nRoot >= 0 ? m_nRoot : GetId());
    child->SetDirty(-1);
    // Marked afresh, so that the mark climbs even when this visual was dirty.
    m_bDirty = false;
    SetDirty(-1);
}

void CTQVisual::RemoveVisual(std::int32_t id)
{
    RemoveChild(id);
    if (CTQVisual* child = TQPeekObjectAs<CTQVisual>(id))
    {
        child->SetParent(-1);
        child->SetRoot(-1);
    }
    SetDirty(-1);
}

void CTQVisual::SetRenderPriority(std::int32_t priority)
{
    if (priority == m_nRenderPriority)
        return;
    m_nRenderPriority = priority;
    SetDirty(-1);
}

std::int32_t CTQVisual::GetRenderPriority() const
{
    return m_nRenderPriority;
}

// The pending request is taken before it is passed on, so that a request that
// still cannot climb is kept for the next frame instead of being lost.
void CTQVisual::Update()
{
    if (m_nPendingBlindDisplay >= 0)
    {
        const std::int32_t request = m_nPendingBlindDisplay;
        m_nPendingBlindDisplay = -1;
        RequestBlindDisplay(request);
    }
    if (!IsDirty())
        return;
    BeginUpdateState();
    m_bUpdatingState = true;
    UpdateState();
    m_bUpdatingState = false;
    ClearDirty();
    EndUpdateState();
    UpdateDirtyChildren();
}

// Every child when the reports cannot be trusted or name most children;
// else only the children that reported, in the order of the child list.
void CTQVisual::UpdateDirtyChildren()
{
    const std::size_t count = GetChildList().size();
    if (!m_bUpdateEveryChild && m_aReportedChildren.size() * 4 < count)
    {
        UpdateReportedChildren();
        return;
    }
    m_bUpdateEveryChild = false;
    m_aReportedChildren.clear();
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
    {
        CTQVisual* child = GetChildVisualAt(i);
        if (child && child->IsDirty())
            child->Update();
    }
}

// In the order of the child list: a short list is searched for each reported
// id (its place is where the child is found); in a long one the places
// recorded in the child index, which grow along the list, give the order.
// Reports that arrive while the children update are kept for the next update.
void CTQVisual::UpdateReportedChildren()
{
    constexpr std::size_t kShortList = 64;
    const std::vector<std::int32_t>& children = GetChildList();
    const bool shortList = children.size() <= kShortList;
    m_aReportScratch.clear();
    for (std::int32_t id : m_aReportedChildren)
    {
        if (shortList)
        {
            auto place = std::find(children.begin(), children.end(), id);
            if (place != children.end())
                m_aReportScratch.emplace_back(static_cast<std::int32_t>(place - children.begin()), id);
            continue;
        }
        auto entry = GetChildIndex().find(id);
        if (entry != GetChildIndex().end())
            m_aReportScratch.emplace_back(entry->second, id);
    }
    m_aReportedChildren.clear();
    std::sort(m_aReportScratch.begin(), m_aReportScratch.end());
    m_aReportScratch.erase(std::unique(m_aReportScratch.begin(), m_aReportScratch.end()), m_aReportScratch.end());
    for (std::size_t i = 0; i < m_aReportScratch.size(); ++i)
    {
        const auto [place, id] = m_aReportScratch[i];
        const std::size_t at = static_cast<std::size_t>(place);
        CTQVisual* child = shortList && at < GetChildList().size() && GetChildList()[at] == id
                               ? GetChildVisualAt(at)
                               : TQPeekObjectAs<CTQVisual>(id);
        if (child && child->IsDirty())
            child->Update();
    }
}

// Recording stops when there are more reports than children (a child that
// keeps reporting): every child is then looked at.
void CTQVisual::NoteReport(std::int32_t child)
{
    if (m_bUpdateEveryChild)
        return;
    if (m_aReportedChildren.size() >= GetChildList().size())
    {
        m_bUpdateEveryChild = true;
        m_aReportedChildren.clear();
        return;
    }
    m_aReportedChildren.push_back(child);
}

void CTQVisual::SetDirty(int source)
{
    if (source >= 0)
    {
        NoteReport(source);
        if (m_bDirty)
            return;
    }
    m_bDirty = true;
    if (CTQVisual* parent = GetParentVisual())
        parent->SetDirty(GetId());
}

bool CTQVisual::IsDirty() const
{
    return m_bDirty;
}

void CTQVisual::RequestBlindDisplay(std::int32_t id)
{
    if (m_nParent == -1)
        return;
    if (CTQVisual* parent = GetParentVisual())
        parent->RequestBlindDisplay(id);
    else
        RequestParentBlindDisplay(id);
}

void CTQVisual::UnRequestBlindDisplay(std::int32_t id)
{
    if (CTQVisual* parent = GetParentVisual())
        parent->UnRequestBlindDisplay(id);
}

void CTQVisual::RequestParentBlindDisplay(std::int32_t id)
{
    m_nPendingBlindDisplay = id;
}

// A dirty visual tells its new parent, so that every ancestor of a dirty
// visual stays dirty and knows which child to update.
void CTQVisual::SetParent(std::int32_t id)
{
    BlindUpdateCheck(id, m_nParent);
    m_nParent = id;
    if (m_bDirty)
        if (CTQVisual* parent = GetParentVisual())
            parent->SetDirty(GetId());
}

void CTQVisual::SetRoot(std::int32_t id)
{
    if (m_nRoot == id)
        return;
    m_nRoot = id;
    const std::int32_t effectiveRoot = id >= 0 ? id : GetId();
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual* child = GetChildVisualAt(i))
            child->SetRoot(effectiveRoot);
}

void CTQVisual::SetStyle(std::uint32_t style)
{
    m_nStyle = style;
}

void CTQVisual::ModifyStyle(std::uint32_t remove, std::uint32_t add)
{
    m_nStyle = (m_nStyle & ~remove) | add;
}

std::uint32_t CTQVisual::GetStyle() const
{
    return m_nStyle;
}

bool CTQVisual::GetFirstVisual(std::int32_t& id, std::int32_t& cursor)
{
    return GetFirstChild(id, cursor);
}

bool CTQVisual::GetNextVisual(std::int32_t& id, std::int32_t& cursor)
{
    return GetNextChild(id, cursor);
}

void CTQVisual::AddChild(std::int32_t id)
{
    CTQDisplayNode::AddChild(id);
    m_bUpdateEveryChild = true;
}

CTQVisual* CTQVisual::GetChildVisualAt(std::size_t place)
{
    const std::vector<std::int32_t>& children = GetChildList();
    return place < children.size() ? TQPeekObjectAs<CTQVisual>(children[place]) : nullptr;
}

CTQVisual3d* CTQVisual::GetChild3dAt(std::size_t place)
{
    const std::vector<std::int32_t>& children = GetChildList();
    return place < children.size() ? TQPeekObjectAs<CTQVisual3d>(children[place]) : nullptr;
}

CTQVisual* CTQVisual::GetParentVisual()
{
    return TQPeekObjectAs<CTQVisual>(m_nParent);
}

CTQVisual3d* CTQVisual::GetParentVisual3d()
{
    return TQPeekObjectAs<CTQVisual3d>(m_nParent);
}

std::int32_t CTQVisual::GetSerializationMode() const
{
    return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
}

void CTQVisual::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQDisplayNode>(s, *this);
    s.Serialize(m_bUpdatingState);
    s.Serialize(m_nParent);
    s.Serialize(m_nRoot);
    s.Serialize(m_nPendingBlindDisplay);
    s.Serialize(m_bVisible);
    s.Serialize(m_bCulled);
    s.Serialize(m_nRenderPriority);
    s.Serialize(m_bDirty);
    s.Serialize(m_nStyle);
    if (s.IsLoading())
        m_bUpdateEveryChild = true;
}

void CTQVisual::BlindUpdateCheck(std::int32_t newParent, std::int32_t oldParent)
{
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual* child = GetChildVisualAt(i))
            child->BlindUpdateCheck(newParent, oldParent);
}

void CTQVisual::ClearDirty()
{
    m_bDirty = false;
}

void CTQVisual::BeginUpdateState() {}
void CTQVisual::UpdateState() {}
void CTQVisual::EndUpdateState() {}

bool CTQVisual::IsUpdatingState() const
{
    return m_bUpdatingState;
}

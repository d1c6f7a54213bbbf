#include <Framekit/Display/CTQDisplayNode.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include <algorithm>
#include <optional>
#include <set>

TQ_IMPLEMENT_CLASS_TYPE(CTQDisplayNode, CTQObject, kTQDefaultDataFormatVersion)

CTQDisplayNode::CTQDisplayNode() = default;
CTQDisplayNode::~CTQDisplayNode() = default;

void CTQDisplayNode::AddChild(std::int32_t id)
{
    if (IsChild(id))
        return;
    m_oChildIndex[id] = static_cast<std::int32_t>(m_aChildren.size());
    m_aChildren.push_back(id);
}

void CTQDisplayNode::RemoveChild(std::int32_t id)
{
    auto entry = m_oChildIndex.find(id);
    if (entry == m_oChildIndex.end())
        return;
    auto place = std::find(m_aChildren.begin(), m_aChildren.end(), id);
    if (place != m_aChildren.end())
        m_aChildren.erase(place);
    m_oChildIndex.erase(entry);
}

void CTQDisplayNode::RemoveAllChildren()
{
    m_oChildIndex.clear();
    m_aChildren.clear();
}

bool CTQDisplayNode::GetFirstChild(std::int32_t& id, std::int32_t& cursor)
{
    cursor = 0;
    if (cursor >= GetChildCount() || static_cast<std::size_t>(cursor) >= m_aChildren.size())
        return false;
    id = m_aChildren[static_cast<std::size_t>(cursor)];
    return true;
}

bool CTQDisplayNode::GetNextChild(std::int32_t& id, std::int32_t& cursor)
{
    ++cursor;
    if (cursor < 0 || cursor >= GetChildCount() || static_cast<std::size_t>(cursor) >= m_aChildren.size())
        return false;
    id = m_aChildren[static_cast<std::size_t>(cursor)];
    return true;
}

std::int32_t CTQDisplayNode::GetChildCount()
{
    return static_cast<std::int32_t>(m_oChildIndex.size());
}

bool CTQDisplayNode::HasChildren()
{
    return GetChildCount() > 0;
}

std::int32_t CTQDisplayNode::GetSerializationMode() const
{
    return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
}

void CTQDisplayNode::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQObject>(s, *this);
    if (s.IsStoring())
        StoreChildren(s);
    else
        LoadChildren(s);
}

void CTQDisplayNode::StoreChildren(CTQDataStream& s)
{
    s.Write(kListTag);
    s.Write(static_cast<std::int32_t>(m_aChildren.size()));
    for (std::int32_t id : m_aChildren)
        s.Write(id);
    s.Write(kIndexTag);
    s.Write(static_cast<std::int32_t>(m_oChildIndex.size()));
    for (const auto& [id, place] : m_oChildIndex)
    {
        s.Write(id);
        s.Write(place);
    }
}

namespace
{
// A section's count, checked against the bytes left before anything is allocated.
bool ReadCount(CTQDataStream& s, std::uint32_t itemSize, std::int32_t& count)
{
    if (!s.Read(count) || count < 0 || !s.CheckCount(static_cast<std::uint32_t>(count), itemSize))
    {
        s.SetFailed();
        return false;
    }
    return true;
}

// The next section tag, or 0 when the enclosing block has nothing left (a
// section that is absent at the end is not an error).
std::uint8_t ReadTag(CTQDataStream& s)
{
    std::uint8_t tag = 0;
    if (s.GetRemaining() == 0 || !s.Read(tag))
        return 0;
    return tag;
}
} // namespace

// A byte other than a section's tag means that section is absent; the byte is
// then taken as the tag of the next section, so a stream with only the index
// section is read as such instead of losing its first bytes.
void CTQDisplayNode::LoadChildren(CTQDataStream& s)
{
    std::optional<std::vector<std::int32_t>> list;
    std::optional<std::map<std::int32_t, std::int32_t>> index;
    std::uint8_t tag = ReadTag(s);
    if (tag == kListTag)
    {
        std::int32_t count = 0;
        if (!ReadCount(s, 4, count))
            return;
        list.emplace(static_cast<std::size_t>(count));
        for (std::int32_t& id : *list)
            s.Read(id);
        tag = ReadTag(s);
    }
    if (tag == kIndexTag)
    {
        std::int32_t count = 0;
        if (!ReadCount(s, 8, count))
            return;
        index.emplace();
        for (std::int32_t i = 0; i < count; ++i)
        {
            std::int32_t id = 0;
            std::int32_t place = 0;
            s.Read(id);
            s.Read(place);
            (*index)[id] = place;
        }
    }
    if (s.IsFailed())
        return;
    if (list)
        AdoptList(std::move(*list), index ? &*index : nullptr);
    else if (index)
        AdoptIndex(std::move(*index));
}

// The list is the authority when it was read: an id it holds twice keeps its
// first place, and the index holds exactly the list's ids, with the stored
// place for each id the stored index knew, else the id's place in the list.
void CTQDisplayNode::AdoptList(std::vector<std::int32_t> list, const std::map<std::int32_t, std::int32_t>* storedIndex)
{
    std::set<std::int32_t> seen;
    m_aChildren.clear();
    m_aChildren.reserve(list.size());
    for (std::int32_t id : list)
        if (seen.insert(id).second)
            m_aChildren.push_back(id);
    bool agreed = m_aChildren.size() == list.size() && (!storedIndex || storedIndex->size() == m_aChildren.size());
    m_oChildIndex.clear();
    for (std::size_t place = 0; place < m_aChildren.size(); ++place)
    {
        const std::int32_t id = m_aChildren[place];
        auto stored = storedIndex ? storedIndex->find(id) : std::map<std::int32_t, std::int32_t>::const_iterator();
        const bool known = storedIndex && stored != storedIndex->end();
        agreed = agreed && (known || !storedIndex);
        m_oChildIndex[id] = known ? stored->second : static_cast<std::int32_t>(place);
    }
    if (!agreed)
        Debug_Warning("CTQDisplayNode::Serialize(): child list and index of object %d disagreed; the list is kept",
                      static_cast<int>(GetId()));
}

// Only the index was read: the list is rebuilt in the order of the stored places.
void CTQDisplayNode::AdoptIndex(std::map<std::int32_t, std::int32_t> index)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> byPlace;
    byPlace.reserve(index.size());
    for (const auto& [id, place] : index)
        byPlace.emplace_back(place, id);
    std::sort(byPlace.begin(), byPlace.end());
    m_aChildren.clear();
    for (const auto& entry : byPlace)
        m_aChildren.push_back(entry.second);
    m_oChildIndex = std::move(index);
}

#include <Plinth/CTQPropertyManager.h>

#include <Plinth/CFileIO.h>
#include <Plinth/CTQDataStream.h>

#include "TQPropertyIO.h"

#include <algorithm>

namespace
{
// The fewest bytes one property of the block takes: its name's length and its type.
constexpr std::uint32_t kMinEntrySize = TQPropertyIO::kMinStringSize + TQPropertyIO::kMinValueSize;

bool NameLess(const std::pair<CTQString, CTQProperty>& entry, const CTQString& name)
{
    return entry.first.view() < name.view();
}
} // namespace

CTQPropertyManager::CTQPropertyManager() = default;
CTQPropertyManager::~CTQPropertyManager() = default;
CTQPropertyManager::CTQPropertyManager(const CTQPropertyManager& other) = default;
CTQPropertyManager& CTQPropertyManager::operator=(const CTQPropertyManager& other) = default;
CTQPropertyManager::CTQPropertyManager(CTQPropertyManager&& other) noexcept = default;
CTQPropertyManager& CTQPropertyManager::operator=(CTQPropertyManager&& other) noexcept = default;

std::vector<CTQPropertyManager::Entry>::iterator CTQPropertyManager::LowerBound(const CTQString& name)
{
    return std::lower_bound(m_aProperties.begin(), m_aProperties.end(), name, NameLess);
}

std::vector<CTQPropertyManager::Entry>::const_iterator CTQPropertyManager::LowerBound(const CTQString& name) const
{
    return std::lower_bound(m_aProperties.begin(), m_aProperties.end(), name, NameLess);
}

CTQProperty* CTQPropertyManager::FindProperty(const CTQString& name)
{
    auto it = LowerBound(name);
    return it != m_aProperties.end() && it->first.view() == name.view() ? &it->second : nullptr;
}

const CTQProperty* CTQPropertyManager::FindProperty(const CTQString& name) const
{
    auto it = LowerBound(name);
    return it != m_aProperties.end() && it->first.view() == name.view() ? &it->second : nullptr;
}

CTQProperty& CTQPropertyManager::operator[](const CTQString& name)
{
    auto it = LowerBound(name);
    if (it == m_aProperties.end() || it->first.view() != name.view())
        it = m_aProperties.insert(it, Entry(name, CTQProperty()));
    return it->second;
}

CTQProperty& CTQPropertyManager::operator[](const CTQString& name) const
{
    if (const CTQProperty* found = FindProperty(name))
        return const_cast<CTQProperty&>(*found);
    // Callers hold a non-const reference by contract; emptying the spare on every
    // use keeps a value written into it from showing up under another missing name.
    static thread_local CTQProperty s_oMissing;
    s_oMissing.Clear();
    return s_oMissing;
}

void CTQPropertyManager::SetProperty(const CTQString& name, const CTQProperty& value)
{
    (*this)[name] = value;
}

bool CTQPropertyManager::HasProperty(const CTQString& name) const
{
    return FindProperty(name) != nullptr;
}

bool CTQPropertyManager::RemoveProperty(const CTQString& name)
{
    auto it = LowerBound(name);
    if (it == m_aProperties.end() || it->first.view() != name.view())
        return false;
    m_aProperties.erase(it);
    return true;
}

void CTQPropertyManager::RemoveAllProperties()
{
    m_aProperties.clear();
}

bool CTQPropertyManager::GetFirstProperty(CTQString& name, CTQProperty& value, std::int32_t& cursor) const
{
    if (m_aProperties.empty())
        return false;
    cursor = 0;
    name = m_aProperties.front().first;
    value = m_aProperties.front().second;
    return true;
}

bool CTQPropertyManager::GetNextProperty(CTQString& name, CTQProperty& value, std::int32_t& cursor) const
{
    if (cursor < 0 || cursor + 1 >= GetCount())
        return false;
    ++cursor;
    const Entry& entry = m_aProperties[static_cast<std::size_t>(cursor)];
    name = entry.first;
    value = entry.second;
    return true;
}

bool CTQPropertyManager::Save(CFileIO* file) const
{
    if (file == nullptr || !file->WriteInt32(GetCount()))
        return false;
    for (const Entry& entry : m_aProperties)
    {
        if (!file->WriteString(entry.first) || !TQPropertyIO::WriteValue(*file, entry.second))
            return false;
    }
    return true;
}

bool CTQPropertyManager::Load(CFileIO* file)
{
    RemoveAllProperties();
    std::int32_t count = 0;
    if (file == nullptr || !file->ReadInt32(count) || count < 0)
        return false;
    std::int64_t left = static_cast<std::int64_t>(file->GetSize()) - file->GetPosition();
    if (static_cast<std::int64_t>(count) * kMinEntrySize > left)
        return false;
    for (std::int32_t i = 0; i < count; ++i)
    {
        CTQString name;
        CTQProperty value;
        if (!file->ReadString(name) || !TQPropertyIO::ReadValue(*file, value))
            return false;
        SetProperty(name, value);
    }
    return true;
}

bool CTQPropertyManager::Serialize(CTQDataStream& stream)
{
    if (stream.IsStoring())
    {
        stream.Write(GetCount());
        for (const Entry& entry : m_aProperties)
        {
            TQPropertyIO::WriteString(stream, entry.first);
            TQPropertyIO::WriteValue(stream, entry.second);
        }
        return true;
    }

    RemoveAllProperties();
    std::int32_t count = 0;
    if (!stream.Read(count))
        return false;
    if (count < 0 || !stream.CheckCount(static_cast<std::uint32_t>(count), kMinEntrySize))
    {
        stream.SetFailed();
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i)
    {
        CTQString name;
        CTQProperty value;
        if (!TQPropertyIO::ReadString(stream, name) || !TQPropertyIO::ReadValue(stream, value))
            return false;
        SetProperty(name, value);
    }
    return true;
}

#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Framekit/Resources/CTQResourceDatabase.h>

#include <Plinth/CFileIO.h>

#include <algorithm>
#include <utility>

TQ_IMPLEMENT_CLASS_TYPE(CTQResource, CTQObject, kTQDefaultDataFormatVersion)
TQ_REGISTER_RESOURCE_FACTORY(CTQResource)

namespace
{
constexpr std::uint16_t kRecordMarker = 0;
// The fewest bytes one stored reference takes: two empty strings and an id.
constexpr std::int64_t kMinReferenceBytes = 12;
constexpr std::int64_t kDependencyBytes = 4;

std::int64_t BytesLeft(const CFileIO* file)
{
    return static_cast<std::int64_t>(file->GetSize()) - file->GetPosition();
}

// A count read from a record: not negative, and the bytes left can hold that many
// entries of at least minBytes each.
bool ReadCount(CFileIO* file, std::int64_t minBytes, std::int32_t& count)
{
    int value = 0;
    if (!file->ReadInt(value) || value < 0 || value * minBytes > BytesLeft(file))
        return false;
    count = value;
    return true;
}
} // namespace

CTQResource::CTQResource() = default;

CTQResource::~CTQResource()
{
    // However the resource dies, no table of the current databases keeps
    // pointing at it.
    if (CTQResourceDatabase* database = TQGetResourceDatabase())
        database->Forget(this);
    if (CTQResourceClassDatabase* classes = TQGetResourceClassDatabase())
        classes->Forget(this);
}

// ---- Record --------------------------------------------------------------------

bool CTQResource::ReadHeader(CFileIO* file, std::uint16_t& version)
{
    std::uint16_t marker = 0;
    return file->ReadUInt16(marker) && marker == kRecordMarker && file->ReadUInt16(version);
}

bool CTQResource::Load(CFileIO* file)
{
    std::uint16_t version = 0;
    if (!file || !ReadHeader(file, version))
        return false;

    // A record of version 2 or later brings its own dependency list, so reading its
    // references must not add back-links. The flag is cleared however we leave.
    struct LoadingScope
    {
        CTQResource& resource;
        ~LoadingScope() { resource.EndLoading(); }
    } scope{*this};
    if (version >= kRecordVersion)
        BeginLoading();

    std::int32_t id = -1;
    CTQString text;
    bool singleton = false;
    if (!file->ReadInt32(id))
        return false;
    SetId(id);
    if (!file->ReadString(text))
        return false;
    SetName(text);
    if (!file->ReadString(text))
        return false;
    SetAssociatedClassType(text);
    if (!file->ReadBool(singleton))
        return false;
    SetSingleton(singleton);
    if (!m_oAttributes.Load(file) || !ReadReferences(file))
        return false;
    return version < kRecordVersion || ReadDependencies(file);
}

bool CTQResource::ReadReferences(CFileIO* file)
{
    std::int32_t count = 0;
    if (!ReadCount(file, kMinReferenceBytes, count))
        return false;
    for (std::int32_t i = 0; i < count; ++i)
    {
        CTQString name;
        std::int32_t id = -1;
        CTQString classType;
        if (!file->ReadString(name) || !file->ReadInt32(id) || !file->ReadString(classType))
            return false;
        AddReference(name, id, classType);
    }
    return true;
}

bool CTQResource::ReadDependencies(CFileIO* file)
{
    std::int32_t count = 0;
    if (!ReadCount(file, kDependencyBytes, count))
        return false;
    for (std::int32_t i = 0; i < count; ++i)
    {
        std::int32_t id = -1;
        if (!file->ReadInt32(id))
            return false;
        AddDependency(id);
    }
    return true;
}

bool CTQResource::Save(CFileIO* file)
{
    if (!file)
        return false;
    bool ok = file->WriteUInt16(kRecordMarker) && file->WriteUInt16(kRecordVersion) && file->WriteInt32(GetId()) &&
              file->WriteString(m_sName) && file->WriteString(m_sAssociatedClassType) &&
              file->WriteBool(m_bSingleton) && m_oAttributes.Save(file) &&
              file->WriteInt(static_cast<int>(m_aReferences.size()));
    for (auto it = m_aReferences.begin(); ok && it != m_aReferences.end(); ++it)
        ok = file->WriteString(it->sName) && file->WriteInt32(it->nId) && file->WriteString(it->sClassType);
    ok = ok && file->WriteInt(static_cast<int>(m_aDependencies.size()));
    for (auto it = m_aDependencies.begin(); ok && it != m_aDependencies.end(); ++it)
        ok = file->WriteInt32(*it);
    return ok;
}

// ---- Copying ---------------------------------------------------------------------

bool CTQResource::Copy(CTQResource* other)
{
    if (!other)
        return false;
    if (other == this)
        return true;
    CTQString name;
    CTQProperty value;
    std::int32_t cursor = 0;
    for (bool more = other->GetFirstAttribute(name, value, cursor); more;
         more = other->GetNextAttribute(name, value, cursor))
        SetAttribute(name, value);
    SetAssociatedClassType(other->GetAssociatedClassType());
    for (const sReference& reference : other->m_aReferences)
        AddReference(reference.sName, reference.nId, reference.sClassType);
    return true;
}

bool CTQResource::UpdateResourceA(CTQResource* other)
{
    if (!other)
        return false;
    if (other == this)
        return true;

    CTQPropertyManager attributes;
    CTQString name;
    CTQProperty value;
    std::int32_t cursor = 0;
    for (bool more = other->GetFirstAttribute(name, value, cursor); more;
         more = other->GetNextAttribute(name, value, cursor))
    {
        const CTQProperty* own = m_oAttributes.FindProperty(name);
        attributes.SetProperty(name, own && own->GetType() == value.GetType() ? *own : value);
    }
    m_oAttributes = std::move(attributes);

    std::vector<CTQString> gone;
    for (const sReference& reference : m_aReferences)
        if (!other->HasReference(reference.sName))
            gone.push_back(reference.sName);
    for (const CTQString& goneName : gone)
        RemoveReference(goneName);
    for (const sReference& reference : other->m_aReferences)
        if (!HasReference(reference.sName))
            AddReference(reference.sName, reference.nId, reference.sClassType);

    SetAssociatedClassType(other->GetAssociatedClassType());
    return true;
}

// ---- Plain fields ------------------------------------------------------------------

void CTQResource::SetName(const CTQString& name)
{
    m_sName = name;
}

const CTQString& CTQResource::GetName() const
{
    return m_sName;
}

void CTQResource::SetAssociatedClassType(const CTQString& className)
{
    m_sAssociatedClassType = className;
}

const CTQString& CTQResource::GetAssociatedClassType() const
{
    return m_sAssociatedClassType;
}

void CTQResource::SetSingleton(bool singleton)
{
    m_bSingleton = singleton;
}

bool CTQResource::IsSingleton() const
{
    return m_bSingleton;
}

CTQString CTQResource::GetAssociatedCommandObjectNode() const
{
    return "CTQResourceInstanceCommandObject";
}

// ---- References and back-links --------------------------------------------------------

std::vector<CTQResource::sReference>::iterator CTQResource::FindReference(const CTQString& name)
{
    return std::lower_bound(m_aReferences.begin(), m_aReferences.end(), name,
                            [](const sReference& r, const CTQString& n) { return r.sName.view() < n.view(); });
}

std::vector<CTQResource::sReference>::const_iterator CTQResource::FindReference(const CTQString& name) const
{
    return std::lower_bound(m_aReferences.begin(), m_aReferences.end(), name,
                            [](const sReference& r, const CTQString& n) { return r.sName.view() < n.view(); });
}

bool CTQResource::RefersTo(std::int32_t targetId) const
{
    return std::any_of(m_aReferences.begin(), m_aReferences.end(),
                       [targetId](const sReference& r) { return r.nId == targetId; });
}

// Only a resource with an id can be a dependency, and only an existing target can
// hold one.
bool CTQResource::CanLink(std::int32_t targetId) const
{
    return GetId() >= 0 && targetId != -1 && TQGetResourceDatabase() != nullptr;
}

void CTQResource::LinkTo(std::int32_t targetId)
{
    if (IsLoading() || !CanLink(targetId))
        return;
    CTQResourceDatabase* database = TQGetResourceDatabase();
    if (CTQResource* target = database->QueryResource(targetId))
    {
        target->AddDependency(GetId());
        database->ReleaseResource(targetId);
    }
}

// The target keeps its back-link while another reference of ours still points at it.
void CTQResource::UnlinkFrom(std::int32_t targetId)
{
    if (!CanLink(targetId) || RefersTo(targetId))
        return;
    CTQResourceDatabase* database = TQGetResourceDatabase();
    if (CTQResource* target = database->QueryResource(targetId))
    {
        target->RemoveDependency(GetId());
        database->ReleaseResource(targetId);
    }
}

bool CTQResource::AddReference(const CTQString& name, std::int32_t id, const CTQString& classType)
{
    if (id == GetId() && id != -1)
        return false;
    auto it = FindReference(name);
    if (it != m_aReferences.end() && it->sName.view() == name.view())
    {
        const std::int32_t previous = it->nId;
        it->nId = id;
        it->sClassType = classType;
        if (previous != id)
            UnlinkFrom(previous);
    }
    else
        m_aReferences.insert(it, sReference{name, id, classType});
    LinkTo(id);
    return true;
}

bool CTQResource::SetReference(const CTQString& name, std::int32_t id)
{
    auto it = FindReference(name);
    if (it == m_aReferences.end() || it->sName.view() != name.view() || (id == GetId() && id != -1))
        return false;
    const std::int32_t previous = it->nId;
    it->nId = id;
    if (previous != id)
        UnlinkFrom(previous);
    LinkTo(id);
    return true;
}

bool CTQResource::RemoveReference(const CTQString& name)
{
    auto it = FindReference(name);
    if (it == m_aReferences.end() || it->sName.view() != name.view())
        return false;
    const std::int32_t target = it->nId;
    m_aReferences.erase(it);
    UnlinkFrom(target);
    return true;
}

void CTQResource::RemoveAllReferences()
{
    std::vector<sReference> references;
    references.swap(m_aReferences);
    for (const sReference& reference : references)
        UnlinkFrom(reference.nId);
}

std::int32_t CTQResource::GetReferenceId(const CTQString& name) const
{
    auto it = FindReference(name);
    return it != m_aReferences.end() && it->sName.view() == name.view() ? it->nId : -1;
}

bool CTQResource::GetReferenceResourceClassType(const CTQString& name, CTQString& classType)
{
    auto it = FindReference(name);
    if (it == m_aReferences.end() || it->sName.view() != name.view())
        return false;
    classType = it->sClassType;
    return true;
}

std::int32_t CTQResource::GetNumReferences() const
{
    return static_cast<std::int32_t>(m_aReferences.size());
}

bool CTQResource::HasReferences() const
{
    return GetNumReferences() > 0;
}

bool CTQResource::GetFirstReference(CTQString& name, std::int32_t& id, CTQString& classType,
                                    std::int32_t& cursor) const
{
    cursor = -1;
    return GetNextReference(name, id, classType, cursor);
}

bool CTQResource::GetNextReference(CTQString& name, std::int32_t& id, CTQString& classType,
                                   std::int32_t& cursor) const
{
    if (cursor < -1 || cursor + 1 >= GetNumReferences())
        return false;
    const sReference& reference = m_aReferences[static_cast<std::size_t>(++cursor)];
    name = reference.sName;
    id = reference.nId;
    classType = reference.sClassType;
    return true;
}

bool CTQResource::HasReference(const CTQString& name) const
{
    auto it = FindReference(name);
    return it != m_aReferences.end() && it->sName.view() == name.view();
}

// ---- Dependencies -------------------------------------------------------------------------

void CTQResource::AddDependency(std::int32_t id)
{
    // Loading brings ids in ascending order: the common case appends.
    if (m_aDependencies.empty() || m_aDependencies.back() < id)
    {
        m_aDependencies.push_back(id);
        return;
    }
    auto it = std::lower_bound(m_aDependencies.begin(), m_aDependencies.end(), id);
    if (*it != id)
        m_aDependencies.insert(it, id);
}

void CTQResource::RemoveDependency(std::int32_t id)
{
    auto it = std::lower_bound(m_aDependencies.begin(), m_aDependencies.end(), id);
    if (it != m_aDependencies.end() && *it == id)
        m_aDependencies.erase(it);
}

void CTQResource::RemoveAllDependencies()
{
    m_aDependencies.clear();
}

std::int32_t CTQResource::GetNumDependencies() const
{
    return static_cast<std::int32_t>(m_aDependencies.size());
}

bool CTQResource::HasDependencies() const
{
    return GetNumDependencies() > 0;
}

bool CTQResource::DoesDependOn(std::int32_t id) const
{
    return std::binary_search(m_aDependencies.begin(), m_aDependencies.end(), id);
}

bool CTQResource::GetFirstDependency(std::int32_t& id, std::int32_t& cursor) const
{
    cursor = -1;
    return GetNextDependency(id, cursor);
}

bool CTQResource::GetNextDependency(std::int32_t& id, std::int32_t& cursor) const
{
    if (cursor < -1 || cursor + 1 >= GetNumDependencies())
        return false;
    id = m_aDependencies[static_cast<std::size_t>(++cursor)];
    return true;
}

// ---- Attributes ------------------------------------------------------------------------------

CTQProperty& CTQResource::operator[](const CTQString& name)
{
    return m_oAttributes[name];
}

CTQProperty& CTQResource::operator[](const CTQString& name) const
{
    return m_oAttributes[name];
}

CTQProperty& CTQResource::GetAttribute(const CTQString& name)
{
    return m_oAttributes[name];
}

CTQProperty& CTQResource::GetAttribute(const CTQString& name) const
{
    return m_oAttributes[name];
}

void CTQResource::SetAttribute(const CTQString& name, const CTQProperty& value)
{
    m_oAttributes.SetProperty(name, value);
}

bool CTQResource::HasAttribute(const CTQString& name) const
{
    return m_oAttributes.HasProperty(name);
}

bool CTQResource::RemoveAttribute(const CTQString& name)
{
    return m_oAttributes.RemoveProperty(name);
}

void CTQResource::RemoveAllAttributes()
{
    m_oAttributes.RemoveAllProperties();
}

std::int32_t CTQResource::GetAttributeCount() const
{
    return m_oAttributes.GetCount();
}

bool CTQResource::GetFirstAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const
{
    return m_oAttributes.GetFirstProperty(name, value, cursor);
}

bool CTQResource::GetNextAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const
{
    return m_oAttributes.GetNextProperty(name, value, cursor);
}

// ---- Loading flag ------------------------------------------------------------------------------

void CTQResource::BeginLoading()
{
    m_bLoading = true;
}

void CTQResource::EndLoading()
{
    m_bLoading = false;
}

bool CTQResource::IsLoading() const
{
    return m_bLoading;
}

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Framekit/Resources/CTQResourceFactory.h>

#include <Plinth/CFileIO.h>


#include <algorithm>
#include <limits>
#include <vector>

TQ_IMPLEMENT_CLASS_TYPE(CTQLocalResourceDatabase, CTQResourceDatabase, kTQDefaultDataFormatVersion)

namespace
{
constexpr std::uint16_t kFileMarker = 0;
constexpr std::uint16_t kFileVersion = 0;
constexpr std::int32_t kReserved = 0;
// The fewest bytes an entry of the file takes: two empty strings, the length, and
// the shortest record (a version-1 record without name, class, attributes or
// references).
constexpr std::int64_t kMinEntryBytes = 4 + 4 + 4 + (2 + 2 + 4 + 4 + 4 + 1 + 4 + 4);

std::int64_t BytesLeft(const CFileIO* file)
{
    return static_cast<std::int64_t>(file->GetSize()) - file->GetPosition();
}

// A resource being read that will not be entered. Back-links its references made
// while it was read (a version-1 record makes them) are taken back, unless an
// entered resource holds its id and so owns those back-links.
void Discard(CTQResourceDatabase& database, CTQResource* resource)
{
    if (resource->GetId() >= 0 && !database.IsResourceIdValid(resource->GetId()))
        resource->RemoveAllReferences();
    resource->Release();
}
} // namespace

CTQLocalResourceDatabase::CTQLocalResourceDatabase()
{
    SetResourceDatabaseType(eTQResourceDatabaseLocal);
}

CTQLocalResourceDatabase::~CTQLocalResourceDatabase() = default;

// ---- Inert operations -----------------------------------------------------------

bool CTQLocalResourceDatabase::Startup()
{
    return true;
}

bool CTQLocalResourceDatabase::Closedown()
{
    return true;
}

bool CTQLocalResourceDatabase::Login(const CTQString&, const CTQString&, const CTQString&, const CTQString&)
{
    return false;
}

bool CTQLocalResourceDatabase::Logout()
{
    return false;
}

bool CTQLocalResourceDatabase::IsConnected() const
{
    return false;
}

bool CTQLocalResourceDatabase::CheckIn(std::int32_t)
{
    return false;
}

bool CTQLocalResourceDatabase::CheckOut(std::int32_t)
{
    return false;
}

bool CTQLocalResourceDatabase::UndoCheckOut(std::int32_t)
{
    return false;
}

bool CTQLocalResourceDatabase::GetLatest(std::int32_t)
{
    return false;
}

bool CTQLocalResourceDatabase::IsCheckedOut(std::int32_t) const
{
    return false;
}

bool CTQLocalResourceDatabase::IsCheckedOutByMe(std::int32_t) const
{
    return false;
}

bool CTQLocalResourceDatabase::IsCheckedOutBySomeoneElse(std::int32_t) const
{
    return false;
}

bool CTQLocalResourceDatabase::IsDifferent(std::int32_t) const
{
    return false;
}

bool CTQLocalResourceDatabase::GetCheckOutInfo(std::int32_t, CTQString&, CTQString&, std::int32_t&) const
{
    return false;
}

bool CTQLocalResourceDatabase::CheckInResourceTree()
{
    return false;
}

bool CTQLocalResourceDatabase::CheckOutResourceTree()
{
    return false;
}

bool CTQLocalResourceDatabase::GetLatestResourceTree()
{
    return false;
}

bool CTQLocalResourceDatabase::IsCheckedOutResourceTree() const
{
    return false;
}

bool CTQLocalResourceDatabase::IsCheckedOutByMeResourceTree() const
{
    return false;
}

bool CTQLocalResourceDatabase::IsCheckedOutBySomeoneElseResourceTree() const
{
    return false;
}

bool CTQLocalResourceDatabase::IsDifferentResourceTree() const
{
    return false;
}

bool CTQLocalResourceDatabase::CheckInFile(CTQString, bool&)
{
    return false;
}

bool CTQLocalResourceDatabase::CheckOutFile(CTQString, bool&)
{
    return false;
}

bool CTQLocalResourceDatabase::SCAddFile(const CTQString&, const CTQString&, bool)
{
    return false;
}

bool CTQLocalResourceDatabase::ReadResourceTreeFile(CTQString&)
{
    return true;
}

bool CTQLocalResourceDatabase::WriteResourceTreeFile(CTQString& path)
{
    path.Empty();
    return true;
}

void CTQLocalResourceDatabase::ReloadResource(std::int32_t) {}

// ---- Ids -------------------------------------------------------------------------------

std::int32_t CTQLocalResourceDatabase::NextUniqueId()
{
    // The last positive id cannot be handed out: the counter could not move past it.
    if (m_nNextUniqueId < 0 || m_nNextUniqueId == std::numeric_limits<std::int32_t>::max())
        return -1;
    return m_nNextUniqueId++;
}

// Ids taken by loaded or fixed-id resources are passed over, so a new resource
// never replaces an entry.
std::int32_t CTQLocalResourceDatabase::NextFreeId()
{
    std::int32_t id = NextUniqueId();
    while (id != -1 && IsResourceIdValid(id))
        id = NextUniqueId();
    return id;
}

void CTQLocalResourceDatabase::SetIdCounter(std::int32_t id)
{
    m_nNextUniqueId = id;
}

// ---- Resources ---------------------------------------------------------------------------

std::int32_t CTQLocalResourceDatabase::CreateResource(const CTQString& name, const CTQString& type)
{
    const std::int32_t id = NextFreeId();
    CTQResource* resource = id == -1 ? nullptr : Resource_Create(id, type);
    if (!resource)
        return -1;
    resource->SetName(name);
    Map_Add(id, resource, CTQString());
    return id;
}

std::int32_t CTQLocalResourceDatabase::CreateResourceWithFixedId(std::int32_t id, const CTQString& name,
                                                                 const CTQString& type)
{
    if (id < 0 || IsResourceIdValid(id))
        return -1;
    CTQResource* resource = Resource_Create(id, type);
    if (!resource)
        return -1;
    resource->SetName(name);
    Map_Add(id, resource, CTQString());
    return id;
}

std::int32_t CTQLocalResourceDatabase::CreateResourceFromClass(const CTQString& name, const CTQString& resourceClass)
{
    CTQResourceClassDatabase* classes = TQGetResourceClassDatabase();
    CTQResource* prototype = classes ? classes->QueryResourceClass(resourceClass) : nullptr;
    if (!prototype)
        return -1;
    const std::int32_t id = NextFreeId();
    CTQResource* resource = id == -1 ? nullptr : Resource_Create(id, prototype->GetType().GetName());
    if (resource)
        resource->Copy(prototype);
    classes->ReleaseResourceClass(resourceClass);
    if (!resource)
        return -1;
    resource->SetName(name);
    Map_Add(id, resource, resourceClass);
    return id;
}

void CTQLocalResourceDatabase::DestroyResource(std::int32_t id)
{
    Resource_Destroy(id);
}

CTQResource* CTQLocalResourceDatabase::QueryResource(std::int32_t id)
{
    CTQResource* resource = Map_FindResource(id);
    if (resource)
        resource->AddRef();
    return resource;
}

std::int32_t CTQLocalResourceDatabase::ReleaseResource(std::int32_t id)
{
    CTQResource* resource = Map_FindResource(id);
    if (!resource)
        return -1;
    if (resource->GetRefCount() == 1)
        Map_Remove(id);
    return resource->Release();
}

bool CTQLocalResourceDatabase::ChangeResourceClass(std::int32_t id, const CTQString& resourceClass)
{
    // Everything that can fail is settled before the old resource is touched.
    CTQResource* old = Map_FindResource(id);
    if (!old || old->GetRefCount() >= 2)
        return false;
    CTQResourceClassDatabase* classes = TQGetResourceClassDatabase();
    CTQResource* prototype = classes ? classes->QueryResourceClass(resourceClass) : nullptr;
    if (!prototype)
        return false;
    CTQResource* resource = Resource_Create(id, prototype->GetType().GetName());
    if (resource)
    {
        resource->Copy(prototype);
        resource->Copy(old);
        resource->SetName(old->GetName());
        // The same resource under another class: who refers to it does not change.
        resource->SetSingleton(old->IsSingleton());
        std::int32_t dependency = -1;
        std::int32_t cursor = 0;
        for (bool more = old->GetFirstDependency(dependency, cursor); more;
             more = old->GetNextDependency(dependency, cursor))
            resource->AddDependency(dependency);
    }
    classes->ReleaseResourceClass(resourceClass);
    if (!resource)
        return false;
    Map_Add(id, resource, resourceClass);
    return true;
}

// ---- Enumeration and lookup -------------------------------------------------------------------

std::int32_t CTQLocalResourceDatabase::GetCount() const
{
    return Map_GetSize();
}

bool CTQLocalResourceDatabase::IsResourceIdValid(std::int32_t id) const
{
    return Map_FindResource(id) != nullptr;
}

bool CTQLocalResourceDatabase::GetResourceClassType(std::int32_t id, CTQString& resourceClass) const
{
    const sResource* entry = nullptr;
    if (!Map_Find(id, entry))
        return false;
    resourceClass = entry->sResourceClass;
    return true;
}

// The cursor is the id last returned.
bool CTQLocalResourceDatabase::GetFirstResource(std::int32_t& id, CTQString& resourceClass,
                                                std::int32_t& cursor) const
{
    const sResource* entry = nullptr;
    std::int32_t found = -1;
    if (!Map_GetFirst(found, entry))
        return false;
    id = cursor = found;
    resourceClass = entry->sResourceClass;
    return true;
}

bool CTQLocalResourceDatabase::GetNextResource(std::int32_t& id, CTQString& resourceClass,
                                               std::int32_t& cursor) const
{
    const sResource* entry = nullptr;
    std::int32_t found = cursor;
    if (!Map_GetNext(found, entry))
        return false;
    id = cursor = found;
    resourceClass = entry->sResourceClass;
    return true;
}

bool CTQLocalResourceDatabase::GetFirstResourceOfResourceClassType(const CTQString& resourceClass,
                                                                   std::int32_t& id, std::int32_t& cursor) const
{
    cursor = std::numeric_limits<std::int32_t>::min();
    return GetNextResourceOfResourceClassType(resourceClass, id, cursor);
}

bool CTQLocalResourceDatabase::GetNextResourceOfResourceClassType(const CTQString& resourceClass,
                                                                  std::int32_t& id, std::int32_t& cursor) const
{
    const sResource* entry = nullptr;
    std::int32_t found = cursor;
    bool more = found == std::numeric_limits<std::int32_t>::min() ? Map_GetFirst(found, entry)
                                                                   : Map_GetNext(found, entry);
    for (; more; more = Map_GetNext(found, entry))
    {
        if (entry->sResourceClass.view() == resourceClass.view())
        {
            id = cursor = found;
            return true;
        }
    }
    return false;
}

// ---- The resource database file ------------------------------------------------------------------

bool CTQLocalResourceDatabase::Save(CFileIO* file)
{
    if (!file || !file->IsWriting())
        return false;
    bool ok = file->WriteUInt16(kFileMarker) && file->WriteUInt16(kFileVersion) && file->WriteInt32(kReserved) &&
              file->WriteInt(GetCount());
    CFileIO record;
    std::int32_t id = -1;
    const sResource* entry = nullptr;
    for (bool more = Map_GetFirst(id, entry); ok && more; more = Map_GetNext(id, entry))
        ok = SaveRecord(file, record, *entry);
    return ok;
}

// The record is written to memory first, so its length goes before it without
// moving back in the file.
bool CTQLocalResourceDatabase::SaveRecord(CFileIO* file, CFileIO& record, const sResource& entry)
{
    CTQResource* resource = entry.pResource;
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (!record.OpenMemory() || !resource->Save(&record) || !record.GetMemory(bytes, size))
        return false;
    return file->WriteString(resource->GetType().GetName()) && file->WriteString(entry.sResourceClass) &&
           file->WriteInt32(static_cast<std::int32_t>(size)) && file->WriteRaw(bytes, 1, size) == size;
}

bool CTQLocalResourceDatabase::Load(CFileIO* file)
{
    if (!file || !file->IsReading())
        return false;
    std::uint16_t marker = 1;
    std::uint16_t version = 1;
    std::int32_t reserved = 0;
    int count = 0;
    if (!file->ReadUInt16(marker) || !file->ReadUInt16(version) || marker != kFileMarker ||
        version != kFileVersion || !file->ReadInt32(reserved) || !file->ReadInt(count) || count < 0 ||
        count * kMinEntryBytes > BytesLeft(file))
        return false;

    CFileIO record;
    std::vector<std::uint8_t> bytes;
    bool ok = true;
    for (int i = 0; i < count; ++i)
    {
        bool recordFailed = false;
        if (!LoadRecord(file, record, bytes, recordFailed))
        {
            ok = false;
            break;
        }
        ok = ok && !recordFailed;
    }
    // New ids start past every id entered, loaded or not.
    const std::int32_t highest = Map_GetHighestId();
    if (highest >= m_nNextUniqueId)
        m_nNextUniqueId = highest == std::numeric_limits<std::int32_t>::max() ? highest : highest + 1;
    return ok;
}

// False when the file cannot be read on (the entry's frame is cut short or states a
// length past the end); recordFailed when only this record's content was bad.
bool CTQLocalResourceDatabase::LoadRecord(CFileIO* file, CFileIO& record, std::vector<std::uint8_t>& bytes,
                                          bool& recordFailed)
{
    CTQString type;
    CTQString resourceClass;
    std::int32_t length = 0;
    if (!file->ReadString(type) || !file->ReadString(resourceClass) || !file->ReadInt32(length) || length < 0 ||
        length > BytesLeft(file))
        return false;

    CTQResource* resource = CTQResourceFactory::New(type);
    if (!resource)
        return file->Skip(length);
    const auto size = static_cast<std::size_t>(length);
    bytes.resize(size);
    if (file->ReadRaw(bytes.data(), 1, size) != size || !record.OpenMemory(bytes.data(), size))
    {
        resource->Release();
        return false;
    }
    // What the record holds beyond what its resource reads (a later version's
    // additions) is passed over with it.
    if (!resource->Load(&record))
    {
        Discard(*this, resource);
        recordFailed = true;
        return true;
    }
    const std::int32_t id = resource->GetId();
    if (id < 0)
    {
        resource->Release();
        return true;
    }
    Map_Add(id, resource, resourceClass);
    return true;
}

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Framekit/ObjectModel/ITQDeviceClassInfixSource.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceDatabase.h>

#include <Plinth/CFileIO.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQLoadGuard.h>
#include <Plinth/Log.h>

#include <algorithm>

int CTQObjectDatabase::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;
int CTQObjectDatabaseRef::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;

namespace
{
CTQObjectDatabase* s_pCurrentDatabase = nullptr;

// Smallest bytes a saved record can take: empty class name, id and mode.
constexpr std::uint32_t kMinRecordBytes = 12;
// Records between two steps of the load guard.
constexpr std::int32_t kProgressStride = 256;

const char* ModeText(std::int32_t mode)
{
    if (mode == kTQSerializationModeNone)
        return "None";
    if (mode & kTQSerializationModeVolatile)
        return (mode & kTQSerializationModeSerialize) ? "Serialize - Volatile" : " - Volatile";
    return "Serialize";
}
} // namespace

CTQObjectDatabase* TQGetObjectDatabase()
{
    return s_pCurrentDatabase;
}

CTQObjectDatabase::CTQObjectDatabase()
{
    s_pCurrentDatabase = this;
}

CTQObjectDatabase::~CTQObjectDatabase()
{
    ReleaseAll();
    m_oSingletons.clear();
    if (s_pCurrentDatabase == this)
        s_pCurrentDatabase = nullptr;
}

void CTQObjectDatabase::ReleaseAll()
{
    // Each entry is cleared before its reference goes, so objects that release
    // others from their destructors find a consistent table.
    for (std::size_t id = 0; id < m_aTable.size(); ++id)
    {
        CTQObject* object = m_aTable[id];
        if (!object)
            continue;
        Remove(static_cast<std::int32_t>(id));
        object->Release();
    }
}

std::int32_t CTQObjectDatabase::NextUniqueObjectId()
{
    return m_nNextUniqueObjectId++;
}

void CTQObjectDatabase::SetNextUniqueObjectId(std::int32_t id)
{
    m_nNextUniqueObjectId = id;
}

CTQString CTQObjectDatabase::DeviceClassName(const CTQString& className) const
{
    const ITQDeviceClassInfixSource* source = TQGetDeviceClassInfixSource();
    const char* infix = source ? source->GetDeviceClassInfix() : nullptr;
    if (!infix || !*infix)
        return CTQString();
    return className.Left(3) + infix + className.Mid(3);
}

CTQObject* CTQObjectDatabase::Create(std::int32_t id, const CTQString& className)
{
    if (className.IsEmpty())
        return nullptr;
    CTQObject* object = CTQObjectFactory::New(className);
    if (!object)
    {
        const CTQString deviceName = DeviceClassName(className);
        if (deviceName.IsEmpty())
            return nullptr;
        object = CTQObjectFactory::New(deviceName);
        if (!object)
            return nullptr;
    }
    object->SetId(id);
    return object;
}

void CTQObjectDatabase::Add(std::int32_t id, CTQObject* object)
{
    if (id < 0 || !object)
        return;
    if (static_cast<std::size_t>(id) >= m_aTable.size())
        m_aTable.resize((static_cast<std::size_t>(id) / kTableGrowth + 1) * kTableGrowth, nullptr);
    CTQObject*& entry = m_aTable[static_cast<std::size_t>(id)];
    if (entry == object)
        return;
    if (CTQObject* replaced = entry)
    {
        // The table's reference on the object that loses its place goes with it.
        Remove(id);
        replaced->Release();
    }
    m_aTable[static_cast<std::size_t>(id)] = object;
    object->m_pOwnerDatabase = this;
    ++m_nLiveCount;
}

void CTQObjectDatabase::Remove(std::int32_t id)
{
    CTQObject* object = Find(id);
    if (!object)
        return;
    if (object->m_pOwnerDatabase == this)
        object->m_pOwnerDatabase = nullptr;
    m_aTable[static_cast<std::size_t>(id)] = nullptr;
    --m_nLiveCount;
    RemoveSingletonsOf(id);
}

void CTQObjectDatabase::RemoveSingletonsOf(std::int32_t id)
{
    std::erase_if(m_oSingletons, [id](const auto& entry) { return entry.second == id; });
}

void CTQObjectDatabase::Forget(CTQObject* object)
{
    std::int32_t id = object->m_nId;
    if (Find(id) != object)
    {
        // The object's id was changed behind the table's back; find its entry.
        auto it = std::find(m_aTable.begin(), m_aTable.end(), object);
        id = it == m_aTable.end() ? -1 : static_cast<std::int32_t>(it - m_aTable.begin());
    }
    Remove(id);
}

CTQObject* CTQObjectDatabase::Find(std::int32_t id) const
{
    return PeekObject(id);
}

CTQObject* CTQObjectDatabase::GetFirst(std::int32_t& id) const
{
    id = -1;
    return GetNext(id);
}

CTQObject* CTQObjectDatabase::GetNext(std::int32_t& id) const
{
    for (std::size_t i = static_cast<std::size_t>(id + 1); i < m_aTable.size(); ++i)
    {
        if (m_aTable[i])
        {
            id = static_cast<std::int32_t>(i);
            return m_aTable[i];
        }
    }
    id = -1;
    return nullptr;
}

CTQObject* CTQObjectDatabase::FindByClass(const CTQString& className) const
{
    if (!CTQObjectFactory::IsValidClassType(className))
        return nullptr;
    const CTQClassType& wanted = CTQObjectFactory::GetClassType(className);
    std::int32_t id = -1;
    for (CTQObject* object = GetFirst(id); object; object = GetNext(id))
    {
        const CTQString& own = object->GetType().GetName();
        if (CTQObjectFactory::IsValidClassType(own) && CTQObjectFactory::GetClassType(own).IsDerivedFrom(wanted))
            return object;
    }
    return nullptr;
}

CTQObject* CTQObjectDatabase::FindSingletonByClass(const CTQString& className) const
{
    auto it = m_oSingletons.find(className);
    return it == m_oSingletons.end() ? nullptr : Find(it->second);
}

void CTQObjectDatabase::AddSingleton(const CTQString& className, std::int32_t id)
{
    m_oSingletons[className] = id;
}

void CTQObjectDatabase::RemoveSingleton(const CTQString& className)
{
    m_oSingletons.erase(className);
}

std::int32_t CTQObjectDatabase::CreateObject(const CTQString& className)
{
    const std::int32_t id = NextUniqueObjectId();
    CTQObject* object = Create(id, className);
    if (!object)
        return -1;
    Add(id, object);
    object->OnConstruct();
    return id;
}

std::int32_t CTQObjectDatabase::CreateObjectFromResource(std::int32_t resourceId)
{
    return CreateObjectFromResource(resourceId, CTQString());
}

// An empty className (as the one-argument form passes) means the resource's
// associated class.
std::int32_t CTQObjectDatabase::CreateObjectFromResource(std::int32_t resourceId, const CTQString& className)
{
    CTQResourceDatabase* resources = TQGetResourceDatabase();
    CTQResource* resource = resources ? resources->QueryResource(resourceId) : nullptr;
    if (!resource)
        return -1;
    const std::int32_t id = NextUniqueObjectId();
    CTQObject* object = Create(id, className.IsEmpty() ? resource->GetAssociatedClassType() : className);
    if (!object)
    {
        resources->ReleaseResource(resourceId);
        return -1;
    }
    object->SetAssociatedResourceId(resourceId);
    Add(id, object);
    object->OnConstruct();
    const bool initialised = object->InitData(resourceId);
    // The table's reference goes; at 0 the object leaves the table by itself.
    if (!initialised)
        object->Release();
    resources->ReleaseResource(resourceId);
    return initialised ? id : -1;
}

void CTQObjectDatabase::DestroyObject(std::int32_t id)
{
    CTQObject* object = Find(id);
    if (!object)
        return;
    object->OnDestruct();
    // At 0 the object leaves the table, and its singleton registrations with it.
    object->Release();
}

CTQObject* CTQObjectDatabase::QuerySingletonObject(const CTQString& className)
{
    const CTQString deviceName = DeviceClassName(className);
    CTQObject* object = FindSingletonByClass(className);
    if (!object && !deviceName.IsEmpty())
        object = FindSingletonByClass(deviceName);
    if (!object)
    {
        object = FindByClass(className);
        if (!object && !deviceName.IsEmpty())
            object = FindByClass(deviceName);
        if (!object)
            return nullptr;
        AddSingleton(className, object->GetId());
    }
    object->AddRef();
    return object;
}

std::int32_t CTQObjectDatabase::ReleaseSingletonObject(const CTQString& className)
{
    CTQObject* object = FindSingletonByClass(className);
    if (!object)
    {
        const CTQString deviceName = DeviceClassName(className);
        if (!deviceName.IsEmpty())
            object = FindSingletonByClass(deviceName);
    }
    if (!object)
        return -1;
    return object->Release();
}

std::int32_t CTQObjectDatabase::GetCount() const
{
    return m_nLiveCount;
}

bool CTQObjectDatabase::IsEmpty() const
{
    return m_nLiveCount == 0;
}

bool CTQObjectDatabase::GetFirstObjectType(CTQString& className) const
{
    return CTQObjectFactory::GetFirst(className);
}

bool CTQObjectDatabase::GetNextObjectType(const CTQString& previous, CTQString& className) const
{
    return CTQObjectFactory::GetNext(previous, className);
}

void CTQObjectDatabase::Dump()
{
    for (std::int32_t id = 0; id < m_nNextUniqueObjectId && static_cast<std::size_t>(id) < m_aTable.size(); ++id)
    {
        CTQObject* object = Find(id);
        if (!object)
            continue;
        const std::int32_t count = object->AddRef() - 1;
        object->Release();
        Debug_Printf("ObjId %i, Class %s (RefCount %i): SerialMode: %s\n", id, object->GetType().GetName().GetString(),
                     count, ModeText(object->GetSerializationMode()));
    }
}

void CTQObjectDatabase::Serialize(CTQDataStream& s)
{
    if (s.IsStoring())
    {
        s.Write(m_nLiveCount);
        s.Write(m_nNextUniqueObjectId);
        std::int32_t id = -1;
        for (CTQObject* object = GetFirst(id); object; object = GetNext(id))
        {
            CTQString className = object->GetType().GetName();
            const std::int32_t mode = object->GetSerializationMode();
            TQSerializeString(s, className);
            s.Write(object->GetId());
            s.Write(mode);
            if (mode & kTQSerializationModeSerialize)
            {
                s.SerializeBegin(object->_GetDataFormatVersion());
                object->Serialize(s);
                s.SerializeEnd();
            }
        }
        return;
    }

    std::int32_t count = 0;
    std::int32_t nextId = 0;
    if (!s.Read(count) || !s.Read(nextId) || count < 0 || !s.CheckCount(static_cast<std::uint32_t>(count), kMinRecordBytes))
    {
        s.SetFailed();
        return;
    }
    m_nNextUniqueObjectId = nextId;
    const std::int32_t stride = count / kProgressStride;
    for (std::int32_t i = 0; i < count; ++i)
    {
        if (!LoadRecord(s))
        {
            // Loaders learn of the stop from the stream; what was read stays applied.
            s.SetFailed();
            break;
        }
        if (stride > 0 && i % kProgressStride == 0)
            CTQLoadGuard::Instance(1.0f / static_cast<float>(stride));
    }
    // Ids handed out from now on never collide with a loaded one.
    std::int32_t last = static_cast<std::int32_t>(m_aTable.size());
    while (--last >= 0 && !m_aTable[static_cast<std::size_t>(last)])
    {
    }
    m_nNextUniqueObjectId = std::max(m_nNextUniqueObjectId, last + 1);
    CTQLoadGuard::Instance(1.0f);
}

bool CTQObjectDatabase::LoadRecord(CTQDataStream& s)
{
    CTQString className;
    std::int32_t id = -1;
    std::int32_t mode = 0;
    TQSerializeString(s, className);
    s.Read(id);
    s.Read(mode);
    if (s.IsFailed() || id < 0)
    {
        s.SetFailed();
        return false;
    }
    CTQObject* object = Find(id);
    if (mode & kTQSerializationModeVolatile)
    {
        if (!object)
        {
            object = Create(id, className);
            if (!object)
                return false;
            Add(id, object);
        }
        else if (object->GetType().GetName() != className)
            return false;
    }
    else if (!object && mode != kTQSerializationModeNone)
        return false;

    if (object && (mode & kTQSerializationModeSerialize))
    {
        s.SerializeBegin(-1);
        object->Serialize(s);
        s.SerializeEnd();
        // The table decides the id; a corrupt record cannot move the object.
        object->SetId(id);
    }
    return !s.IsFailed();
}

bool CTQObjectDatabase::Save(CFileIO* file)
{
    if (!file || !file->IsWriting())
        return false;
    CTQDataStream s(CTQDataStream::eStoring);
    Serialize(s);
    return file->WriteUInt32(s.GetSize()) && file->WriteRaw(s.GetBuffer(), 1, s.GetSize()) == s.GetSize();
}

bool CTQObjectDatabase::Load(CFileIO* file)
{
    if (!file || !file->IsReading())
        return false;
    std::uint32_t size = 0;
    if (!file->ReadUInt32(size))
        return false;
    const std::int32_t left = file->GetSize() - file->GetPosition();
    if (left < 0 || size > static_cast<std::uint32_t>(left))
        return false;
    std::vector<std::uint8_t> bytes(size);
    if (file->ReadRaw(bytes.data(), 1, size) != size)
        return false;
    CTQDataStream s(CTQDataStream::eLoading, bytes.data(), size);
    Serialize(s);
    return !s.IsFailed();
}

CTQObjectDatabaseRef::CTQObjectDatabaseRef() : m_pDatabase(TQGetObjectDatabase()) {}

CTQObjectDatabaseRef::~CTQObjectDatabaseRef() = default;

void CTQObjectDatabaseRef::Serialize(CTQDataStream& s)
{
    if (!m_pDatabase)
        return;
    s.SerializeBegin(s.IsStoring() ? CTQObjectDatabase::GetDataFormatVersion() : -1);
    m_pDatabase->Serialize(s);
    s.SerializeEnd();
}

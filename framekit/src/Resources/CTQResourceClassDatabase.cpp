#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Framekit/Resources/CTQResourceFactory.h>

#include <Plinth/CFileIO.h>
#include <Plinth/Log.h>

#include <iterator>

namespace
{
CTQResourceClassDatabase* s_pCurrentClassDatabase = nullptr;

constexpr std::uint16_t kFileMarker = 0;
constexpr std::uint16_t kFileVersion = 0;
// The fewest bytes a prototype of the file takes: an empty type name and the
// shortest record (version 1, no name, class, attributes or references).
constexpr std::int64_t kMinEntryBytes = 4 + (2 + 2 + 4 + 4 + 4 + 1 + 4 + 4);

std::int64_t BytesLeft(const CFileIO* file)
{
    return static_cast<std::int64_t>(file->GetSize()) - file->GetPosition();
}
} // namespace

CTQResourceClassDatabase* TQGetResourceClassDatabase()
{
    return s_pCurrentClassDatabase;
}

CTQResourceClassDatabase::CTQResourceClassDatabase()
{
    s_pCurrentClassDatabase = this;
}

CTQResourceClassDatabase::~CTQResourceClassDatabase()
{
    // Emptied first, so prototypes that die now find nothing left to forget.
    Map classes;
    classes.swap(m_oClasses);
    for (auto& [name, prototype] : classes)
        prototype->Release();
    if (s_pCurrentClassDatabase == this)
        s_pCurrentClassDatabase = nullptr;
}

void CTQResourceClassDatabase::Forget(CTQResource* prototype)
{
    auto it = m_oClasses.find(prototype->GetName());
    if (it != m_oClasses.end() && it->second == prototype)
        m_oClasses.erase(it);
}

CTQResource* CTQResourceClassDatabase::MakePrototype(const CTQString& name, const CTQString& type) const
{
    CTQResource* prototype = CTQResourceFactory::New(type);
    if (!prototype)
    {
        Debug_Warning("Can't create a resource of type '%s'.\n", type.GetString());
        return nullptr;
    }
    prototype->SetName(name);
    return prototype;
}

// Enters the prototype under its own name; one already there gives its place and
// the map's reference up.
void CTQResourceClassDatabase::Enter(CTQResource* prototype)
{
    CTQResource*& slot = m_oClasses[prototype->GetName()];
    CTQResource* replaced = slot;
    slot = prototype;
    if (replaced && replaced != prototype)
        replaced->Release();
}

bool CTQResourceClassDatabase::CreateResourceClass(const CTQString& name, const CTQString& type)
{
    if (HasClass(name))
        return false;
    CTQResource* prototype = MakePrototype(name, type);
    if (!prototype)
        return false;
    Enter(prototype);
    return true;
}

CTQResource* CTQResourceClassDatabase::QueryResourceClass(const CTQString& name)
{
    auto it = m_oClasses.find(name);
    if (it == m_oClasses.end())
        return nullptr;
    it->second->AddRef();
    return it->second;
}

void CTQResourceClassDatabase::ReleaseResourceClass(const CTQString& name)
{
    auto it = m_oClasses.find(name);
    if (it == m_oClasses.end())
        return;
    CTQResource* prototype = it->second;
    if (prototype->GetRefCount() == 1)
        m_oClasses.erase(it);
    prototype->Release();
}

void CTQResourceClassDatabase::DestroyResourceClass(const CTQString& name)
{
    auto it = m_oClasses.find(name);
    if (it == m_oClasses.end())
        return;
    CTQResource* prototype = it->second;
    m_oClasses.erase(it);
    if (prototype->Release() > 0)
        Debug_Warning("Reference counter of this resource should be 0!\n");
}

bool CTQResourceClassDatabase::RenameResourceClass(const CTQString& from, const CTQString& to)
{
    auto it = m_oClasses.find(from);
    if (it == m_oClasses.end())
        return false;
    if (from.view() == to.view())
        return true;
    if (HasClass(to))
        return false;
    auto node = m_oClasses.extract(it);
    node.key() = to;
    node.mapped()->SetName(to);
    m_oClasses.insert(std::move(node));
    return true;
}

bool CTQResourceClassDatabase::ChangeResourceClassType(const CTQString& name, const CTQString& type)
{
    // Everything that can fail is settled before the old prototype is touched.
    auto it = m_oClasses.find(name);
    if (it == m_oClasses.end() || it->second->GetRefCount() >= 2)
        return false;
    CTQResource* prototype = MakePrototype(name, type);
    if (!prototype)
        return false;
    CTQResource* old = it->second;
    prototype->SetId(old->GetId());
    prototype->Copy(old);
    prototype->SetSingleton(old->IsSingleton());
    std::int32_t dependency = -1;
    std::int32_t cursor = 0;
    for (bool more = old->GetFirstDependency(dependency, cursor); more;
         more = old->GetNextDependency(dependency, cursor))
        prototype->AddDependency(dependency);
    it->second = prototype;
    old->Release();
    return true;
}

bool CTQResourceClassDatabase::HasClass(const CTQString& name) const
{
    return m_oClasses.find(name) != m_oClasses.end();
}

std::int32_t CTQResourceClassDatabase::GetCount() const
{
    return static_cast<std::int32_t>(m_oClasses.size());
}

bool CTQResourceClassDatabase::IsEmpty() const
{
    return m_oClasses.empty();
}

// The cursor is the position in name order; prototypes are few.
bool CTQResourceClassDatabase::GetFirstResourceClass(CTQString& name, std::int32_t& cursor) const
{
    cursor = -1;
    return GetNextResourceClass(name, cursor);
}

bool CTQResourceClassDatabase::GetNextResourceClass(CTQString& name, std::int32_t& cursor) const
{
    if (cursor < -1 || cursor + 1 >= GetCount())
        return false;
    ++cursor;
    name = std::next(m_oClasses.begin(), cursor)->first;
    return true;
}

bool CTQResourceClassDatabase::GetFirstResourceType(CTQString& type) const
{
    return CTQResourceFactory::GetFirst(type);
}

bool CTQResourceClassDatabase::GetNextResourceType(const CTQString& previous, CTQString& type) const
{
    return CTQResourceFactory::GetNext(previous, type);
}

bool CTQResourceClassDatabase::Save(CFileIO* file)
{
    if (!file || !file->IsWriting())
        return false;
    bool ok = file->WriteUInt16(kFileMarker) && file->WriteUInt16(kFileVersion) && file->WriteInt(GetCount());
    for (auto it = m_oClasses.begin(); ok && it != m_oClasses.end(); ++it)
        ok = file->WriteString(it->second->GetType().GetName()) && it->second->Save(file);
    return ok;
}

bool CTQResourceClassDatabase::Load(CFileIO* file)
{
    if (!file || !file->IsReading())
        return false;
    std::uint16_t marker = 0;
    std::uint16_t version = 0;
    if (!file->ReadUInt16(marker) || !file->ReadUInt16(version))
        return false;
    // A file of another marker or version is taken as one without classes.
    if (marker != kFileMarker || version != kFileVersion)
        return true;
    int count = 0;
    if (!file->ReadInt(count) || count < 0 || count * kMinEntryBytes > BytesLeft(file))
        return false;
    for (int i = 0; i < count; ++i)
        if (!LoadRecord(file))
            return false;
    return true;
}

bool CTQResourceClassDatabase::LoadRecord(CFileIO* file)
{
    CTQString type;
    if (!file->ReadString(type))
        return false;
    CTQResource* prototype = CTQResourceFactory::New(type);
    if (!prototype)
        return false;
    if (!prototype->Load(file))
    {
        prototype->Release();
        return false;
    }
    Enter(prototype);
    return true;
}

#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceDatabase.h>
#include <Framekit/Resources/CTQResourceFactory.h>

#include <utility>

TQ_IMPLEMENT_ROOT_CLASS_TYPE(CTQResourceDatabase, kTQDefaultDataFormatVersion)

namespace
{
CTQResourceDatabase* s_pCurrentResourceDatabase = nullptr;
} // namespace

CTQResourceDatabase* TQGetResourceDatabase()
{
    return s_pCurrentResourceDatabase;
}

CTQResourceDatabase::CTQResourceDatabase()
{
    s_pCurrentResourceDatabase = this;
}

CTQResourceDatabase::~CTQResourceDatabase()
{
    ReleaseAll();
    if (s_pCurrentResourceDatabase == this)
        s_pCurrentResourceDatabase = nullptr;
}

void CTQResourceDatabase::ReleaseAll()
{
    // The table is emptied before any reference goes, so resources that die now
    // find nothing of theirs left to forget.
    std::map<std::int32_t, sResource> resources;
    resources.swap(m_oResources);
    for (auto& [id, entry] : resources)
        entry.pResource->Release();
}

void CTQResourceDatabase::Forget(CTQResource* resource)
{
    auto it = m_oResources.find(resource->GetId());
    if (it != m_oResources.end() && it->second.pResource == resource)
        m_oResources.erase(it);
}

bool CTQResourceDatabase::IsEmpty() const
{
    return GetCount() == 0;
}

bool CTQResourceDatabase::GetFirstResourceType(CTQString& type) const
{
    return CTQResourceFactory::GetFirst(type);
}

bool CTQResourceDatabase::GetNextResourceType(const CTQString& previous, CTQString& type) const
{
    return CTQResourceFactory::GetNext(previous, type);
}

bool CTQResourceDatabase::IsRemote() const
{
    return m_eType == eTQResourceDatabaseRemote;
}

bool CTQResourceDatabase::IsLocal() const
{
    return m_eType == eTQResourceDatabaseLocal;
}

void CTQResourceDatabase::Map_Add(std::int32_t id, CTQResource* resource, const CTQString& resourceClass)
{
    // Files and the id counter bring ids in ascending order: the common case
    // appends without searching.
    auto it = !m_oResources.empty() && m_oResources.rbegin()->first < id
                  ? m_oResources.emplace_hint(m_oResources.end(), id, sResource())
                  : m_oResources.try_emplace(id).first;
    sResource& entry = it->second;
    CTQResource* replaced = entry.pResource;
    entry.pResource = resource;
    entry.sResourceClass = resourceClass;
    // The replaced resource's reference goes with its place; the entry already
    // points at the newcomer, so its death cannot clear it.
    if (replaced && replaced != resource)
        replaced->Release();
}

void CTQResourceDatabase::Map_Remove(std::int32_t id)
{
    m_oResources.erase(id);
}

bool CTQResourceDatabase::Map_Find(std::int32_t id, const sResource*& entry) const
{
    auto it = m_oResources.find(id);
    if (it == m_oResources.end())
        return false;
    entry = &it->second;
    return true;
}

CTQResource* CTQResourceDatabase::Map_FindResource(std::int32_t id) const
{
    auto it = m_oResources.find(id);
    return it == m_oResources.end() ? nullptr : it->second.pResource;
}

bool CTQResourceDatabase::Map_GetFirst(std::int32_t& id, const sResource*& entry) const
{
    if (m_oResources.empty())
        return false;
    id = m_oResources.begin()->first;
    entry = &m_oResources.begin()->second;
    return true;
}

bool CTQResourceDatabase::Map_GetNext(std::int32_t& id, const sResource*& entry) const
{
    auto it = m_oResources.upper_bound(id);
    if (it == m_oResources.end())
        return false;
    id = it->first;
    entry = &it->second;
    return true;
}

std::int32_t CTQResourceDatabase::Map_GetSize() const
{
    return static_cast<std::int32_t>(m_oResources.size());
}

std::int32_t CTQResourceDatabase::Map_GetHighestId() const
{
    return m_oResources.empty() ? -1 : m_oResources.rbegin()->first;
}

CTQResource* CTQResourceDatabase::Resource_Create(std::int32_t id, const CTQString& type)
{
    CTQResource* resource = CTQResourceFactory::New(type);
    if (resource)
        resource->SetId(id);
    return resource;
}

void CTQResourceDatabase::Resource_Destroy(std::int32_t id)
{
    auto it = m_oResources.find(id);
    if (it == m_oResources.end())
        return;
    CTQResource* resource = it->second.pResource;
    m_oResources.erase(it);
    resource->Release();
}

#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceDatabase.h>
#include <Framekit/Resources/CTQResourceRef.h>

#include <Plinth/CTQDataStream.h>

int CTQResourceRef::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;

CTQResourceRef::CTQResourceRef(std::int32_t resourceId)
{
    Acquire(resourceId);
}

CTQResourceRef::CTQResourceRef(const CTQResourceRef& other) : m_pDatabase(other.m_pDatabase), m_nId(other.m_nId)
{
    if (other.m_pResource)
        m_pResource = m_pDatabase->QueryResource(m_nId);
}

CTQResourceRef& CTQResourceRef::operator=(const CTQResourceRef& other)
{
    if (this == &other)
        return *this;
    // Take the new reference before giving back the old: both may be the same resource.
    CTQResource* resource = other.m_pResource ? other.m_pDatabase->QueryResource(other.m_nId) : nullptr;
    Drop();
    m_pDatabase = other.m_pDatabase;
    m_nId = other.m_nId;
    m_pResource = resource;
    return *this;
}

CTQResourceRef::~CTQResourceRef()
{
    Drop();
}

void CTQResourceRef::Acquire(std::int32_t resourceId)
{
    m_pDatabase = TQGetResourceDatabase();
    m_nId = resourceId;
    m_pResource = m_pDatabase && resourceId != -1 ? m_pDatabase->QueryResource(resourceId) : nullptr;
}

// Only a reference that the query took is given back: a resource entered under the
// id after a failed query is not ours to release. A resource that left the table
// meanwhile (destroyed or replaced) is released directly, as the table no longer
// knows it.
void CTQResourceRef::Drop()
{
    if (m_pResource && m_pDatabase->Map_FindResource(m_nId) == m_pResource)
        m_pDatabase->ReleaseResource(m_nId);
    else if (m_pResource)
        m_pResource->Release();
    m_pResource = nullptr;
}

void CTQResourceRef::Reset(std::int32_t resourceId)
{
    Drop();
    Acquire(resourceId);
}

void CTQResourceRef::Serialize(CTQDataStream& s)
{
    if (s.IsStoring())
    {
        s.Write(m_nId);
        return;
    }
    std::int32_t id = -1;
    if (s.Read(id))
        Reset(id);
}

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>

#include "CTQFactoryImpl.h"

#include <Plinth/CTQDataStream.h>

template <>
const char* CTQFactory<CTQObject>::GetFactoryName()
{
    return "CTQObjectFactory";
}

template class CTQFactory<CTQObject>;

TQ_IMPLEMENT_ROOT_CLASS_TYPE(CTQObject, kTQDefaultDataFormatVersion)

CTQObject::CTQObject() = default;

// A copy is a new object: it starts with its own single reference.
CTQObject::CTQObject(const CTQObject& other)
    : m_nId(other.m_nId), m_nNetworkId(other.m_nNetworkId), m_nAssociatedResourceId(other.m_nAssociatedResourceId)
{
}

CTQObject& CTQObject::operator=(const CTQObject& other)
{
    m_nId = other.m_nId;
    m_nNetworkId = other.m_nNetworkId;
    m_nAssociatedResourceId = other.m_nAssociatedResourceId;
    return *this;
}

CTQObject::~CTQObject()
{
    // However the object dies (its last Release, or the factory's Delete), its
    // entry does not outlive it.
    if (m_pOwnerDatabase)
        m_pOwnerDatabase->Forget(this);
}

void CTQObject::BeginPack(CTQDataStream&) {}
void CTQObject::Pack(CTQDataStream&) {}
void CTQObject::EndPack(CTQDataStream&) {}
void CTQObject::BeginUnpack(CTQDataStream&) {}
void CTQObject::Unpack(CTQDataStream&) {}
void CTQObject::EndUnpack(CTQDataStream&) {}

std::int32_t CTQObject::GetLocalId() const
{
    return m_nId;
}

std::int32_t CTQObject::GetNetworkId() const
{
    return m_nNetworkId;
}

void CTQObject::OnDistributedObjectConnect(std::int32_t networkId)
{
    m_nNetworkId = networkId;
}

void CTQObject::OnDistributedObjectDisconnect(std::int32_t)
{
    m_nNetworkId = -1;
}

void CTQObject::OnDispatchMethodInvocation(unsigned char, CTQDataStream&, CTQDataStream&) {}
void CTQObject::OnDispatchMethodResult(unsigned char, CTQDataStream&) {}
void CTQObject::OnConstruct() {}
void CTQObject::OnDestruct() {}

bool CTQObject::InitData(std::int32_t resourceId)
{
    SetAssociatedResourceId(resourceId);
    return true;
}

std::int32_t CTQObject::AddRef()
{
    return ++m_nRefCount;
}

std::int32_t CTQObject::Release()
{
    if (--m_nRefCount > 0)
        return m_nRefCount;
    delete this;
    return 0;
}

std::int32_t CTQObject::GetId() const
{
    return m_nId;
}

std::int32_t CTQObject::GetAssociatedResourceId() const
{
    return m_nAssociatedResourceId;
}

bool CTQObject::DispatchEvent(std::int32_t, std::int32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t)
{
    return false;
}

bool CTQObject::DispatchSimulation(std::int32_t)
{
    return false;
}

std::int32_t CTQObject::GetSerializationMode() const
{
    return kTQSerializationModeNone;
}

void CTQObject::Serialize(CTQDataStream& s)
{
    s.Serialize(m_nId);
    s.Serialize(m_nAssociatedResourceId);
}

void CTQObject::SetDistributedDataDirty() {}

void CTQObject::SetId(std::int32_t id)
{
    m_nId = id;
}

void CTQObject::SetAssociatedResourceId(std::int32_t resourceId)
{
    m_nAssociatedResourceId = resourceId;
}

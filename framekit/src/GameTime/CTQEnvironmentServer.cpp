#include <Framekit/GameTime/CTQEnvironmentServer.h>

#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceRef.h>
#include <Plinth/Log.h>

#include "TQEnvironmentServerRegistry.h"

TQ_IMPLEMENT_CLASS_TYPE(CTQEnvironmentServer, CTQObject, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQEnvironmentServer)

CTQEnvironmentServer* TQGetEnvironmentServer()
{
    return TQEnvironmentServerRegistry::Current();
}

CTQEnvironmentServer::CTQEnvironmentServer() : m_nHandle(TQEnvironmentServerRegistry::Enter(this)) {}

CTQEnvironmentServer::~CTQEnvironmentServer()
{
    TQEnvironmentServerRegistry::Leave(m_nHandle);
}

const CTQProperty& CTQEnvironmentServer::GetAttribute(const CTQString& name) const
{
    return m_oAttributes[name];
}

CTQProperty& CTQEnvironmentServer::GetAttribute(const CTQString& name)
{
    return m_oAttributes[name];
}

void CTQEnvironmentServer::SetAttribute(const CTQString& name, const CTQProperty& value)
{
    m_oAttributes.SetProperty(name, value);
}

bool CTQEnvironmentServer::RemoveAttribute(const CTQString& name)
{
    return m_oAttributes.RemoveProperty(name);
}

void CTQEnvironmentServer::RemoveAllAttributes()
{
    m_oAttributes.RemoveAllProperties();
}

const CTQProperty& CTQEnvironmentServer::operator[](const CTQString& name) const
{
    return GetAttribute(name);
}

CTQProperty& CTQEnvironmentServer::operator[](const CTQString& name)
{
    return GetAttribute(name);
}

bool CTQEnvironmentServer::GetFirstAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const
{
    return m_oAttributes.GetFirstProperty(name, value, cursor);
}

bool CTQEnvironmentServer::GetNextAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const
{
    return m_oAttributes.GetNextProperty(name, value, cursor);
}

std::int32_t CTQEnvironmentServer::GetAttributeCount() const
{
    return m_oAttributes.GetCount();
}

bool CTQEnvironmentServer::HasAttribute(const CTQString& name) const
{
    return m_oAttributes.HasProperty(name);
}

void CTQEnvironmentServer::SetSingleton(const CTQString& name, std::int32_t id)
{
    m_oAttributes.SetProperty(name, CTQProperty(id));
}

std::int32_t CTQEnvironmentServer::GetSingleton(const CTQString& name) const
{
    // Reading a missing or non-integer attribute as its integer value would give
    // 0, which is a valid object id.
    const CTQProperty* property = m_oAttributes.FindProperty(name);
    if (property == nullptr)
        return -1;
    if (!property->IsInteger())
    {
        Debug_Warning("CTQEnvironmentServer::GetSingleton(): attribute %s holds no object id", name.GetString());
        return -1;
    }
    return property->GetInt();
}

bool CTQEnvironmentServer::InitData(std::int32_t resourceId)
{
    SetAssociatedResourceId(resourceId);
    // The attributes are replaced only by those of a resource that exists: a
    // missing one must not wipe what the session has set up.
    if (!CTQResourceRef(resourceId).IsValid())
    {
        Debug_Warning("CTQEnvironmentServer::InitData(): there is no resource %d; the settings stay",
                      static_cast<int>(resourceId));
        return true;
    }
    RemoveAllAttributes();
    CopyAttributes(resourceId);
    return true;
}

std::int32_t CTQEnvironmentServer::CopyAttributes(std::int32_t resourceId)
{
    CTQResourceRef resource(resourceId);
    if (!resource.IsValid())
        return 0;
    std::int32_t copied = 0;
    CTQString name;
    CTQProperty value;
    std::int32_t cursor = 0;
    for (bool more = resource->GetFirstAttribute(name, value, cursor); more;
         more = resource->GetNextAttribute(name, value, cursor))
    {
        SetAttribute(name, value);
        ++copied;
    }
    return copied;
}

#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>
#include <Plinth/CTQProperty.h>
#include <Plinth/CTQPropertyManager.h>
#include <Plinth/CTQString.h>

#include <cstdint>

// The settings of a game session: named properties, usually copied from a
// resource, that other servers add to ("Display/...", "Audio/Output/...") and
// read ("Framekit/GameTime/OutputFormat"), plus named singleton object ids kept
// as integer attributes.
//
// The newest server is the current one (TQGetEnvironmentServer()); destroying
// it leaves no current server, destroying any other leaves the current one be.
class FRAMEKIT_API CTQEnvironmentServer : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQEnvironmentServer)

    // Becomes the current server.
    CTQEnvironmentServer();
    CTQEnvironmentServer(const CTQEnvironmentServer&) = delete;
    CTQEnvironmentServer& operator=(const CTQEnvironmentServer&) = delete;
    ~CTQEnvironmentServer() override;

    // A missing attribute reads as an empty property: the const form hands out a
    // spare that is not kept, the other inserts the empty attribute.
    virtual const CTQProperty& GetAttribute(const CTQString& name) const;
    virtual CTQProperty& GetAttribute(const CTQString& name);
    // Inserts or overwrites.
    virtual void SetAttribute(const CTQString& name, const CTQProperty& value);
    // False when there was no such attribute.
    virtual bool RemoveAttribute(const CTQString& name);
    virtual void RemoveAllAttributes();
    virtual const CTQProperty& operator[](const CTQString& name) const;
    virtual CTQProperty& operator[](const CTQString& name);
    // Enumeration in name order; false when there is no (further) attribute.
    virtual bool GetFirstAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const;
    virtual bool GetNextAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const;
    virtual std::int32_t GetAttributeCount() const;
    virtual bool HasAttribute(const CTQString& name) const;
    // Stores the id as the integer attribute `name`.
    virtual void SetSingleton(const CTQString& name, std::int32_t id);
    // The id stored under `name`; -1 when there is none (no attribute, or one
    // that does not hold an integer).
    virtual std::int32_t GetSingleton(const CTQString& name) const;

    // Replaces the attributes with those of the resource. A missing resource
    // keeps the current attributes. Always true.
    bool InitData(std::int32_t resourceId) override;

private:
    // Sets each attribute of the resource on the server; the number copied (0
    // when the resource does not exist).
    std::int32_t CopyAttributes(std::int32_t resourceId);

    CTQPropertyManager m_oAttributes;
    // This server's handle with the date values made under it.
    std::uint64_t m_nHandle = 0;
};

// The current environment server, or null.
FRAMEKIT_API CTQEnvironmentServer* TQGetEnvironmentServer();

#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Framekit/ObjectModel/ITQDistributedObject.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>

#include <cstdint>

class CTQDataStream;
class CTQObjectDatabase;

// Serialisation mode bits (GetSerializationMode).
enum : std::int32_t
{
    kTQSerializationModeNone = 0,
    // The object database writes and reads the object's state.
    kTQSerializationModeSerialize = 1,
    // The object database creates the object when loading if it does not exist.
    kTQSerializationModeVolatile = 2,
};

// The base of every game object: reference-counted, known to the object database
// by its id, perhaps built from a resource.
//
// The database's table holds the creator's reference. When the last reference
// goes, however it goes, the object also leaves the table of the database that
// holds it, so no entry ever points at a deleted object.
class FRAMEKIT_API CTQObject : public ITQDistributedObject
{
    friend class CTQObjectDatabase;

public:
    TQ_DECLARE_ROOT_CLASS_TYPE(CTQObject)

    CTQObject();
    CTQObject(const CTQObject& other);
    CTQObject& operator=(const CTQObject& other);
    virtual ~CTQObject();

    // ITQDistributedObject: do-nothing defaults.
    void BeginPack(CTQDataStream& s) override;
    void Pack(CTQDataStream& s) override;
    void EndPack(CTQDataStream& s) override;
    void BeginUnpack(CTQDataStream& s) override;
    void Unpack(CTQDataStream& s) override;
    void EndUnpack(CTQDataStream& s) override;
    std::int32_t GetLocalId() const override;
    std::int32_t GetNetworkId() const override;
    void OnDistributedObjectConnect(std::int32_t networkId) override;
    void OnDistributedObjectDisconnect(std::int32_t networkId) override;
    void OnDispatchMethodInvocation(unsigned char method, CTQDataStream& in, CTQDataStream& out) override;
    void OnDispatchMethodResult(unsigned char method, CTQDataStream& in) override;
    void OnConstruct() override;
    void OnDestruct() override;

    // Reads the object's settings from a resource; the base only remembers it.
    virtual bool InitData(std::int32_t resourceId);
    virtual std::int32_t AddRef();
    // At 0 the object leaves the database's table and is deleted; returns the new count.
    virtual std::int32_t Release();
    virtual std::int32_t GetId() const;
    virtual std::int32_t GetAssociatedResourceId() const;
    // Both return false: not handled.
    virtual bool DispatchEvent(std::int32_t eventId, std::int32_t p1, std::uint32_t p2, std::uint32_t p3,
                               std::uint32_t p4, std::uint32_t p5);
    virtual bool DispatchSimulation(std::int32_t step);
    virtual std::int32_t GetSerializationMode() const;
    // The object id, then the associated resource id, 4 bytes each.
    virtual void Serialize(CTQDataStream& s);
    virtual void SetDistributedDataDirty();

    std::int32_t GetRefCount() const { return m_nRefCount; }

protected:
    virtual void SetId(std::int32_t id);
    virtual void SetAssociatedResourceId(std::int32_t resourceId);

private:
    std::int32_t m_nId = -1;
    std::int32_t m_nNetworkId = -1;
    std::int32_t m_nRefCount = 1;
    std::int32_t m_nAssociatedResourceId = -1;
    // The database whose table holds this object, or null. Set and cleared by
    // that database only, so objects never entered (input events, say) never
    // touch a database, whatever thread they die on.
    CTQObjectDatabase* m_pOwnerDatabase = nullptr;
};

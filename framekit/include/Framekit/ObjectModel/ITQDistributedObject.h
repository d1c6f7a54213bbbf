#pragma once

#include <Framekit/FramekitExport.h>

#include <cstdint>

class CTQDataStream;

// What a distributed object does when its state travels through a session.
// CTQObject implements every operation with a do-nothing default.
class FRAMEKIT_API ITQDistributedObject
{
public:
    virtual void BeginPack(CTQDataStream& s) = 0;
    virtual void Pack(CTQDataStream& s) = 0;
    virtual void EndPack(CTQDataStream& s) = 0;
    virtual void BeginUnpack(CTQDataStream& s) = 0;
    virtual void Unpack(CTQDataStream& s) = 0;
    virtual void EndUnpack(CTQDataStream& s) = 0;
    virtual std::int32_t GetLocalId() const = 0;
    virtual std::int32_t GetNetworkId() const = 0;
    virtual void OnDistributedObjectConnect(std::int32_t networkId) = 0;
    virtual void OnDistributedObjectDisconnect(std::int32_t networkId) = 0;
    virtual void OnDispatchMethodInvocation(unsigned char method, CTQDataStream& in, CTQDataStream& out) = 0;
    virtual void OnDispatchMethodResult(unsigned char method, CTQDataStream& in) = 0;
    virtual void OnConstruct() = 0;
    virtual void OnDestruct() = 0;

protected:
    ~ITQDistributedObject() = default;
};

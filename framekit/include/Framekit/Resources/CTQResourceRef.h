#pragma once

#include <Framekit/FramekitExport.h>

#include <cstdint>

class CTQDataStream;
class CTQResource;
class CTQResourceDatabase;

// A scoped hold on one resource of the current resource database, as every
// InitData uses it:
//
//     CTQResourceRef res(resourceId);
//     if (res.IsValid() && res->HasAttribute("fDensity"))
//         m_fDensity = (*res)["fDensity"];
//
// Constructing it queries the resource (one reference); destroying it gives that
// reference back. A handle whose query found nothing holds nothing and gives
// nothing back. It must not outlive the database it was taken from.
class FRAMEKIT_API CTQResourceRef
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    explicit CTQResourceRef(std::int32_t resourceId = -1);
    // A copy takes a reference of its own.
    CTQResourceRef(const CTQResourceRef& other);
    CTQResourceRef& operator=(const CTQResourceRef& other);
    virtual ~CTQResourceRef();

    virtual bool CanSerialize() const { return true; }
    // The resource id, 4 bytes. Loading gives back the held resource, takes the
    // stored id and queries it from the current resource database.
    virtual void Serialize(CTQDataStream& s);

    // Gives back the held resource and holds resourceId of the current database.
    void Reset(std::int32_t resourceId);

    CTQResource* operator->() const { return m_pResource; }
    CTQResource& operator*() const { return *m_pResource; }
    CTQResource* Get() const { return m_pResource; }
    bool IsValid() const { return m_pResource != nullptr; }
    // The id asked for, also when no resource was found under it.
    std::int32_t GetId() const { return m_nId; }
    CTQResourceDatabase* GetDatabase() const { return m_pDatabase; }

protected:
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

private:
    void Acquire(std::int32_t resourceId);
    void Drop();

    CTQResourceDatabase* m_pDatabase = nullptr;
    std::int32_t m_nId = -1;
    CTQResource* m_pResource = nullptr;
};

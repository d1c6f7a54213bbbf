#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Plinth/CTQString.h>

#include <cstdint>
#include <map>

class CFileIO;
class CTQResource;

// The kind of a resource database (stored as 32 bits).
enum eTQResourceDatabaseType : std::int32_t
{
    eTQResourceDatabaseRemote = 0,
    eTQResourceDatabaseLocal = 1,
};

// The abstract resource database: resources by id, each with the name of the
// resource class it was made from (empty for one made from a bare type). It
// declares the source-control operations of a database kept under version
// control; CTQLocalResourceDatabase is the implementation kept in local files.
//
// The table holds one reference per entry. An entry leaves the table when its
// count reaches 0 (ReleaseResource), when it is destroyed, replaced, or when the
// database is destroyed; no entry ever points at a deleted resource.
class FRAMEKIT_API CTQResourceDatabase
{
    friend class CTQResource;
    friend class CTQResourceRef;

public:
    TQ_DECLARE_ROOT_CLASS_TYPE(CTQResourceDatabase)

    struct sResource
    {
        CTQResource* pResource = nullptr;
        CTQString sResourceClass;
    };

    // The new database becomes the current one.
    CTQResourceDatabase();
    CTQResourceDatabase(const CTQResourceDatabase&) = delete;
    CTQResourceDatabase& operator=(const CTQResourceDatabase&) = delete;
    // Gives back the table's reference on every entry, and stops being current if
    // it is.
    virtual ~CTQResourceDatabase();

    virtual bool Startup() = 0;
    virtual bool Closedown() = 0;

    // Source control.
    virtual bool Login(const CTQString& server, const CTQString& database, const CTQString& user,
                       const CTQString& password) = 0;
    virtual bool Logout() = 0;
    virtual bool IsConnected() const = 0;
    virtual bool CheckIn(std::int32_t id) = 0;
    virtual bool CheckOut(std::int32_t id) = 0;
    virtual bool UndoCheckOut(std::int32_t id) = 0;
    virtual bool GetLatest(std::int32_t id) = 0;
    virtual bool IsCheckedOut(std::int32_t id) const = 0;
    virtual bool IsCheckedOutByMe(std::int32_t id) const = 0;
    virtual bool IsCheckedOutBySomeoneElse(std::int32_t id) const = 0;
    virtual bool IsDifferent(std::int32_t id) const = 0;
    virtual bool GetCheckOutInfo(std::int32_t id, CTQString& user, CTQString& machine, std::int32_t& time) const = 0;
    virtual bool CheckInResourceTree() = 0;
    virtual bool CheckOutResourceTree() = 0;
    virtual bool GetLatestResourceTree() = 0;
    virtual bool IsCheckedOutResourceTree() const = 0;
    virtual bool IsCheckedOutByMeResourceTree() const = 0;
    virtual bool IsCheckedOutBySomeoneElseResourceTree() const = 0;
    virtual bool IsDifferentResourceTree() const = 0;
    virtual bool CheckInFile(CTQString path, bool& changed) = 0;
    virtual bool CheckOutFile(CTQString path, bool& changed) = 0;
    virtual bool SCAddFile(const CTQString& path, const CTQString& comment, bool binary) = 0;

    // Creation; each returns the new id or -1.
    virtual std::int32_t CreateResourceFromClass(const CTQString& name, const CTQString& resourceClass) = 0;
    virtual std::int32_t CreateResource(const CTQString& name, const CTQString& type) = 0;
    virtual std::int32_t CreateResourceWithFixedId(std::int32_t id, const CTQString& name, const CTQString& type) = 0;
    virtual void DestroyResource(std::int32_t id) = 0;
    // The resource with one reference added, or null.
    virtual CTQResource* QueryResource(std::int32_t id) = 0;
    // Gives back one reference; the remaining count, or -1 for an unknown id.
    virtual std::int32_t ReleaseResource(std::int32_t id) = 0;
    virtual void ReloadResource(std::int32_t id) = 0;

    virtual std::int32_t GetCount() const = 0;
    virtual bool IsEmpty() const;
    // The resource factory's registered names.
    virtual bool GetFirstResourceType(CTQString& type) const;
    virtual bool GetNextResourceType(const CTQString& previous, CTQString& type) const;

    // Entries in id order; false when there is no (further) entry. The cursor is
    // opaque.
    virtual bool GetFirstResource(std::int32_t& id, CTQString& resourceClass, std::int32_t& cursor) const = 0;
    virtual bool GetNextResource(std::int32_t& id, CTQString& resourceClass, std::int32_t& cursor) const = 0;
    virtual bool GetFirstResourceOfResourceClassType(const CTQString& resourceClass, std::int32_t& id,
                                                     std::int32_t& cursor) const = 0;
    virtual bool GetNextResourceOfResourceClassType(const CTQString& resourceClass, std::int32_t& id,
                                                    std::int32_t& cursor) const = 0;

    virtual bool Load(CFileIO* file) = 0;
    virtual bool Save(CFileIO* file) = 0;
    virtual bool ReadResourceTreeFile(CTQString& path) = 0;
    virtual bool WriteResourceTreeFile(CTQString& path) = 0;

    virtual bool GetResourceClassType(std::int32_t id, CTQString& resourceClass) const = 0;
    virtual bool IsResourceIdValid(std::int32_t id) const = 0;
    virtual void SetIdCounter(std::int32_t id) = 0;
    virtual bool ChangeResourceClass(std::int32_t id, const CTQString& resourceClass) = 0;

    virtual bool IsRemote() const;
    virtual bool IsLocal() const;

protected:
    // The next unique id, then the counter moves on; -1 once ids are exhausted.
    virtual std::int32_t NextUniqueId() = 0;

    void SetResourceDatabaseType(eTQResourceDatabaseType type) { m_eType = type; }

    // Inserts or overwrites; an overwritten entry's resource is given back.
    void Map_Add(std::int32_t id, CTQResource* resource, const CTQString& resourceClass);
    // Clears the entry without giving back its reference (the caller takes it).
    void Map_Remove(std::int32_t id);
    bool Map_Find(std::int32_t id, const sResource*& entry) const;
    CTQResource* Map_FindResource(std::int32_t id) const;
    // Entries in id order: the first, and the one after id.
    bool Map_GetFirst(std::int32_t& id, const sResource*& entry) const;
    bool Map_GetNext(std::int32_t& id, const sResource*& entry) const;
    std::int32_t Map_GetSize() const;
    // A new resource of the registered class type with the given id, or null.
    CTQResource* Resource_Create(std::int32_t id, const CTQString& type);
    // Removes the entry and gives back the table's reference.
    void Resource_Destroy(std::int32_t id);
    // The highest id entered, or -1.
    std::int32_t Map_GetHighestId() const;

private:
    // Called by a resource that dies while still entered here.
    void Forget(CTQResource* resource);
    void ReleaseAll();

    std::map<std::int32_t, sResource> m_oResources;
    eTQResourceDatabaseType m_eType = eTQResourceDatabaseRemote;
};

// The current resource database, or null.
FRAMEKIT_API CTQResourceDatabase* TQGetResourceDatabase();

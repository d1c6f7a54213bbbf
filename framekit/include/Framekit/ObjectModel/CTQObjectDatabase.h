#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>
#include <Plinth/CTQString.h>

#include <cstdint>
#include <map>
#include <vector>

class CFileIO;
class CTQDataStream;
class CTQObject;

// The registry of live objects by id.
//
// The table holds one reference per occupied entry (the creator's reference,
// handed over when the object is entered). Ids are never reused within a run.
// The live count is always the number of occupied entries.
class FRAMEKIT_API CTQObjectDatabase
{
    friend class CTQObject;

public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    // The table grows in steps of this many entries.
    static constexpr std::int32_t kTableGrowth = 1024;

    // The new database becomes the current one.
    CTQObjectDatabase();
    CTQObjectDatabase(const CTQObjectDatabase&) = delete;
    CTQObjectDatabase& operator=(const CTQObjectDatabase&) = delete;
    // Gives back the table's reference on every object still entered, and stops
    // being current if it is.
    virtual ~CTQObjectDatabase();

    virtual bool CanSerialize() const { return true; }
    // The saved form: live count, next unique id, then per object in id order its
    // class name, id, mode and (mode bit 1) its state in a versioned bracket.
    // Loading stops at the first inconsistent record with what was read applied.
    virtual void Serialize(CTQDataStream& s);

    std::int32_t CreateObject(const CTQString& className);
    std::int32_t CreateObjectFromResource(std::int32_t resourceId);
    std::int32_t CreateObjectFromResource(std::int32_t resourceId, const CTQString& className);
    void DestroyObject(std::int32_t id);
    CTQObject* QueryObject(std::int32_t id);
    // The object entered under id, or null, without taking a reference: for hot
    // paths that look an id up, use the object at once and keep no pointer.
    CTQObject* PeekObject(std::int32_t id) const
    {
        const auto index = static_cast<std::uint32_t>(id);
        return index < m_aTable.size() ? m_aTable[index] : nullptr;
    }
    std::int32_t ReleaseObject(std::int32_t id);
    CTQObject* QuerySingletonObject(const CTQString& className);
    std::int32_t ReleaseSingletonObject(const CTQString& className);
    std::int32_t GetCount() const;
    bool IsEmpty() const;
    void SetNextUniqueObjectId(std::int32_t id);
    bool GetFirstObjectType(CTQString& className) const;
    bool GetNextObjectType(const CTQString& previous, CTQString& className) const;
    // One diagnostic line per live object.
    void Dump();
    // A save file holds the serialised form; loading applies it with the same rules.
    bool Load(CFileIO* file);
    bool Save(CFileIO* file);

    // Entries in the table (capacity, not the live count).
    std::int32_t GetTableSize() const { return static_cast<std::int32_t>(m_aTable.size()); }

protected:
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    CTQObject* Create(std::int32_t id, const CTQString& className);
    void Add(std::int32_t id, CTQObject* object);
    void Remove(std::int32_t id);
    CTQObject* Find(std::int32_t id) const;
    CTQObject* FindByClass(const CTQString& className) const;
    CTQObject* FindSingletonByClass(const CTQString& className) const;
    void AddSingleton(const CTQString& className, std::int32_t id);
    void RemoveSingleton(const CTQString& className);
    CTQObject* GetFirst(std::int32_t& id) const;
    CTQObject* GetNext(std::int32_t& id) const;
    std::int32_t NextUniqueObjectId();

private:
    CTQString DeviceClassName(const CTQString& className) const;
    void Forget(CTQObject* object);
    void RemoveSingletonsOf(std::int32_t id);
    bool LoadRecord(CTQDataStream& s);
    void ReleaseAll();

    std::vector<CTQObject*> m_aTable;
    std::map<CTQString, std::int32_t, CTQStringLess> m_oSingletons;
    std::int32_t m_nLiveCount = 0;
    std::int32_t m_nNextUniqueObjectId = 0;
};

// The current object database, or null.
FRAMEKIT_API CTQObjectDatabase* TQGetObjectDatabase();

// A handle on the current object database, taken when the handle is made.
class FRAMEKIT_API CTQObjectDatabaseRef
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    CTQObjectDatabaseRef();
    CTQObjectDatabaseRef(const CTQObjectDatabaseRef&) = default;
    CTQObjectDatabaseRef& operator=(const CTQObjectDatabaseRef&) = default;
    virtual ~CTQObjectDatabaseRef();

    virtual bool CanSerialize() const { return true; }
    // The referenced database in a bracket with the database's version.
    virtual void Serialize(CTQDataStream& s);

    CTQObjectDatabase& operator*() const { return *m_pDatabase; }
    CTQObjectDatabase* operator->() const { return m_pDatabase; }
    operator CTQObjectDatabase*() const { return m_pDatabase; }

protected:
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

private:
    CTQObjectDatabase* m_pDatabase;
};

// Lookups by id are on every game object's per-frame path, so they inline into
// the caller: one bounds check and the object's own AddRef/Release.
inline CTQObject* CTQObjectDatabase::QueryObject(std::int32_t id)
{
    CTQObject* object = PeekObject(id);
    if (object)
        object->AddRef();
    return object;
}

inline std::int32_t CTQObjectDatabase::ReleaseObject(std::int32_t id)
{
    CTQObject* object = PeekObject(id);
    if (!object)
        return -1;
    if (object->m_nRefCount == 1)
        object->OnDestruct();
    return object->Release();
}

#pragma once

#include <Framekit/FramekitExport.h>
#include <Plinth/CTQString.h>

#include <cstdint>
#include <map>

class CFileIO;
class CTQResource;

// The resource classes: named prototype resources from which new resources are
// made. Each prototype's own name is its key. The map holds one reference per
// entry; a prototype leaves it when its count reaches 0, when it is destroyed,
// replaced, or when the database is destroyed.
//
// The resource class file, all values through CFileIO's typed operations:
//     int16  marker, 0
//     int16  version, 0
//     int    prototype count
//     per prototype in name order: string resource type (its class type name),
//         then its resource record (CTQResource)
// A file whose marker or version is not 0 loads as empty.
class FRAMEKIT_API CTQResourceClassDatabase
{
    friend class CTQResource;

public:
    // The new database becomes the current one.
    CTQResourceClassDatabase();
    CTQResourceClassDatabase(const CTQResourceClassDatabase&) = delete;
    CTQResourceClassDatabase& operator=(const CTQResourceClassDatabase&) = delete;
    // Gives back every prototype, and stops being current if it is.
    virtual ~CTQResourceClassDatabase();

    // False when name is taken; false with the warning "Can't create a resource of
    // type '<type>'." when the resource factory cannot make type.
    bool CreateResourceClass(const CTQString& name, const CTQString& type);
    // The prototype with one reference added, or null.
    CTQResource* QueryResourceClass(const CTQString& name);
    // Gives back one reference; at 0 the entry is removed.
    void ReleaseResourceClass(const CTQString& name);
    // Removes the entry and gives back the map's reference; warns when others
    // still hold the prototype.
    void DestroyResourceClass(const CTQString& name);
    // The prototype takes the new name. False when from is absent or to is taken
    // by another prototype.
    bool RenameResourceClass(const CTQString& from, const CTQString& to);
    // Remakes the prototype as a resource of type with the same name, id and
    // content. False, the prototype unchanged, for an absent name, a prototype
    // others still hold, or a type the factory cannot make (with the warning).
    bool ChangeResourceClassType(const CTQString& name, const CTQString& type);

    bool HasClass(const CTQString& name) const;
    std::int32_t GetCount() const;
    bool IsEmpty() const;
    // Prototype names in name order; false when there is no (further) one.
    bool GetFirstResourceClass(CTQString& name, std::int32_t& cursor) const;
    bool GetNextResourceClass(CTQString& name, std::int32_t& cursor) const;
    // The resource factory's registered names.
    bool GetFirstResourceType(CTQString& type) const;
    bool GetNextResourceType(const CTQString& previous, CTQString& type) const;

    // False for a truncated file, an impossible count, a type the factory cannot
    // make (loading stops there) or a record that cannot be read. Prototypes read
    // before a failure stay entered.
    bool Load(CFileIO* file);
    bool Save(CFileIO* file);

private:
    using Map = std::map<CTQString, CTQResource*, CTQStringLess>;

    CTQResource* MakePrototype(const CTQString& name, const CTQString& type) const;
    void Enter(CTQResource* prototype);
    bool LoadRecord(CFileIO* file);
    void Forget(CTQResource* prototype);

    Map m_oClasses;
};

// The current resource class database, or null.
FRAMEKIT_API CTQResourceClassDatabase* TQGetResourceClassDatabase();

#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/Resources/CTQResourceFactory.h>
#include <Plinth/CTQProperty.h>
#include <Plinth/CTQPropertyManager.h>
#include <Plinth/CTQString.h>

#include <cstdint>
#include <vector>

class CFileIO;

// A named, shared, reference-counted description from which game objects are
// built: typed attributes, named references to other resources, and the ids of
// the resources that reference this one (its dependencies, the back-links).
//
// Its object id is its resource id. A resource belongs to the resource database
// that entered it; the database holds the creator's reference.
//
// Back-links are kept by the referencing side: adding, changing or removing a
// reference updates the target's dependencies in the current resource database,
// except while a record of format version 2 or later is being loaded (such a
// record carries its own dependency list) and except for resources outside a
// database (id -1, such as resource class prototypes).
//
// The resource record (Save/Load), all values through CFileIO's typed operations:
//     int16  marker, 0
//     int16  format version, 2 when written (1: no dependency list)
//     int32  resource id
//     string name
//     string associated class type
//     bool   singleton flag
//     attribute block (CTQPropertyManager::Save)
//     int    reference count; per reference in name order: string name,
//            int32 id, string resource class type
//     int    dependency count; per dependency in ascending order: int32 id
//            (version 2 or later only)
// A derived class that extends the record writes and reads its part after this
// one, through the typed values and the position operations of CFileIO only: the
// resource database hands each record a CFileIO over that record's own bytes.
class FRAMEKIT_API CTQResource : public CTQObject
{
    friend class CTQResourceDatabase;
    friend class CTQResourceClassDatabase;

public:
    TQ_DECLARE_CLASS_TYPE(CTQResource)

    // The format version Save writes.
    static constexpr std::uint16_t kRecordVersion = 2;

    CTQResource();
    CTQResource(const CTQResource&) = delete;
    CTQResource& operator=(const CTQResource&) = delete;
    // Frees its lists without touching other resources, and leaves the current
    // databases' tables if it is still entered there.
    ~CTQResource() override;

    // The resource record. Load returns false on a marker other than 0 and on a
    // failed read, with the fields read so far applied; the loading flag is clear
    // again whichever way it returns.
    virtual bool Load(CFileIO* file);
    virtual bool Save(CFileIO* file);
    // Takes over other's attributes (each set by name), associated class type and
    // references (each added with AddReference). Name, id, singleton flag and
    // dependencies stay. False only for a null other.
    virtual bool Copy(CTQResource* other);
    // Brings the attribute and reference names in line with the prototype other:
    // names only here are removed, names only there are added with other's value,
    // shared names keep this resource's value (an attribute whose type differs
    // takes other's value: the prototype decides the type). Takes other's
    // associated class type. False only for a null other.
    virtual bool UpdateResourceA(CTQResource* other);

    virtual void SetName(const CTQString& name);
    virtual const CTQString& GetName() const;
    // The class name of the objects built from this resource; empty for none.
    virtual void SetAssociatedClassType(const CTQString& className);
    virtual const CTQString& GetAssociatedClassType() const;
    virtual void SetSingleton(bool singleton);
    virtual bool IsSingleton() const;

    // Inserts or overwrites the reference name. Refused (false) when id is this
    // resource's own id and not -1.
    virtual bool AddReference(const CTQString& name, std::int32_t id, const CTQString& classType);
    // Points an existing reference at id; false for an absent name or a
    // reference to itself. Reference counts of both targets end where they began.
    virtual bool SetReference(const CTQString& name, std::int32_t id);
    // False for an absent name.
    virtual bool RemoveReference(const CTQString& name);
    virtual void RemoveAllReferences();
    // -1 for an absent name.
    virtual std::int32_t GetReferenceId(const CTQString& name) const;
    // False (classType untouched) for an absent name.
    virtual bool GetReferenceResourceClassType(const CTQString& name, CTQString& classType);
    virtual std::int32_t GetNumReferences() const;
    virtual bool HasReferences() const;
    // Enumeration in name order; false when there is no (further) reference. The
    // cursor is opaque; adding or removing references restarts the enumeration.
    virtual bool GetFirstReference(CTQString& name, std::int32_t& id, CTQString& classType,
                                   std::int32_t& cursor) const;
    virtual bool GetNextReference(CTQString& name, std::int32_t& id, CTQString& classType,
                                  std::int32_t& cursor) const;
    virtual bool HasReference(const CTQString& name) const;

    // Dependencies: the ids of the resources that reference this one.
    virtual void AddDependency(std::int32_t id);
    virtual void RemoveDependency(std::int32_t id);
    virtual void RemoveAllDependencies();
    virtual std::int32_t GetNumDependencies() const;
    virtual bool HasDependencies() const;
    virtual bool DoesDependOn(std::int32_t id) const;
    // Enumeration in ascending id order, like the references'.
    virtual bool GetFirstDependency(std::int32_t& id, std::int32_t& cursor) const;
    virtual bool GetNextDependency(std::int32_t& id, std::int32_t& cursor) const;

    // The editor command object that handles resources of this class.
    virtual CTQString GetAssociatedCommandObjectNode() const;

    // Attributes: the property manager's operations of the same meaning. The
    // const operator[] and GetAttribute give an empty spare for a missing name.
    CTQProperty& operator[](const CTQString& name);
    CTQProperty& operator[](const CTQString& name) const;
    CTQProperty& GetAttribute(const CTQString& name);
    CTQProperty& GetAttribute(const CTQString& name) const;
    void SetAttribute(const CTQString& name, const CTQProperty& value);
    bool HasAttribute(const CTQString& name) const;
    bool RemoveAttribute(const CTQString& name);
    void RemoveAllAttributes();
    std::int32_t GetAttributeCount() const;
    bool GetFirstAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const;
    bool GetNextAttribute(CTQString& name, CTQProperty& value, std::int32_t& cursor) const;

protected:
    // Whether a record is being read whose dependency list is stored with it.
    bool IsLoading() const;

private:
    struct sReference
    {
        CTQString sName;
        std::int32_t nId;
        CTQString sClassType;
    };

    void BeginLoading();
    void EndLoading();
    bool ReadHeader(CFileIO* file, std::uint16_t& version);
    bool ReadReferences(CFileIO* file);
    bool ReadDependencies(CFileIO* file);
    std::vector<sReference>::iterator FindReference(const CTQString& name);
    std::vector<sReference>::const_iterator FindReference(const CTQString& name) const;
    bool RefersTo(std::int32_t targetId) const;
    bool CanLink(std::int32_t targetId) const;
    void LinkTo(std::int32_t targetId);
    void UnlinkFrom(std::int32_t targetId);

    CTQPropertyManager m_oAttributes;
    CTQString m_sName;
    CTQString m_sAssociatedClassType;
    // Invariant: sorted by name, names unique.
    std::vector<sReference> m_aReferences;
    // Invariant: ascending, ids unique.
    std::vector<std::int32_t> m_aDependencies;
    bool m_bSingleton = false;
    bool m_bLoading = false;
};

#pragma once

#include <Plinth/CTQProperty.h>
#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

#include <cstdint>
#include <utility>
#include <vector>

class CFileIO;
class CTQDataStream;

// Properties by name, kept in name order (byte-wise, as CTQString compares).
//
// The properties sit in one vector sorted by name, so lookups are binary searches
// and an enumeration cursor is simply an index: GetFirstProperty sets it to 0 and
// GetNextProperty advances it. Adding or removing properties while enumerating
// moves what the cursor points at.
//
// The attribute block (Save/Load and Serialize, the same layout in both):
//     int32 count
//     per property, in name order:
//         string name
//         int16  type (eTQPropertyType: 0 none, 1 integer, 2 number, 3 string)
//         value: int32 for an integer, float for a number, string for a string,
//                nothing for an empty property
// All little-endian; a string is a 32-bit length and its bytes (through a data
// stream a string that equals its string resource is -1 and the resource id).
class PLINTH_API CTQPropertyManager
{
public:
    CTQPropertyManager();
    ~CTQPropertyManager();
    CTQPropertyManager(const CTQPropertyManager& other);
    CTQPropertyManager& operator=(const CTQPropertyManager& other);
    CTQPropertyManager(CTQPropertyManager&& other) noexcept;
    CTQPropertyManager& operator=(CTQPropertyManager&& other) noexcept;

    // The property of that name, or null.
    CTQProperty* FindProperty(const CTQString& name);
    const CTQProperty* FindProperty(const CTQString& name) const;

    // The property of that name; a missing one is inserted empty.
    CTQProperty& operator[](const CTQString& name);
    // The property of that name; for a missing one, an empty property that is not
    // part of the manager (a per-thread spare, emptied again by every such call).
    CTQProperty& operator[](const CTQString& name) const;

    // Inserts or overwrites.
    void SetProperty(const CTQString& name, const CTQProperty& value);
    bool HasProperty(const CTQString& name) const;
    // False when there was no such property.
    bool RemoveProperty(const CTQString& name);
    void RemoveAllProperties();
    std::int32_t GetCount() const { return static_cast<std::int32_t>(m_aProperties.size()); }

    // Enumeration in name order; false (outputs untouched) when there is no
    // (further) property.
    bool GetFirstProperty(CTQString& name, CTQProperty& value, std::int32_t& cursor) const;
    bool GetNextProperty(CTQString& name, CTQProperty& value, std::int32_t& cursor) const;

    // The attribute block through CFileIO's typed operations. Load replaces the
    // content; it fails (false) on a null file, a short block, an unknown type code
    // or a count that the bytes left in the file could not hold, keeping the
    // properties read before the failure.
    bool Save(CFileIO* file) const;
    bool Load(CFileIO* file);

    // The same block through a data stream, in the stream's direction. Loading
    // replaces the content and fails like Load (the stream is then marked failed).
    bool Serialize(CTQDataStream& stream);

private:
    using Entry = std::pair<CTQString, CTQProperty>;

    std::vector<Entry>::iterator LowerBound(const CTQString& name);
    std::vector<Entry>::const_iterator LowerBound(const CTQString& name) const;

    // Invariant: sorted by name, names unique.
    std::vector<Entry> m_aProperties;
};

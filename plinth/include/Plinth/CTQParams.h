#pragma once

#include <Plinth/CTQProperty.h>
#include <Plinth/PlinthExport.h>

#include <cstdint>
#include <vector>

class CTQDataStream;

// Properties by index, in the order they were added: the parameters of a method
// invocation or of a modifier pass.
//
// Serialised form (Serialize):
//     int32 count
//     per parameter, in index order:
//         int16 type (eTQPropertyType: 0 none, 1 integer, 2 number, 3 string)
//         value: int32, float, string (32-bit length and bytes, or -1 and a
//                string-resource id), or nothing for an empty parameter
class PLINTH_API CTQParams
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    CTQParams();
    ~CTQParams();
    CTQParams(const CTQParams& other);
    CTQParams& operator=(const CTQParams& other);
    CTQParams(CTQParams&& other) noexcept;
    CTQParams& operator=(CTQParams&& other) noexcept;

    // The parameter at index. An index out of range is a caller's mistake: it is
    // logged and answered with an empty property that is not part of the list (a
    // per-thread spare, emptied again by every such call).
    CTQProperty& Get(int index);
    const CTQProperty& Get(int index) const;
    CTQProperty& operator[](std::int32_t index) { return Get(index); }
    const CTQProperty& operator[](std::int32_t index) const { return Get(index); }

    // Appends; returns the new parameter's index.
    int Add(const CTQProperty& value);
    // Removes the parameter at index, moving the later ones down; false when out of range.
    bool Remove(int index);
    void RemoveAll();
    int GetCount() const { return static_cast<int>(m_aParams.size()); }

    // Writes when the stream stores, reads when it loads. Loading replaces the
    // content; a count that the bytes left could not hold, a truncated value or an
    // unknown type code fail (false, the stream marked failed) with the parameters
    // read before the failure kept.
    bool Serialize(CTQDataStream& stream);

private:
    std::vector<CTQProperty> m_aParams;
};

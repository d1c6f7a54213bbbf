#pragma once

#include <Plinth/CFileIO.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQProperty.h>
#include <Plinth/CTQString.h>

#include <cstdint>

// The encoding of one property value, shared by the property manager and the
// parameter list: a 16-bit type code (eTQPropertyType), then the value: a 32-bit
// integer, a 32-bit float, a string, or nothing for an empty property.
//
// Through CFileIO the string is CFileIO's (32-bit length, bytes). Through a data
// stream it is the project's string field: 32-bit length and bytes, or -1 and a
// 32-bit string-resource id for a text that still equals its string resource.
namespace TQPropertyIO
{
// The fewest bytes an encoded value takes (an empty property: its type code).
constexpr std::uint32_t kMinValueSize = 2;
// The fewest bytes a string takes (its length).
constexpr std::uint32_t kMinStringSize = 4;

bool WriteValue(CFileIO& file, const CTQProperty& value);
// False for a truncated value or an unknown type code; value is then unchanged.
bool ReadValue(CFileIO& file, CTQProperty& value);

void WriteValue(CTQDataStream& stream, const CTQProperty& value);
// False (and the stream failed) for a truncated value or an unknown type code.
bool ReadValue(CTQDataStream& stream, CTQProperty& value);

void WriteString(CTQDataStream& stream, const CTQString& text);
bool ReadString(CTQDataStream& stream, CTQString& text);
} // namespace TQPropertyIO

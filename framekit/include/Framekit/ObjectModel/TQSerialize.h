#pragma once

// The serialisation conventions every class follows in its Serialize: one
// function serves both directions (the stream's mode decides), base parts and
// members go in versioned brackets, strings and arrays have fixed forms.

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQString.h>

#include <cstdint>
#include <type_traits>
#include <vector>

// Array tags: the first byte of an array field.
inline constexpr std::uint8_t kTQArrayTagKeys = 0x76;   // 'v'
inline constexpr std::uint8_t kTQArrayTagEvents = 0x4C; // 'L'

// Opens a bracket for a part whose class has the given version: writes it when
// storing, reads the stored one when loading. An unversioned class (0xFFFF) has
// no bracket; then the class's own version is returned.
FRAMEKIT_API int TQSerializeBegin(CTQDataStream& s, int classVersion);
FRAMEKIT_API void TQSerializeEnd(CTQDataStream& s, int classVersion);

// The base-class part: TQSerializeBase<CTQObject>(s, *this) from a derived
// class's Serialize. Returns the stored version (loading) or the written one.
template <class TBase, class TSelf>
int TQSerializeBase(CTQDataStream& s, TSelf& self)
{
    static_assert(std::is_base_of_v<TBase, TSelf>);
    const int version = TBase::GetDataFormatVersion();
    const int stored = TQSerializeBegin(s, version);
    self.TBase::Serialize(s);
    TQSerializeEnd(s, version);
    return stored;
}

// A member that is a serialisable class, in a bracket with its own version.
template <class T>
int TQSerializeMember(CTQDataStream& s, T& member)
{
    const int version = T::GetDataFormatVersion();
    const int stored = TQSerializeBegin(s, version);
    member.Serialize(s);
    TQSerializeEnd(s, version);
    return stored;
}

// A string field: a 32-bit length and its bytes without terminator; a string that
// still equals the text of its string resource is written as -1 and the 32-bit
// resource id, and reading -1 loads the text from that resource. A length that is
// negative or larger than the bytes left fails the stream and yields "".
FRAMEKIT_API bool TQSerializeString(CTQDataStream& s, CTQString& value);

// An array field: the one-byte tag, a 32-bit count, then each element in its own
// bracket with the element's version. Loading, a first byte other than the tag
// means that no elements follow; a count that the bytes left cannot hold fails
// the stream before anything is allocated. Elements read so far are kept.
template <class T>
bool TQSerializeArray(CTQDataStream& s, std::uint8_t tag, std::vector<T>& elements)
{
    if (s.IsStoring())
    {
        s.Write(tag);
        s.Write(static_cast<std::int32_t>(elements.size()));
        for (T& element : elements)
            TQSerializeMember(s, element);
        return true;
    }
    elements.clear();
    std::uint8_t storedTag = 0;
    if (!s.Read(storedTag) || storedTag != tag)
        return !s.IsFailed();
    std::int32_t count = 0;
    // Each element is at least its bracket's 8 bytes.
    if (!s.Read(count) || count < 0 || !s.CheckCount(static_cast<std::uint32_t>(count), 8))
    {
        s.SetFailed();
        return false;
    }
    elements.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count && !s.IsFailed(); ++i)
    {
        T element{};
        TQSerializeMember(s, element);
        if (s.IsFailed())
            break;
        elements.push_back(std::move(element));
    }
    return !s.IsFailed();
}

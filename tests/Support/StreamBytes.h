#pragma once

// Stored bytes for tests: what an object's Serialize writes, loading an object
// from given bytes, and a writer of little-endian values to build expected or
// damaged records by hand.

#include <Plinth/CTQDataStream.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace TestSupport
{
using Bytes = std::vector<std::uint8_t>;

// The bytes a stream holds.
inline Bytes BytesOf(const CTQDataStream& stream)
{
    return Bytes(stream.GetBuffer(), stream.GetBuffer() + stream.GetSize());
}

// A loading stream over the bytes.
inline CTQDataStream Loading(const Bytes& bytes)
{
    return CTQDataStream(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// Bytes written by an object's Serialize.
template <class T>
Bytes Store(T& object)
{
    CTQDataStream s(CTQDataStream::eStoring);
    object.Serialize(s);
    return BytesOf(s);
}

// Serialize run loading from the given bytes; whether the stream stayed sound.
template <class T>
bool Load(T& object, const Bytes& bytes)
{
    CTQDataStream s = Loading(bytes);
    object.Serialize(s);
    return !s.IsFailed();
}

// Little-endian values, as the data stream stores them.
class ByteWriter
{
public:
    ByteWriter& U8(std::uint8_t v)
    {
        m_aBytes.push_back(v);
        return *this;
    }
    ByteWriter& U16(std::uint16_t v) { return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8)); }
    ByteWriter& I32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        return U16(static_cast<std::uint16_t>(u)).U16(static_cast<std::uint16_t>(u >> 16));
    }
    ByteWriter& F32(float v)
    {
        std::int32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        return I32(bits);
    }
    ByteWriter& Bool(bool v) { return U8(v ? 1 : 0); }
    // A 32-bit length, then the bytes: the string form of CFileIO and the data stream.
    ByteWriter& Str(const std::string& text)
    {
        I32(static_cast<std::int32_t>(text.size()));
        m_aBytes.insert(m_aBytes.end(), text.begin(), text.end());
        return *this;
    }
    ByteWriter& Zeros(int count)
    {
        m_aBytes.insert(m_aBytes.end(), static_cast<std::size_t>(count), 0);
        return *this;
    }
    ByteWriter& Raw(const Bytes& bytes)
    {
        m_aBytes.insert(m_aBytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // A versioned bracket around what the callback writes.
    template <class TFn>
    ByteWriter& Bracket(std::int32_t version, TFn fn)
    {
        ByteWriter inner;
        fn(inner);
        I32(version).I32(static_cast<std::int32_t>(inner.m_aBytes.size()));
        return Raw(inner.m_aBytes);
    }
    // The CTQObject part of an object with this id and no resource, bracketed.
    ByteWriter& ObjectPart(std::int32_t id)
    {
        return Bracket(0x100, [id](ByteWriter& w) { w.I32(id).I32(-1); });
    }
    const Bytes& Get() const { return m_aBytes; }

private:
    Bytes m_aBytes;
};
} // namespace TestSupport

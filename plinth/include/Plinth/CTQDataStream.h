#pragma once

#include <Plinth/PlinthExport.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

class CTQString;

// A growable byte buffer with a position, written or read in one direction.
//
// Versioned blocks: SerializeBegin(version) writes the 32-bit version and a
// 32-bit byte length of the block's contents, filled in by SerializeEnd. Loading,
// SerializeBegin(-1) returns the stored version and SerializeEnd moves to the end
// of the block, so whatever a newer writer appended is skipped.
//
// Reading past the end of the data or of the innermost open block never touches
// memory outside the buffer: the missing bytes read as zeros and the stream is
// marked failed, which loaders test with IsFailed() and stop on.
class PLINTH_API CTQDataStream
{
public:
    enum : int
    {
        eLoading = 1,
        eStoring = 2,
    };
    static constexpr int kStoringFlag = 2;
    static constexpr int kMaxBlockDepth = 64;

    explicit CTQDataStream(int mode = eStoring);
    CTQDataStream(int mode, std::uint32_t capacity);
    // Loading from a copy of existing bytes.
    CTQDataStream(int mode, const void* data, std::uint32_t size);

    CTQDataStream(const CTQDataStream& other);
    CTQDataStream& operator=(const CTQDataStream& other);
    CTQDataStream(CTQDataStream&&) noexcept = default;
    CTQDataStream& operator=(CTQDataStream&&) noexcept = default;
    ~CTQDataStream();

    int GetFlags() const { return m_nFlags; }
    bool IsStoring() const { return (m_nFlags & kStoringFlag) != 0; }
    bool IsLoading() const { return !IsStoring(); }

    // Back to the start in the same mode; a storing stream drops what it held.
    void Rewind();
    // Back to the start in another mode, keeping the bytes (store, then read back).
    void Rewind(int mode);
    // Re-targets the stream onto a copy of other bytes, loading.
    void Rewind(const void* data, std::uint32_t size);

    // Raw bytes. Put grows the buffer; Get copies what is there and zero-fills
    // (and fails) for what is not.
    void Put(const void* data, std::uint32_t size);
    bool Get(void* data, std::uint32_t size);
    bool Skip(std::uint32_t size);

    // Little-endian typed values of their in-memory width.
    template <class T>
    void Write(T value);
    template <class T>
    bool Read(T& value);
    // One call for both directions: writes when storing, reads when loading.
    template <class T>
    bool Serialize(T& value);

    int SerializeBegin(int version);
    void SerializeEnd();
    int GetBlockDepth() const { return m_nDepth; }

    bool IsFailed() const { return m_bFailed; }
    void SetFailed() { m_bFailed = true; }
    void ClearFailed() { m_bFailed = false; }

    const std::uint8_t* GetBuffer() const { return m_aBytes.data(); }
    std::uint8_t* GetBuffer() { return m_aBytes.data(); }
    // Bytes held (written so far when storing, the whole input when loading).
    std::uint32_t GetSize() const { return static_cast<std::uint32_t>(CurrentSize()); }
    std::uint32_t GetPosition() const { return static_cast<std::uint32_t>(m_nPos); }
    bool SetPosition(std::uint32_t position);
    // Bytes that may still be read before the end of the data or of the open block.
    std::uint32_t GetRemaining() const { return static_cast<std::uint32_t>(Limit() - m_nPos); }
    // Whether count items of itemSize bytes each could still be read; fails the
    // stream when not, so absurd counts never reach an allocation.
    bool CheckCount(std::uint32_t count, std::uint32_t itemSize);

private:
    std::size_t Limit() const { return IsLoading() ? m_nReadEnd : CurrentSize(); }
    // Writes only move the position forward; the size catches up lazily.
    std::size_t CurrentSize() const { return IsStoring() ? (std::max)(m_nSize, m_nPos) : m_nSize; }
    void SyncSize() { m_nSize = CurrentSize(); }
    void ResetReadEnd() { m_nReadEnd = IsLoading() ? (m_nDepth > 0 ? m_aBlockEnds[m_nDepth - 1] : m_nSize) : 0; }
    void ResetWriteEnd() { m_nWriteEnd = IsStoring() ? m_aBytes.size() : 0; }
    void Grow(std::size_t needed);

    std::vector<std::uint8_t> m_aBytes;
    std::size_t m_nSize = 0;
    std::size_t m_nPos = 0;
    // Loading: where the data or the innermost open block ends. Storing: 0.
    std::size_t m_nReadEnd = 0;
    // Storing: the buffer's capacity. Loading: 0, so writes take the slow path and fail.
    std::size_t m_nWriteEnd = 0;
    int m_nFlags = eStoring;
    int m_nDepth = 0;
    bool m_bFailed = false;
    // Storing: where each open block's length field is. Loading: where each ends.
    std::size_t m_aBlockEnds[kMaxBlockDepth] = {};
};

namespace TQDetail
{
template <class T>
inline T ByteSwap(T value)
{
    if constexpr (sizeof(T) == 1)
        return value;
    else
    {
        std::uint8_t b[sizeof(T)];
        std::memcpy(b, &value, sizeof(T));
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i)
        {
            std::uint8_t t = b[i];
            b[i] = b[sizeof(T) - 1 - i];
            b[sizeof(T) - 1 - i] = t;
        }
        std::memcpy(&value, b, sizeof(T));
        return value;
    }
}

template <class T>
inline T ToLittleEndian(T value)
{
    if constexpr (std::endian::native == std::endian::little)
        return value;
    else
        return ByteSwap(value);
}
} // namespace TQDetail

template <class T>
inline void CTQDataStream::Write(T value)
{
    static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>, "Write takes numbers; strings have their own form");
    if constexpr (std::is_same_v<T, bool>)
    {
        std::uint8_t byte = value ? 1 : 0;
        Put(&byte, 1);
    }
    else
    {
        T le = TQDetail::ToLittleEndian(value);
        // Fast path: room already there, so a small record costs one copy.
        if (m_nPos + sizeof(T) <= m_nWriteEnd)
        {
            std::memcpy(m_aBytes.data() + m_nPos, &le, sizeof(T));
            m_nPos += sizeof(T);
        }
        else
            Put(&le, sizeof(T));
    }
}

template <class T>
inline bool CTQDataStream::Read(T& value)
{
    static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>, "Read takes numbers; strings have their own form");
    if constexpr (std::is_same_v<T, bool>)
    {
        std::uint8_t byte = 0;
        bool ok = Get(&byte, 1);
        value = byte != 0;
        return ok;
    }
    else
    {
        if (m_nPos + sizeof(T) <= m_nReadEnd)
        {
            std::memcpy(&value, m_aBytes.data() + m_nPos, sizeof(T));
            m_nPos += sizeof(T);
            value = TQDetail::ToLittleEndian(value);
            return true;
        }
        bool ok = Get(&value, sizeof(T));
        value = TQDetail::ToLittleEndian(value);
        return ok;
    }
}

template <class T>
inline bool CTQDataStream::Serialize(T& value)
{
    if (IsStoring())
    {
        Write(value);
        return true;
    }
    return Read(value);
}

// Brackets are on every record's path, so they stay inline.
inline int CTQDataStream::SerializeBegin(int version)
{
    if (m_nDepth >= kMaxBlockDepth)
    {
        m_bFailed = true;
        return -1;
    }
    if (IsStoring())
    {
        Write<std::int32_t>(version);
        m_aBlockEnds[m_nDepth++] = m_nPos;
        Write<std::uint32_t>(0);
        return version;
    }
    std::int32_t stored = -1;
    std::uint32_t length = 0;
    bool ok = Read(stored) && Read(length);
    std::size_t limit = Limit();
    std::size_t end = m_nPos + length;
    if (!ok || end > limit)
    {
        // A block that claims more than there is: everything in it reads as
        // missing, and closing it lands at the end of what encloses it.
        m_bFailed = true;
        end = limit;
    }
    m_aBlockEnds[m_nDepth++] = end;
    m_nReadEnd = end;
    return ok ? stored : -1;
}

inline void CTQDataStream::SerializeEnd()
{
    if (m_nDepth == 0)
    {
        m_bFailed = true;
        return;
    }
    std::size_t mark = m_aBlockEnds[--m_nDepth];
    if (IsStoring())
    {
        std::uint32_t length = static_cast<std::uint32_t>(m_nPos - mark - sizeof(std::uint32_t));
        std::uint32_t le = TQDetail::ToLittleEndian(length);
        std::memcpy(m_aBytes.data() + mark, &le, sizeof(le));
        return;
    }
    m_nPos = mark;
    ResetReadEnd();
}

#pragma once

#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace GameTimeTest
{
using Bytes = std::vector<std::uint8_t>;

inline Bytes StoredBytes(const CTQDataStream& s)
{
    return Bytes(s.GetBuffer(), s.GetBuffer() + s.GetSize());
}

inline CTQDataStream LoadingFrom(const Bytes& bytes)
{
    return CTQDataStream(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// Little-endian pieces for writing expected records by hand.
inline void Append32(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void AppendFloat(Bytes& bytes, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    Append32(bytes, bits);
}

// A versioned bracket header: version 0x100 and the length of what follows.
inline void AppendBracket(Bytes& bytes, std::uint32_t length)
{
    Append32(bytes, 0x100);
    Append32(bytes, length);
}

// Counts the warnings logged while it lives.
class CWarningCounter
{
public:
    CWarningCounter() { m_pfnPrevious = TQSetLogSink(&Count, this); }
    ~CWarningCounter() { TQSetLogSink(m_pfnPrevious); }
    CWarningCounter(const CWarningCounter&) = delete;
    CWarningCounter& operator=(const CWarningCounter&) = delete;

    int Get() const { return m_nWarnings; }

private:
    static void Count(const TQLogMessage& message, void* user)
    {
        if (message.kind == eTQLogKind::Warning)
            ++static_cast<CWarningCounter*>(user)->m_nWarnings;
    }

    PFN_TQLogSink m_pfnPrevious = nullptr;
    int m_nWarnings = 0;
};
} // namespace GameTimeTest

#pragma once

#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include "Plinth/CapturingLogSink.h"

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
    int Get() const
    {
        int warnings = 0;
        for (const CapturingLogSink::Entry& entry : m_oSink.Entries())
            warnings += entry.kind == eTQLogKind::Warning ? 1 : 0;
        return warnings;
    }

private:
    CapturingLogSink m_oSink;
};
} // namespace GameTimeTest

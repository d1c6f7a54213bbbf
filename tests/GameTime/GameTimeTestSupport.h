#pragma once

#include <Plinth/Log.h>

#include "Plinth/CapturingLogSink.h"
#include "Support/StreamBytes.h"

#include <cstdint>
#include <vector>

namespace GameTimeTest
{
using TestSupport::Bytes;

using TestSupport::ByteWriter;
// The bytes a stream holds, and a loading stream over given bytes.
inline constexpr auto& StoredBytes = TestSupport::BytesOf;
inline constexpr auto& LoadingFrom = TestSupport::Loading;

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

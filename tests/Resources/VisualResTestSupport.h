#pragma once

// Helpers shared by the 3D visual resource tests: scratch files, stored bytes
// built by hand, and a log sink that keeps the warnings.

#include "Plinth/CapturingLogSink.h"
#include "ResourceTestSupport.h"
#include "Support/StreamBytes.h"
#include "Support/TempPath.h"

#include <cstdint>
#include <string>
#include <vector>

namespace VisualResTest
{
using TestSupport::Bytes;
using TestSupport::ByteWriter;
using TestSupport::TempPath;

// The record of a resource with the given id and name and nothing else: no
// associated class, not a singleton, no attributes, references or dependencies.
inline Bytes BareResourceRecord(std::int32_t id, const std::string& name)
{
    return ByteWriter().U16(0).U16(2).I32(id).Str(name).Str("").Bool(false).I32(0).I32(0).I32(0).Get();
}

// Keeps every warning text while it lives.
using WarningCapture = CapturingLogSink;
} // namespace VisualResTest

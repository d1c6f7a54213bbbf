#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Numbers as text, independent of the C locale: what FormatFloat writes,
// ParseFloat reads back bit for bit. Used by the file reader's text values and
// by property conversions.
namespace TQNumberText
{
// Blanks, tabs and line ends around a value are not part of it.
std::string_view Trim(std::string_view text);

// The whole (trimmed) text must be one number; a leading '+' is accepted.
// Integers out of the 32-bit range fail rather than wrap.
bool ParseInt32(std::string_view text, std::int32_t& value);
bool ParseFloat(std::string_view text, float& value);
bool ParseDouble(std::string_view text, double& value);

// Shortest text that reads back to the same value.
std::string FormatFloat(float value);
std::string FormatInt32(std::int32_t value);
} // namespace TQNumberText

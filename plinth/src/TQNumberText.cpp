#include "TQNumberText.h"

#include <charconv>
#include <system_error>
#include <type_traits>

namespace TQNumberText
{
namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// from_chars takes no '+'; a sign followed by another sign is still refused.
std::string_view StripPlus(std::string_view text)
{
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

template <class T>
bool ParseWhole(std::string_view text, T& value)
{
    text = StripPlus(Trim(text));
    if (text.empty())
        return false;
    T parsed{};
    const char* end = text.data() + text.size();
    std::from_chars_result r;
    if constexpr (std::is_floating_point_v<T>)
        r = std::from_chars(text.data(), end, parsed, std::chars_format::general);
    else
        r = std::from_chars(text.data(), end, parsed, 10);
    if (r.ec != std::errc() || r.ptr != end)
        return false;
    value = parsed;
    return true;
}
} // namespace

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ParseInt32(std::string_view text, std::int32_t& value)
{
    return ParseWhole(text, value);
}

bool ParseFloat(std::string_view text, float& value)
{
    return ParseWhole(text, value);
}

bool ParseDouble(std::string_view text, double& value)
{
    return ParseWhole(text, value);
}

std::string FormatFloat(float value)
{
    char buffer[64];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

std::string FormatInt32(std::int32_t value)
{
    char buffer[16];
    std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}
} // namespace TQNumberText

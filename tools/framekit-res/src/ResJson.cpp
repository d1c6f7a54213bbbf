#include "ResJson.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace ResJson
{
Json FloatToJson(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    // The shortest text of the float reads back as the same float; read as a
    // double it does too, except in rare double-rounding cases, where the exact
    // double of the float is written instead.
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    *result.ptr = '\0';
    const double shortest = std::strtod(text, nullptr);
    return static_cast<float>(shortest) == value ? shortest : static_cast<double>(value);
}

bool FloatFromJson(const Json& value, float& out)
{
    if (value.is_string())
    {
        const std::string& text = value.get_ref<const std::string&>();
        if (text == "nan")
            out = std::numeric_limits<float>::quiet_NaN();
        else if (text == "inf")
            out = std::numeric_limits<float>::infinity();
        else if (text == "-inf")
            out = -std::numeric_limits<float>::infinity();
        else
            return false;
        return true;
    }
    if (!value.is_number())
        return false;
    const double number = value.get<double>();
    const auto narrowed = static_cast<float>(number);
    if (!std::isfinite(narrowed))
        return false;
    out = narrowed;
    return true;
}

bool Int32FromJson(const Json& value, std::int32_t& out)
{
    if (value.is_number_unsigned())
    {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
            return false;
        out = static_cast<std::int32_t>(number);
        return true;
    }
    if (!value.is_number_integer())
        return false;
    const auto number = value.get<std::int64_t>();
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        return false;
    out = static_cast<std::int32_t>(number);
    return true;
}

Json AttributeToJson(const CTQProperty& value)
{
    Json out = Json::object();
    switch (value.GetType())
    {
    case eTQPropertyType::Integer:
        out["int"] = value.GetInt();
        break;
    case eTQPropertyType::Number:
        out["float"] = FloatToJson(value.GetFloat());
        break;
    case eTQPropertyType::String:
        out["string"] = value.GetString().str();
        break;
    case eTQPropertyType::None:
        out["none"] = nullptr;
        break;
    }
    return out;
}

bool AttributeFromJson(const Json& value, CTQProperty& out, std::string& error)
{
    if (!value.is_object() || value.size() != 1)
    {
        error = R"(is not an object with one key naming its type, such as {"int": 3})";
        return false;
    }
    const std::string& type = value.begin().key();
    const Json& content = value.begin().value();
    if (type == "int")
    {
        std::int32_t number = 0;
        if (!Int32FromJson(content, number))
        {
            error = "is not an integer that fits 32 bits";
            return false;
        }
        out.SetInt(number);
    }
    else if (type == "float")
    {
        float number = 0;
        if (!FloatFromJson(content, number))
        {
            error = R"(is not a number that fits a float, nor "nan", "inf" or "-inf")";
            return false;
        }
        out.SetFloat(number);
    }
    else if (type == "string")
    {
        if (!content.is_string())
        {
            error = "is not a string";
            return false;
        }
        out.SetString(content.get<std::string>());
    }
    else if (type == "bool")
    {
        if (!content.is_boolean())
        {
            error = "is not true or false";
            return false;
        }
        out.SetBool(content.get<bool>());
    }
    else if (type == "none")
    {
        if (!content.is_null())
        {
            error = "of type none must be null";
            return false;
        }
        out.Clear();
    }
    else
    {
        error = "has the unknown type '" + type + "' (int, float, string, bool or none)";
        return false;
    }
    return true;
}

namespace
{
constexpr std::size_t kInlineWidth = 72;

std::string Scalar(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool HoldsOnlyScalars(const Json& value)
{
    for (const Json& item : value)
    {
        if (item.is_structured())
            return false;
    }
    return true;
}

std::string Inline(const Json& value)
{
    std::string text(1, value.is_object() ? '{' : '[');
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it)
    {
        text += first ? "" : ", ";
        first = false;
        if (value.is_object())
            text += Scalar(Json(it.key())) + ": ";
        text += Scalar(it.value());
    }
    return text + (value.is_object() ? '}' : ']');
}

void PrintTo(const Json& value, int depth, std::string& out)
{
    if (!value.is_structured())
    {
        out += Scalar(value);
        return;
    }
    if (value.empty() || HoldsOnlyScalars(value))
    {
        const std::string line = Inline(value);
        if (line.size() <= kInlineWidth)
        {
            out += line;
            return;
        }
    }
    const std::string indent(static_cast<std::size_t>(depth + 1) * 2, ' ');
    out += value.is_object() ? "{\n" : "[\n";
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it)
    {
        out += first ? "" : ",\n";
        first = false;
        out += indent;
        if (value.is_object())
            out += Scalar(Json(it.key())) + ": ";
        PrintTo(it.value(), depth + 1, out);
    }
    out += "\n" + std::string(static_cast<std::size_t>(depth) * 2, ' ') + (value.is_object() ? '}' : ']');
}
} // namespace

std::string Print(const Json& value)
{
    std::string out;
    PrintTo(value, 0, out);
    return out + "\n";
}
} // namespace ResJson

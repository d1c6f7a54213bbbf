#include "TQPropertyIO.h"

namespace TQPropertyIO
{
namespace
{
constexpr std::int32_t kStringResourceMarker = -1;

bool IsKnownType(std::int16_t code)
{
    return code >= static_cast<std::int16_t>(eTQPropertyType::None) &&
           code <= static_cast<std::int16_t>(eTQPropertyType::String);
}
} // namespace

bool WriteValue(CFileIO& file, const CTQProperty& value)
{
    if (!file.WriteInt16(static_cast<std::int16_t>(value.GetType())))
        return false;
    switch (value.GetType())
    {
    case eTQPropertyType::Integer:
        return file.WriteInt32(value.GetInt());
    case eTQPropertyType::Number:
        return file.WriteFloat(value.GetFloat());
    case eTQPropertyType::String:
        return file.WriteString(value.GetString());
    case eTQPropertyType::None:
        break;
    }
    return true;
}

bool ReadValue(CFileIO& file, CTQProperty& value)
{
    std::int16_t code = 0;
    if (!file.ReadInt16(code) || !IsKnownType(code))
        return false;
    switch (static_cast<eTQPropertyType>(code))
    {
    case eTQPropertyType::Integer:
    {
        std::int32_t number = 0;
        if (!file.ReadInt32(number))
            return false;
        value.SetInt(number);
        return true;
    }
    case eTQPropertyType::Number:
    {
        float number = 0.0f;
        if (!file.ReadFloat(number))
            return false;
        value.SetFloat(number);
        return true;
    }
    case eTQPropertyType::String:
    {
        CTQString text;
        if (!file.ReadString(text))
            return false;
        value.SetString(text);
        return true;
    }
    case eTQPropertyType::None:
        break;
    }
    value.Clear();
    return true;
}

void WriteString(CTQDataStream& stream, const CTQString& text)
{
    if (text.IsIdenticalToStringResource())
    {
        stream.Write(kStringResourceMarker);
        stream.Write(text.GetStringResourceId());
        return;
    }
    stream.Write(static_cast<std::int32_t>(text.GetLength()));
    stream.Put(text.GetString(), static_cast<std::uint32_t>(text.GetLength()));
}

bool ReadString(CTQDataStream& stream, CTQString& text)
{
    std::int32_t length = 0;
    if (!stream.Read(length))
        return false;
    if (length == kStringResourceMarker)
    {
        std::int32_t id = -1;
        if (!stream.Read(id))
            return false;
        CTQString loaded;
        // A resource that cannot be loaded leaves the text empty but remembers its id.
        if (!loaded.LoadStringResource(id))
            loaded.SetStringResourceId(id);
        text = loaded;
        return true;
    }
    if (length < 0 || !stream.CheckCount(static_cast<std::uint32_t>(length), 1))
    {
        stream.SetFailed();
        return false;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (!stream.Get(bytes.data(), static_cast<std::uint32_t>(length)))
        return false;
    text = CTQString(std::move(bytes));
    return true;
}

void WriteValue(CTQDataStream& stream, const CTQProperty& value)
{
    stream.Write(static_cast<std::int16_t>(value.GetType()));
    switch (value.GetType())
    {
    case eTQPropertyType::Integer:
        stream.Write(value.GetInt());
        break;
    case eTQPropertyType::Number:
        stream.Write(value.GetFloat());
        break;
    case eTQPropertyType::String:
        WriteString(stream, value.GetString());
        break;
    case eTQPropertyType::None:
        break;
    }
}

bool ReadValue(CTQDataStream& stream, CTQProperty& value)
{
    std::int16_t code = 0;
    if (!stream.Read(code))
        return false;
    if (!IsKnownType(code))
    {
        stream.SetFailed();
        return false;
    }
    switch (static_cast<eTQPropertyType>(code))
    {
    case eTQPropertyType::Integer:
    {
        std::int32_t number = 0;
        if (!stream.Read(number))
            return false;
        value.SetInt(number);
        return true;
    }
    case eTQPropertyType::Number:
    {
        float number = 0.0f;
        if (!stream.Read(number))
            return false;
        value.SetFloat(number);
        return true;
    }
    case eTQPropertyType::String:
    {
        CTQString text;
        if (!ReadString(stream, text))
            return false;
        value.SetString(text);
        return true;
    }
    case eTQPropertyType::None:
        break;
    }
    value.Clear();
    return true;
}
} // namespace TQPropertyIO

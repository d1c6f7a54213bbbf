#include <Plinth/CTQProperty.h>

#include "TQNumberText.h"

#include <cmath>
#include <limits>

namespace
{
// Truncates toward zero into the 32-bit range; NaN has no integer and gives 0.
std::int32_t ClampToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

bool ParseBoolWord(const CTQString& text, bool& value)
{
    std::string_view word = TQNumberText::Trim(text.view());
    CTQString lower(word);
    lower.MakeLower();
    if (lower == "true")
        value = true;
    else if (lower == "false")
        value = false;
    else
        return false;
    return true;
}
} // namespace

void CTQProperty::SetInt(std::int32_t value)
{
    m_eType = eTQPropertyType::Integer;
    m_nInt = value;
    m_sText = TQNumberText::FormatInt32(value);
}

void CTQProperty::SetFloat(float value)
{
    m_eType = eTQPropertyType::Number;
    m_fNumber = value;
    m_sText = TQNumberText::FormatFloat(value);
}

void CTQProperty::SetString(const CTQString& value)
{
    m_eType = eTQPropertyType::String;
    m_nInt = 0;
    m_sText = value;
}

void CTQProperty::Clear()
{
    m_eType = eTQPropertyType::None;
    m_nInt = 0;
    m_sText.Empty();
}

std::int32_t CTQProperty::GetInt() const
{
    switch (m_eType)
    {
    case eTQPropertyType::Integer:
        return m_nInt;
    case eTQPropertyType::Number:
        return ClampToInt32(m_fNumber);
    case eTQPropertyType::String:
    {
        std::int32_t whole = 0;
        if (TQNumberText::ParseInt32(m_sText.view(), whole))
            return whole;
        double number = 0.0;
        return TQNumberText::ParseDouble(m_sText.view(), number) ? ClampToInt32(number) : 0;
    }
    case eTQPropertyType::None:
        break;
    }
    return 0;
}

float CTQProperty::GetFloat() const
{
    switch (m_eType)
    {
    case eTQPropertyType::Integer:
        return static_cast<float>(m_nInt);
    case eTQPropertyType::Number:
        return m_fNumber;
    case eTQPropertyType::String:
    {
        float number = 0.0f;
        return TQNumberText::ParseFloat(m_sText.view(), number) ? number : 0.0f;
    }
    case eTQPropertyType::None:
        break;
    }
    return 0.0f;
}

bool CTQProperty::GetBool() const
{
    switch (m_eType)
    {
    case eTQPropertyType::Integer:
        return m_nInt != 0;
    case eTQPropertyType::Number:
        return m_fNumber != 0.0f;
    case eTQPropertyType::String:
    {
        bool word = false;
        if (ParseBoolWord(m_sText, word))
            return word;
        double number = 0.0;
        return TQNumberText::ParseDouble(m_sText.view(), number) && number != 0.0;
    }
    case eTQPropertyType::None:
        break;
    }
    return false;
}

bool CTQProperty::operator==(const CTQProperty& other) const
{
    bool numeric = m_eType == eTQPropertyType::Integer || m_eType == eTQPropertyType::Number;
    bool otherNumeric = other.m_eType == eTQPropertyType::Integer || other.m_eType == eTQPropertyType::Number;
    if (numeric && otherNumeric)
    {
        if (m_eType == eTQPropertyType::Integer && other.m_eType == eTQPropertyType::Integer)
            return m_nInt == other.m_nInt;
        // Every 32-bit integer and every float is exact as a double.
        // (Each branch is widened on its own: `int : float` would round the integer to float.)
        double a = m_eType == eTQPropertyType::Integer ? static_cast<double>(m_nInt) : static_cast<double>(m_fNumber);
        double b = other.m_eType == eTQPropertyType::Integer ? static_cast<double>(other.m_nInt)
                                                             : static_cast<double>(other.m_fNumber);
        return a == b;
    }
    if (m_eType != other.m_eType)
        return false;
    return m_eType == eTQPropertyType::None || m_sText.view() == other.m_sText.view();
}

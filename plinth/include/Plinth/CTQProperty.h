#pragma once

#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

// The kinds of value a property holds. The numbers are stored in files and
// streams (as 16 bits) and must not change.
enum class eTQPropertyType : int
{
    None = 0,    // empty: no value
    Integer = 1, // 32-bit signed integer; booleans are stored as 0 or 1
    Number = 2,  // 32-bit float
    String = 3,  // text
};

// A typed value: an integer, a number, a string, or nothing.
//
// Every accessor answers for every kind, converting where it makes sense:
// - GetInt: an integer as it is; a number truncated toward zero (clamped to the
//   32-bit range, NaN gives 0); a string parsed as a number ("12", "-3", "2.5"
//   gives 2), 0 when it is not one; nothing gives 0.
// - GetFloat: likewise, as a float.
// - GetBool: a number other than 0; a string "true"/"false" (any case) or a
//   number; nothing gives false.
// - GetString: a string as it is; an integer or a number as text that parses back
//   to the same value ("42", "0.1"); nothing gives "".
//
// So that `int n = res["nPatchesX"];` works, the property converts implicitly to
// int, float, bool (and any other arithmetic type) and to const CTQString&.
class PLINTH_API CTQProperty
{
public:
    CTQProperty() = default;
    CTQProperty(bool value) { SetBool(value); }
    // Any other integer type is stored as a 32-bit integer (cast; wider values wrap).
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    CTQProperty(T value)
    {
        SetInt(static_cast<std::int32_t>(value));
    }
    // Any floating-point type is stored as a float.
    template <std::floating_point T>
    CTQProperty(T value)
    {
        SetFloat(static_cast<float>(value));
    }
    CTQProperty(const char* value) { SetString(CTQString(value)); }
    CTQProperty(const CTQString& value) { SetString(value); }
    CTQProperty(const std::string& value) { SetString(CTQString(value)); }

    eTQPropertyType GetType() const { return m_eType; }
    bool IsEmpty() const { return m_eType == eTQPropertyType::None; }
    bool IsInteger() const { return m_eType == eTQPropertyType::Integer; }
    bool IsNumber() const { return m_eType == eTQPropertyType::Number; }
    bool IsString() const { return m_eType == eTQPropertyType::String; }

    void SetInt(std::int32_t value);
    void SetFloat(float value);
    void SetBool(bool value) { SetInt(value ? 1 : 0); }
    void SetString(const CTQString& value);
    // Back to no value.
    void Clear();

    std::int32_t GetInt() const;
    float GetFloat() const;
    bool GetBool() const;
    // The reference stays valid until the property is changed or destroyed.
    const CTQString& GetString() const { return m_sText; }

    // To any arithmetic type: bool through GetBool, integers through GetInt (then
    // cast), floating-point types through GetFloat. One template rather than an
    // operator per type, so that `long n = p;` or `double d = p;` is not ambiguous.
    template <class T>
        requires std::is_arithmetic_v<T>
    operator T() const
    {
        if constexpr (std::is_same_v<T, bool>)
            return GetBool();
        else if constexpr (std::is_integral_v<T>)
            return static_cast<T>(GetInt());
        else
            return static_cast<T>(GetFloat());
    }
    operator const CTQString&() const { return GetString(); }

    // Equal when both are empty, both strings with the same bytes, or both numeric
    // (integer or number) with the same numeric value: Integer 3 equals Number 3.0.
    // Different kinds are otherwise unequal.
    bool operator==(const CTQProperty& other) const;
    // Comparisons with plain values compare with the property made from them; they
    // exist so that `p == 3` does not have to choose between converting p and 3.
    template <class T>
        requires std::is_arithmetic_v<T>
    bool operator==(T value) const
    {
        return *this == CTQProperty(value);
    }
    bool operator==(const char* value) const { return *this == CTQProperty(value); }
    bool operator==(const CTQString& value) const { return *this == CTQProperty(value); }

private:
    eTQPropertyType m_eType = eTQPropertyType::None;
    union
    {
        std::int32_t m_nInt = 0;
        float m_fNumber;
    };
    // The string value, or the text of the number, kept with it so that
    // GetString() can hand out a reference for every kind.
    CTQString m_sText;
};

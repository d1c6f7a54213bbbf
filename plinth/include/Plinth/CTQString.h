#pragma once

#include <Plinth/PlinthExport.h>

#include <cstdint>
#include <string>
#include <string_view>

// A text that may stand for a string resource: a string loaded with
// LoadStringResource() remembers the resource id, and serialisers write the id
// instead of the text while IsIdenticalToStringResource() holds.
class PLINTH_API CTQString
{
public:
    // Installed by the string database; both are null until one exists.
    using PFN_LoadString = bool (*)(std::int32_t id, CTQString& outText);
    using PFN_IsStringIdentical = bool (*)(std::int32_t id, const CTQString& text);
    static PFN_LoadString s_pfnLoadString;
    static PFN_IsStringIdentical s_pfnIsStringIdentical;

    CTQString() = default;
    CTQString(const char* text);
    CTQString(const char* text, int length);
    CTQString(std::string_view text);
    CTQString(const std::string& text);
    CTQString(std::string&& text) noexcept;

    CTQString& operator=(const char* text);
    CTQString& operator=(std::string_view text);
    CTQString& operator=(const std::string& text) { return *this = std::string_view(text); }

    // Raw access. The pointer is never null: an empty string yields "".
    const char* GetString() const { return m_sText.c_str(); }
    const char* c_str() const { return m_sText.c_str(); }
    operator const char*() const { return m_sText.c_str(); }
    const std::string& str() const { return m_sText; }
    std::string_view view() const { return m_sText; }

    int GetLength() const { return static_cast<int>(m_sText.size()); }
    bool IsEmpty() const { return m_sText.empty(); }
    void Empty();
    char GetAt(int index) const;
    void SetAt(int index, char ch);

    // Byte-wise comparison; negative, zero or positive. A null text counts as empty.
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    // printf-style formatting; replaces the text.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Writable buffer of at least minLength bytes plus a terminator; ReleaseBuffer
    // takes the length (-1: up to the first terminator).
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    CTQString Mid(int first, int count = -1) const;
    CTQString Left(int count) const;
    CTQString Right(int count) const;
    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char ch) const;
    int ToInt() const;
    float ToFloat() const;
    void MakeLower();
    void MakeUpper();
    void TrimLeft();
    void TrimRight();
    void Replace(char from, char to);

    CTQString& operator+=(const CTQString& other);
    CTQString& operator+=(const char* text);
    CTQString& operator+=(char ch);

    // String resources.
    bool LoadStringResource(std::int32_t id);
    bool IsIdenticalToStringResource() const;
    std::int32_t GetStringResourceId() const { return m_nStringResourceId; }
    void SetStringResourceId(std::int32_t id) { m_nStringResourceId = id; }

    friend bool operator==(const CTQString& a, const CTQString& b) { return a.m_sText == b.m_sText; }
    friend bool operator==(const CTQString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator<(const CTQString& a, const CTQString& b) { return a.m_sText < b.m_sText; }
    friend PLINTH_API CTQString operator+(const CTQString& a, const CTQString& b);
    friend PLINTH_API CTQString operator+(const CTQString& a, const char* b);
    friend PLINTH_API CTQString operator+(const char* a, const CTQString& b);

private:
    std::string m_sText;
    std::int32_t m_nStringResourceId = -1;
};

// Strict weak ordering by bytes, for ordered maps keyed by name.
struct CTQStringLess
{
    using is_transparent = void;
    bool operator()(const CTQString& a, const CTQString& b) const { return a.view() < b.view(); }
    bool operator()(const CTQString& a, std::string_view b) const { return a.view() < b; }
    bool operator()(std::string_view a, const CTQString& b) const { return a < b.view(); }
};

template <>
struct std::hash<CTQString>
{
    std::size_t operator()(const CTQString& s) const noexcept { return std::hash<std::string_view>{}(s.view()); }
};

#include <Plinth/CTQString.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CTQString::PFN_LoadString CTQString::s_pfnLoadString = nullptr;
CTQString::PFN_IsStringIdentical CTQString::s_pfnIsStringIdentical = nullptr;

CTQString::CTQString(const char* text) : m_sText(text ? text : "") {}

CTQString::CTQString(const char* text, int length)
{
    if (text && length > 0)
        m_sText.assign(text, static_cast<std::size_t>(length));
}

CTQString::CTQString(std::string_view text) : m_sText(text) {}

CTQString::CTQString(const std::string& text) : m_sText(text) {}

CTQString::CTQString(std::string&& text) noexcept : m_sText(std::move(text)) {}

CTQString& CTQString::operator=(const char* text)
{
    m_sText = text ? text : "";
    m_nStringResourceId = -1;
    return *this;
}

CTQString& CTQString::operator=(std::string_view text)
{
    m_sText = text;
    m_nStringResourceId = -1;
    return *this;
}

void CTQString::Empty()
{
    m_sText.clear();
    m_nStringResourceId = -1;
}

char CTQString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        return '\0';
    return m_sText[static_cast<std::size_t>(index)];
}

void CTQString::SetAt(int index, char ch)
{
    if (index >= 0 && index < GetLength())
        m_sText[static_cast<std::size_t>(index)] = ch;
}

int CTQString::Compare(const char* text) const
{
    std::string_view other = text ? std::string_view(text) : std::string_view();
    int c = view().compare(other);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CTQString::CompareNoCase(const char* text) const
{
    const char* a = m_sText.c_str();
    const char* b = text ? text : "";
    for (;; ++a, ++b)
    {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

void CTQString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0)
    {
        m_sText.clear();
    }
    else
    {
        m_sText.resize(static_cast<std::size_t>(needed));
        std::vsnprintf(m_sText.data(), m_sText.size() + 1, format, args);
    }
    va_end(args);
    m_nStringResourceId = -1;
}

char* CTQString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_sText.resize(static_cast<std::size_t>(minLength));
    return m_sText.data();
}

void CTQString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::strlen(m_sText.c_str()));
    if (newLength <= GetLength())
        m_sText.resize(static_cast<std::size_t>(newLength));
}

CTQString CTQString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength() || count == 0)
        return CTQString();
    std::size_t n = count < 0 ? std::string::npos : static_cast<std::size_t>(count);
    return CTQString(m_sText.substr(static_cast<std::size_t>(first), n));
}

CTQString CTQString::Left(int count) const
{
    return count <= 0 ? CTQString() : Mid(0, count);
}

CTQString CTQString::Right(int count) const
{
    if (count <= 0)
        return CTQString();
    int first = std::max(0, GetLength() - count);
    return Mid(first);
}

int CTQString::Find(char ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    std::size_t at = m_sText.find(ch, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CTQString::Find(const char* text, int start) const
{
    if (!text || start < 0 || start > GetLength())
        return -1;
    std::size_t at = m_sText.find(text, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CTQString::ReverseFind(char ch) const
{
    std::size_t at = m_sText.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CTQString::ToInt() const
{
    return static_cast<int>(std::strtol(m_sText.c_str(), nullptr, 10));
}

float CTQString::ToFloat() const
{
    return std::strtof(m_sText.c_str(), nullptr);
}

void CTQString::MakeLower()
{
    for (char& c : m_sText)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void CTQString::MakeUpper()
{
    for (char& c : m_sText)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void CTQString::TrimLeft()
{
    std::size_t i = 0;
    while (i < m_sText.size() && std::isspace(static_cast<unsigned char>(m_sText[i])))
        ++i;
    m_sText.erase(0, i);
}

void CTQString::TrimRight()
{
    while (!m_sText.empty() && std::isspace(static_cast<unsigned char>(m_sText.back())))
        m_sText.pop_back();
}

void CTQString::Replace(char from, char to)
{
    std::replace(m_sText.begin(), m_sText.end(), from, to);
}

CTQString& CTQString::operator+=(const CTQString& other)
{
    m_sText += other.m_sText;
    return *this;
}

CTQString& CTQString::operator+=(const char* text)
{
    if (text)
        m_sText += text;
    return *this;
}

CTQString& CTQString::operator+=(char ch)
{
    m_sText += ch;
    return *this;
}

bool CTQString::LoadStringResource(std::int32_t id)
{
    if (!s_pfnLoadString || !s_pfnLoadString(id, *this))
        return false;
    m_nStringResourceId = id;
    return true;
}

bool CTQString::IsIdenticalToStringResource() const
{
    return m_nStringResourceId != -1 && s_pfnIsStringIdentical && s_pfnIsStringIdentical(m_nStringResourceId, *this);
}

CTQString operator+(const CTQString& a, const CTQString& b)
{
    return CTQString(a.m_sText + b.m_sText);
}

CTQString operator+(const CTQString& a, const char* b)
{
    CTQString r(a.m_sText);
    r += b;
    return r;
}

CTQString operator+(const char* a, const CTQString& b)
{
    CTQString r(a);
    r += b;
    return r;
}

#include <Plinth/CTQPath.h>

namespace
{
bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}

const CTQString& EmptyString()
{
    static const CTQString s_empty;
    return s_empty;
}
} // namespace

CTQPath::CTQPath(const CTQString& path) : m_sPath(path)
{
    Parse();
}

CTQPath::CTQPath(const char* path) : m_sPath(path)
{
    Parse();
}

CTQPath& CTQPath::operator=(const CTQString& path)
{
    SetPath(path);
    return *this;
}

CTQPath& CTQPath::operator=(const char* path)
{
    SetPath(CTQString(path));
    return *this;
}

void CTQPath::SetPath(const CTQString& path)
{
    m_sPath = path;
    Parse();
}

void CTQPath::Parse()
{
    m_aComponents.clear();
    std::string_view text = m_sPath.view();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
    {
        if (i < text.size() && !IsSeparator(text[i]))
            continue;
        if (i > start)
            m_aComponents.emplace_back(text.substr(start, i - start));
        start = i + 1;
    }
}

const CTQString& CTQPath::GetComponent(int index) const
{
    if (index < 0 || index >= GetNumComponents())
        return EmptyString();
    return m_aComponents[static_cast<std::size_t>(index)];
}

bool CTQPath::GetFirstComponent(CTQString& outComponent, int& ioCursor) const
{
    ioCursor = 0;
    return GetNextComponent(outComponent, ioCursor);
}

bool CTQPath::GetNextComponent(CTQString& outComponent, int& ioCursor) const
{
    if (ioCursor < 0 || ioCursor >= GetNumComponents())
        return false;
    outComponent = GetComponent(ioCursor++);
    return true;
}

CTQString CTQPath::StripPath() const
{
    return IsEmpty() ? CTQString() : m_aComponents.back();
}

CTQString CTQPath::GetDirectory() const
{
    std::string_view text = m_sPath.view();
    // Back over trailing separators and the last component, then over the
    // separators that lead to it.
    std::size_t end = text.size();
    while (end > 0 && IsSeparator(text[end - 1]))
        --end;
    while (end > 0 && !IsSeparator(text[end - 1]))
        --end;
    while (end > 0 && IsSeparator(text[end - 1]))
        --end;
    return CTQString(text.substr(0, end));
}

CTQString CTQPath::GetExtension() const
{
    CTQString name = StripPath();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CTQString() : name.Mid(dot);
}

void CTQPath::Append(const CTQString& component)
{
    if (component.IsEmpty())
        return;
    std::string text = m_sPath.str();
    if (!text.empty() && !IsSeparator(text.back()))
        text += '/';
    text += component.view();
    SetPath(CTQString(std::move(text)));
}

void CTQPath::Empty()
{
    m_sPath.Empty();
    m_aComponents.clear();
}

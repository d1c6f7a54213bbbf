#pragma once

#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

#include <vector>

// A path of components separated by "/" (a node path such as "$/net/db", or a
// file path). Parsing accepts "\\" as a separator too, ignores leading and
// trailing separators and skips empty components, so "$/net/db", "$/net/db/",
// "/$//net\\db" all have the components "$", "net", "db", and "net/db" has
// "net", "db". GetPath() returns the text exactly as it was set; the components
// are what parsing it yields. A path is empty when it has no components.
class PLINTH_API CTQPath
{
public:
    CTQPath() = default;
    CTQPath(const CTQString& path);
    CTQPath(const char* path);

    CTQPath& operator=(const CTQString& path);
    CTQPath& operator=(const char* path);

    const CTQString& GetPath() const { return m_sPath; }
    operator const CTQString&() const { return m_sPath; }
    void SetPath(const CTQString& path);

    int GetNumComponents() const { return static_cast<int>(m_aComponents.size()); }
    // The component at index, or an empty string when index is out of range.
    const CTQString& GetComponent(int index) const;
    // Iteration: cursor is the index of the component to read next. Each call
    // fills outComponent and returns true, or returns false at the end.
    bool GetFirstComponent(CTQString& outComponent, int& ioCursor) const;
    bool GetNextComponent(CTQString& outComponent, int& ioCursor) const;

    // The last component: the file name without its directory part.
    CTQString StripPath() const;
    // The text before the last component, without separators at its end
    // ("a/b/c.txt" gives "a/b"; a path of one component gives "").
    CTQString GetDirectory() const;
    // The last component's text from its last dot on (".txt"), or empty when it
    // has no dot. A dot in a directory name does not count.
    CTQString GetExtension() const;

    // Adds one or more components at the end, with a "/" between them and the
    // text when the text does not already end in a separator. An empty
    // component changes nothing.
    void Append(const CTQString& component);
    void Empty();
    bool IsEmpty() const { return m_aComponents.empty(); }

private:
    void Parse();

    CTQString m_sPath;
    std::vector<CTQString> m_aComponents;
};

#pragma once

#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

// A run-time class type: the class's name and its base class's type. Types are
// static objects built at load time; a type keeps only the address of its parent,
// so the order in which the statics of different files are built does not matter.
class PLINTH_API CTQClassType
{
public:
    explicit CTQClassType(const char* name);
    CTQClassType(const char* name, const CTQClassType& parent);
    CTQClassType(const CTQClassType&) = delete;
    CTQClassType& operator=(const CTQClassType&) = delete;

    const CTQString& GetName() const { return m_sName; }
    const CTQClassType* GetParent() const { return m_pParent; }

    // True when this type is other or descends from it. Inline: run-time type
    // tests sit on per-frame paths.
    bool IsDerivedFrom(const CTQClassType& other) const
    {
        for (const CTQClassType* t = this; t != nullptr; t = t->m_pParent)
            if (t == &other)
                return true;
        return false;
    }

    bool operator==(const CTQClassType& other) const { return this == &other; }

private:
    CTQString m_sName;
    const CTQClassType* m_pParent = nullptr;
};

#include <Plinth/CTQClassType.h>

CTQClassType::CTQClassType(const char* name) : m_sName(name) {}

CTQClassType::CTQClassType(const char* name, const CTQClassType& parent) : m_sName(name), m_pParent(&parent) {}

bool CTQClassType::IsDerivedFrom(const CTQClassType& other) const
{
    for (const CTQClassType* t = this; t != nullptr; t = t->m_pParent)
        if (t == &other)
            return true;
    return false;
}

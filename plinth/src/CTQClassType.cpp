#include <Plinth/CTQClassType.h>

CTQClassType::CTQClassType(const char* name) : m_sName(name) {}

CTQClassType::CTQClassType(const char* name, const CTQClassType& parent) : m_sName(name), m_pParent(&parent) {}

#pragma once

// The registries' shared implementation, instantiated once per product in the
// product's own source file, so that every library and the game share one
// registry per product.

#include <Framekit/ObjectModel/CTQFactory.h>
#include <Plinth/Log.h>

template <class TProduct>
CTQFactory<TProduct>::CTQFactory(const CTQString& className) : m_sName(className)
{
    auto [it, inserted] = GetRegistry().emplace(className, this);
    if (!inserted)
        Debug_Warning("%s: class %s is registered twice; the first registration stays\n", GetFactoryName(),
                      className.GetString());
}

template <class TProduct>
CTQFactory<TProduct>::~CTQFactory()
{
    Registry& registry = GetRegistry();
    auto it = registry.find(m_sName);
    if (it != registry.end() && it->second == this)
        registry.erase(it);
}

template <class TProduct>
typename CTQFactory<TProduct>::Registry& CTQFactory<TProduct>::GetRegistry()
{
    // Never destroyed: entries of libraries unloaded after this one still
    // unregister themselves at exit.
    static Registry* s_pRegistry = new Registry();
    return *s_pRegistry;
}

template <class TProduct>
const CTQFactory<TProduct>* CTQFactory<TProduct>::Find(const CTQString& className)
{
    const Registry& registry = GetRegistry();
    auto it = registry.find(className);
    return it == registry.end() ? nullptr : it->second;
}

template <class TProduct>
TProduct* CTQFactory<TProduct>::New(const CTQString& className)
{
    const CTQFactory* entry = Find(className);
    return entry ? entry->Create() : nullptr;
}

template <class TProduct>
void CTQFactory<TProduct>::Delete(TProduct* p)
{
    delete p;
}

template <class TProduct>
bool CTQFactory<TProduct>::IsValidClassType(const CTQString& className)
{
    return Find(className) != nullptr;
}

template <class TProduct>
bool CTQFactory<TProduct>::IsClassOfType(const CTQString& className, const CTQClassType& t)
{
    const CTQFactory* entry = Find(className);
    return entry && entry->IsOfType(t);
}

template <class TProduct>
const CTQClassType& CTQFactory<TProduct>::GetClassType(const CTQString& className)
{
    // Callers are to test IsValidClassType first; an unknown name still gets a
    // type (named "") rather than a crash.
    static const CTQClassType s_oUnknown("");
    const CTQFactory* entry = Find(className);
    return entry ? entry->GetType() : s_oUnknown;
}

template <class TProduct>
bool CTQFactory<TProduct>::GetFirst(CTQString& className)
{
    const Registry& registry = GetRegistry();
    if (registry.empty())
    {
        className.Empty();
        return false;
    }
    className = registry.begin()->first;
    return true;
}

template <class TProduct>
bool CTQFactory<TProduct>::GetNext(const CTQString& previous, CTQString& next)
{
    const Registry& registry = GetRegistry();
    auto it = registry.upper_bound(previous);
    if (it == registry.end())
    {
        next.Empty();
        return false;
    }
    next = it->first;
    return true;
}

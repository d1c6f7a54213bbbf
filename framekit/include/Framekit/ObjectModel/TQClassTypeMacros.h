#pragma once

#include <Plinth/CTQClassType.h>

// The class-type glue, one line per class.
//
// In the class body:   TQ_DECLARE_ROOT_CLASS_TYPE(CTQNode)      (no base type)
//                      TQ_DECLARE_CLASS_TYPE(CTQNetworkNode)    (overrides the base's)
// In the class source: TQ_IMPLEMENT_ROOT_CLASS_TYPE(CTQNode, 0x100)
//                      TQ_IMPLEMENT_CLASS_TYPE(CTQNetworkNode, CTQNode, 0x100)
//
// A root class also gets the virtual CanSerialize() (true unless overridden).
// Both leave the class body in public access.

#define TQ_DETAIL_CLASS_TYPE_STATICS(Class)                                                                            \
public:                                                                                                                \
    static CTQClassType _s_oType;                                                                                      \
    static int _m_nDataFormatVersion;                                                                                  \
    static const CTQClassType& GetClassType() { return _s_oType; }                                                     \
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

#define TQ_DECLARE_ROOT_CLASS_TYPE(Class)                                                                              \
    TQ_DETAIL_CLASS_TYPE_STATICS(Class)                                                                                \
    virtual const CTQClassType& GetType() const { return _s_oType; }                                                   \
    virtual bool IsOfType(const CTQClassType& t) const { return GetType().IsDerivedFrom(t); }                          \
                                                                                                                       \
protected:                                                                                                             \
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }                                        \
                                                                                                                       \
public:                                                                                                                \
    virtual bool CanSerialize() const { return true; }

#define TQ_DECLARE_CLASS_TYPE(Class)                                                                                   \
    TQ_DETAIL_CLASS_TYPE_STATICS(Class)                                                                                \
    const CTQClassType& GetType() const override { return _s_oType; }                                                  \
    bool IsOfType(const CTQClassType& t) const override { return GetType().IsDerivedFrom(t); }                         \
                                                                                                                       \
protected:                                                                                                             \
    int _GetDataFormatVersion() const override { return _m_nDataFormatVersion; }                                       \
                                                                                                                       \
public:

#define TQ_IMPLEMENT_ROOT_CLASS_TYPE(Class, Version)                                                                   \
    CTQClassType Class::_s_oType(#Class);                                                                              \
    int Class::_m_nDataFormatVersion = (Version);

#define TQ_IMPLEMENT_CLASS_TYPE(Class, Base, Version)                                                                  \
    CTQClassType Class::_s_oType(#Class, Base::_s_oType);                                                              \
    int Class::_m_nDataFormatVersion = (Version);

// Data format versions with a meaning of their own.
inline constexpr int kTQDefaultDataFormatVersion = 0x100;
// A class with this version is serialised without a versioned bracket.
inline constexpr int kTQUnversioned = 0xFFFF;

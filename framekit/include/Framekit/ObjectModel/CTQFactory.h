#pragma once

#include <Framekit/FramekitExport.h>
#include <Plinth/CTQClassType.h>
#include <Plinth/CTQString.h>

#include <map>

// A registry that creates classes by name. There are three, one per product base
// (CTQNodeFactory, CTQObjectFactory, CTQResourceFactory), all of this one shape.
//
// Each creatable class has one static entry (a CTQFactoryEntryT) built at load
// time right after the class's type; its constructor enters it under the class
// name. The registry is created by the first registration and outlives every
// entry, whatever the order in which libraries build and destroy their statics.
template <class TProduct>
class FRAMEKIT_API CTQFactory
{
public:
    using Registry = std::map<CTQString, CTQFactory*, CTQStringLess>;

    explicit CTQFactory(const CTQString& className);
    CTQFactory(const CTQFactory&) = delete;
    CTQFactory& operator=(const CTQFactory&) = delete;
    // Removes this entry only; entries still alive stay registered.
    virtual ~CTQFactory();

    // A new default-constructed product with the reference count 1.
    virtual TProduct* Create() const = 0;
    virtual bool IsOfType(const CTQClassType& t) const = 0;
    virtual const CTQClassType& GetType() const = 0;

    const CTQString& GetName() const { return m_sName; }

    // The product of the entry registered under className, or null.
    static TProduct* New(const CTQString& className);
    // Destroys p directly, not through its reference count; null is ignored.
    static void Delete(TProduct* p);
    static bool IsValidClassType(const CTQString& className);
    static bool IsClassOfType(const CTQString& className, const CTQClassType& t);
    // className must be registered (test IsValidClassType first).
    static const CTQClassType& GetClassType(const CTQString& className);
    // Registered names in name order.
    static bool GetFirst(CTQString& className);
    static bool GetNext(const CTQString& previous, CTQString& next);
    static Registry& GetRegistry();
    static const char* GetFactoryName();

private:
    static const CTQFactory* Find(const CTQString& className);

    CTQString m_sName;
};

// The entry of one creatable class.
template <class TProduct, class TClass>
class CTQFactoryEntryT final : public CTQFactory<TProduct>
{
public:
    CTQFactoryEntryT() : CTQFactory<TProduct>(TClass::GetClassType().GetName()) {}
    TProduct* Create() const override { return new TClass(); }
    bool IsOfType(const CTQClassType& t) const override { return TClass::GetClassType().IsDerivedFrom(t); }
    const CTQClassType& GetType() const override { return TClass::GetClassType(); }
};

// Registers Class with the given registry; goes in the class's source file, right
// after TQ_IMPLEMENT_CLASS_TYPE, so the entry is built after the type it names.
#define TQ_REGISTER_FACTORY(EntryTemplate, Class)                                                                      \
    namespace                                                                                                          \
    {                                                                                                                  \
    const EntryTemplate<Class> s_o##Class##FactoryEntry;                                                               \
    }

#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQNodeFactory.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Plinth/CTQString.h>

#include <cstdint>
#include <map>

class CTQDataStream;
class CTQPath;
class CTQNamespace;

// A named, reference-counted node in a tree of children ordered by name.
//
// Invariants: a node holds one reference on each child; a child's parent and
// root pointers are set exactly while it is entered in its parent's map; a node
// at count 0 has left its parent before it is deleted. Nodes live on the heap,
// except the namespace's root, which is never deleted.
class FRAMEKIT_API CTQNode
{
    friend class CTQNamespace;

public:
    TQ_DECLARE_ROOT_CLASS_TYPE(CTQNode)

    CTQNode();
    // A copy has the original's name but no parent, root or children, and the
    // count 1: children are never shared, so nothing is released twice.
    CTQNode(const CTQNode& other);
    CTQNode& operator=(const CTQNode& other);
    virtual ~CTQNode();

    // The node tree is not saved.
    virtual void Serialize(CTQDataStream& s);

    virtual std::int32_t AddRef();
    // At 0 the node leaves its parent and deletes itself; returns the new count.
    virtual std::int32_t Release();

    // Creates a child through the node factory and attaches it.
    virtual bool New(const CTQString& name, const CTQClassType* type);
    virtual bool New(const CTQString& name, const CTQString& className);

    virtual bool GetFirstChild(CTQString& name) const;
    virtual bool GetNextChild(const CTQString& previous, CTQString& name) const;
    virtual std::int32_t GetNumChildren() const;
    virtual bool HasChildren() const;

    // Attached, the node moves to the new name in its parent; a parent that
    // refuses it keeps the node under its old name (false).
    virtual bool SetName(const CTQString& name);
    virtual const CTQString& GetName() const;
    virtual void GetPath(CTQPath& path) const;

    virtual int Compare(const CTQString& s) const;
    virtual bool operator==(const CTQNode& other) const;
    virtual bool operator==(const CTQString& s) const;
    virtual bool operator!=(const CTQNode& other) const;
    virtual bool operator!=(const CTQString& s) const;

    // Neither touches the reference count.
    CTQNode* GetChild(const CTQString& name) const;
    CTQNode* FindChild(const CTQString& name);

    std::int32_t GetRefCount() const { return m_nRefCount; }

protected:
    virtual bool CanAttach(const CTQString& className) const;
    // Takes over the caller's reference. A child already under name is released.
    virtual bool Attach(const CTQString& name, CTQNode* node);
    // Gives the child's reference to the caller; null when there is none.
    virtual CTQNode* Detach(const CTQString& name);
    virtual void SetParent(CTQNode* parent);
    virtual CTQNode* GetParent();
    virtual const CTQNode* GetParent() const;
    virtual void SetRoot(CTQNode* root);
    virtual CTQNode* GetRoot();
    virtual const CTQNode* GetRoot() const;

private:
    using ChildMap = std::map<CTQString, CTQNode*, CTQStringLess>;

    void AddChild(const CTQString& name, CTQNode* node);
    void RemoveChild(const CTQString& name);

    CTQNode* m_pRoot = nullptr;
    CTQNode* m_pParent = nullptr;
    CTQString m_sName;
    std::int32_t m_nRefCount = 1;
    ChildMap m_oChildren;
    // Set only on the namespace's embedded root, which no Release may delete.
    bool m_bPermanent = false;
};

#include <Framekit/ObjectModel/CTQNode.h>

#include "CTQFactoryImpl.h"

#include <Plinth/CTQPath.h>

template <>
const char* CTQFactory<CTQNode>::GetFactoryName()
{
    return "CTQNodeFactory";
}

template class CTQFactory<CTQNode>;

TQ_IMPLEMENT_ROOT_CLASS_TYPE(CTQNode, kTQDefaultDataFormatVersion)
TQ_REGISTER_NODE_FACTORY(CTQNode)

CTQNode::CTQNode() = default;

CTQNode::CTQNode(const CTQNode& other) : m_sName(other.m_sName) {}

CTQNode& CTQNode::operator=(const CTQNode& other)
{
    // Only the name: this node keeps its own place in the tree and its children.
    if (this != &other)
        m_sName = other.m_sName;
    return *this;
}

CTQNode::~CTQNode()
{
    // Children first forget this node, so one whose last reference goes now does
    // not try to detach itself from a parent that is being destroyed.
    ChildMap children;
    children.swap(m_oChildren);
    for (auto& [name, child] : children)
    {
        child->SetParent(nullptr);
        child->SetRoot(nullptr);
    }
    for (auto& [name, child] : children)
        child->Release();
}

void CTQNode::Serialize(CTQDataStream&) {}

std::int32_t CTQNode::AddRef()
{
    return ++m_nRefCount;
}

std::int32_t CTQNode::Release()
{
    if (m_bPermanent && m_nRefCount <= 1)
        return m_nRefCount;
    if (--m_nRefCount > 0)
        return m_nRefCount;
    if (m_pParent)
    {
        // The parent hands its reference back to us; it is the one being dropped.
        m_pParent->Detach(m_sName);
    }
    delete this;
    return 0;
}

bool CTQNode::New(const CTQString& name, const CTQClassType* type)
{
    return type != nullptr && New(name, type->GetName());
}

bool CTQNode::New(const CTQString& name, const CTQString& className)
{
    if (!CanAttach(className))
        return false;
    CTQNode* node = CTQNodeFactory::New(className);
    if (!node)
        return false;
    if (!Attach(name, node))
    {
        node->Release();
        return false;
    }
    return true;
}

bool CTQNode::GetFirstChild(CTQString& name) const
{
    if (m_oChildren.empty())
    {
        name.Empty();
        return false;
    }
    name = m_oChildren.begin()->first;
    return true;
}

bool CTQNode::GetNextChild(const CTQString& previous, CTQString& name) const
{
    auto it = m_oChildren.upper_bound(previous);
    if (it == m_oChildren.end())
    {
        name.Empty();
        return false;
    }
    name = it->first;
    return true;
}

std::int32_t CTQNode::GetNumChildren() const
{
    return static_cast<std::int32_t>(m_oChildren.size());
}

bool CTQNode::HasChildren() const
{
    return GetNumChildren() > 0;
}

bool CTQNode::SetName(const CTQString& name)
{
    CTQNode* parent = m_pParent;
    if (!parent)
    {
        m_sName = name;
        return true;
    }
    if (m_sName == name)
        return true;
    if (!parent->CanAttach(GetType().GetName()))
        return false;
    CTQString oldName = m_sName;
    CTQNode* self = parent->Detach(oldName);
    if (parent->Attach(name, self))
        return true;
    // Refused after all: back under the old name, never lost.
    parent->AddChild(oldName, self);
    self->m_sName = oldName;
    self->SetParent(parent);
    self->SetRoot(parent->GetRoot());
    return false;
}

const CTQString& CTQNode::GetName() const
{
    return m_sName;
}

void CTQNode::GetPath(CTQPath& path) const
{
    CTQString text;
    for (const CTQNode* node = this; node != nullptr; node = node->GetParent())
        text = node->GetName() + "/" + text;
    path = CTQPath(text);
}

int CTQNode::Compare(const CTQString& s) const
{
    return m_sName.Compare(s.GetString());
}

bool CTQNode::operator==(const CTQNode& other) const
{
    return Compare(other.GetName()) == 0;
}

bool CTQNode::operator==(const CTQString& s) const
{
    return Compare(s) == 0;
}

bool CTQNode::operator!=(const CTQNode& other) const
{
    return !(*this == other);
}

bool CTQNode::operator!=(const CTQString& s) const
{
    return !(*this == s);
}

CTQNode* CTQNode::GetChild(const CTQString& name) const
{
    auto it = m_oChildren.find(name);
    return it == m_oChildren.end() ? nullptr : it->second;
}

CTQNode* CTQNode::FindChild(const CTQString& name)
{
    return GetChild(name);
}

bool CTQNode::CanAttach(const CTQString&) const
{
    return true;
}

bool CTQNode::Attach(const CTQString& name, CTQNode* node)
{
    if (!node || node == this || !CanAttach(node->GetType().GetName()))
        return false;
    CTQNode* previous = GetChild(name);
    if (previous == node)
        return true;
    // A node lives in one place only; it must be detached before it moves.
    if (node->m_pParent)
        return false;
    if (previous)
    {
        // The replaced child leaves before it is released, so its release cannot
        // detach the new one that takes its name.
        Detach(name)->Release();
    }
    node->m_sName = name;
    node->SetParent(this);
    node->SetRoot(GetRoot());
    AddChild(name, node);
    return true;
}

CTQNode* CTQNode::Detach(const CTQString& name)
{
    CTQNode* child = GetChild(name);
    if (!child)
        return nullptr;
    child->SetParent(nullptr);
    child->SetRoot(nullptr);
    RemoveChild(name);
    return child;
}

void CTQNode::SetParent(CTQNode* parent)
{
    m_pParent = parent;
}

CTQNode* CTQNode::GetParent()
{
    return m_pParent;
}

const CTQNode* CTQNode::GetParent() const
{
    return m_pParent;
}

void CTQNode::SetRoot(CTQNode* root)
{
    m_pRoot = root;
}

CTQNode* CTQNode::GetRoot()
{
    return m_pRoot;
}

const CTQNode* CTQNode::GetRoot() const
{
    return m_pRoot;
}

void CTQNode::AddChild(const CTQString& name, CTQNode* node)
{
    m_oChildren[name] = node;
}

void CTQNode::RemoveChild(const CTQString& name)
{
    m_oChildren.erase(name);
}

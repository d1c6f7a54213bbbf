#pragma once

#include <Framekit/ObjectModel/CTQNode.h>

// Node classes a game would write: one that counts its lives, one that refuses
// children of a given class and names of a given form.
class CTestCountedNode : public CTQNode
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestCountedNode)
    CTestCountedNode() { ++s_nAlive; }
    ~CTestCountedNode() override { --s_nAlive; }
    static int s_nAlive;
};

class CTestPickyNode : public CTQNode
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestPickyNode)
    static int s_nAlive;
    CTestPickyNode() { ++s_nAlive; }
    ~CTestPickyNode() override { --s_nAlive; }

protected:
    bool CanAttach(const CTQString& className) const override { return className != "CTestCountedNode"; }
    // Names starting with '#' are reserved.
    bool Attach(const CTQString& name, CTQNode* node) override
    {
        return name.GetAt(0) != '#' && CTQNode::Attach(name, node);
    }
};

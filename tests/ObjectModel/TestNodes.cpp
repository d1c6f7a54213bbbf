#include "TestNodes.h"

TQ_IMPLEMENT_CLASS_TYPE(CTestCountedNode, CTQNode, 0x100)
TQ_REGISTER_NODE_FACTORY(CTestCountedNode)
int CTestCountedNode::s_nAlive = 0;

TQ_IMPLEMENT_CLASS_TYPE(CTestPickyNode, CTQNode, 0x100)
TQ_REGISTER_NODE_FACTORY(CTestPickyNode)
int CTestPickyNode::s_nAlive = 0;

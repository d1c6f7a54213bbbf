#include "ResourceTestSupport.h"

TQ_IMPLEMENT_CLASS_TYPE(CTestCountedRes, CTQResource, 0x100)
TQ_REGISTER_RESOURCE_FACTORY(CTestCountedRes)
TQ_IMPLEMENT_CLASS_TYPE(CTestSpecialRes, CTestCountedRes, 0x100)
TQ_REGISTER_RESOURCE_FACTORY(CTestSpecialRes)
TQ_IMPLEMENT_CLASS_TYPE(CTestTransientRes, CTQResource, 0x100)

int CTestCountedRes::s_nAlive = 0;

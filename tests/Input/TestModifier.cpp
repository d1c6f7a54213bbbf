#include "InputTestSupport.h"

TQ_IMPLEMENT_CLASS_TYPE(CTestModifier, CTQInputModifier, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestModifier)

std::vector<sModifierCall> CTestModifier::s_aCalls;

#include "DisplayTestSupport.h"

#include <Framekit/ObjectModel/CTQObjectFactory.h>

namespace DisplayTest
{
TQ_IMPLEMENT_CLASS_TYPE(CTQProbeViewport, CTQViewport, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTQProbeViewport)
TQ_IMPLEMENT_CLASS_TYPE(CTQProbeDisplayServer, CTQDisplayServer, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTQProbeDisplayServer)
TQ_IMPLEMENT_CLASS_TYPE(CTestVisual3d, CTQVisual3d, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestVisual3d)
} // namespace DisplayTest

#include <FramekitHeadless/CTQHeadlessVisual3d.h>

#include <Framekit/ObjectModel/CTQObjectFactory.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessVisual3d, CTQVisual3d, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessVisual3d)

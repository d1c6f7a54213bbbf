#pragma once

#include <Framekit/Display/CTQVisual3d.h>
#include <FramekitHeadless/HeadlessExport.h>

// The headless layer's plain 3D visual: nothing to draw, so nothing added.
// Registered, so that "CTQVisual3d" (the associated class of plain 3D visual
// resources) can be created by name while a headless display server is current.
class FRAMEKITHEADLESS_API CTQHeadlessVisual3d : public CTQVisual3d
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessVisual3d)
};

#pragma once

#include <FramekitHeadless/CTQHeadlessDisplayServer.h>
#include <FramekitHeadless/CTQHeadlessPrimitive.h>
#include <FramekitHeadless/CTQHeadlessShader.h>
#include <FramekitHeadless/CTQHeadlessTextureSet.h>
#include <FramekitHeadless/CTQHeadlessViewport.h>
#include <FramekitHeadless/CTQHeadlessVisual3d.h>
#include <FramekitHeadless/sTQHeadlessFrame.h>

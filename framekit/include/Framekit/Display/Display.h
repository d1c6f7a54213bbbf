#pragma once

// The display core: display server and nodes, visuals, scene, camera,
// viewport, primitives, colours, texture sets and shaders.
#include <Framekit/Display/CTQCamera.h>
#include <Framekit/Display/CTQColor.h>
#include <Framekit/Display/CTQDisplayNode.h>
#include <Framekit/Display/CTQDisplayServer.h>
#include <Framekit/Display/CTQPrimitive.h>
#include <Framekit/Display/CTQScene.h>
#include <Framekit/Display/CTQShader.h>
#include <Framekit/Display/CTQTextureSet.h>
#include <Framekit/Display/CTQViewport.h>
#include <Framekit/Display/CTQVisual.h>
#include <Framekit/Display/CTQVisual3d.h>
#include <Framekit/Display/_sTQDisplayModes.h>

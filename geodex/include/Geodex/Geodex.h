#pragma once

// The maths library's public headers.
#include <Geodex/CTQGeomAlignedBBox3d.h>
#include <Geodex/CTQGeomOrientedBBox3d.h>
#include <Geodex/CTQGeomStructQuadNode.h>
#include <Geodex/CTQGeomUtilIntersections.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQPoint.h>
#include <Geodex/CTQQuaternion.h>
#include <Geodex/CTQRect.h>
#include <Geodex/CTQSize.h>
#include <Geodex/CTQVector2.h>
#include <Geodex/CTQVector3.h>
#include <Geodex/CTQVector4.h>
#include <Geodex/GeodexExport.h>

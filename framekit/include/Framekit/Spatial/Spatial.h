#pragma once

// Spatial structures: the object quadtree over a landscape grid, the flat
// object octree, and object lists that bring a level's static scenery to life.
#include <Framekit/Spatial/CTQObjectList.h>
#include <Framekit/Spatial/CTQObjectListRes.h>
#include <Framekit/Spatial/CTQObjectOcttree.h>
#include <Framekit/Spatial/CTQObjectQuadLeaf.h>
#include <Framekit/Spatial/CTQObjectQuadNode.h>
#include <Framekit/Spatial/CTQObjectQuadtree.h>
#include <Framekit/Spatial/_sTQPickingResultEntry.h>
#include <Framekit/Spatial/eTQPickingBehaviour.h>
#include <Framekit/Spatial/sObjectList.h>
#include <Framekit/Spatial/sQuadtreeObjectEntry.h>

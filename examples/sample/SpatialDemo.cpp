// Static scenery from an object list: the level's "forest" resource places
// pines and beacons on a landscape grid; the object list files the pines in its
// quadtree and the beacons in its octree. A camera walks through the forest;
// each frame prints how many visuals the quadtree let through to the viewport
// and which pine lies under a point of the screen.

#include "SampleSections.h"
#include "SampleSupport.h"

#include <Framekit.h>
#include <Framekit/Spatial/Spatial.h>
#include <FramekitHeadless/HeadlessDisplay.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace
{
// The game's scenery class: a 3D visual that only counts how often it is shown.
class CGameScenery : public CTQVisual3d
{
public:
    TQ_DECLARE_CLASS_TYPE(CGameScenery)

    void Display(std::int32_t viewport) override
    {
        ++shown;
        CTQVisual3d::Display(viewport);
    }

    int shown = 0;
};
TQ_IMPLEMENT_CLASS_TYPE(CGameScenery, CTQVisual3d, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CGameScenery)

// The screen point under which the game looks for a pine: the centre of the
// 800 x 600 view (a crosshair).
constexpr int kPickX = 400;
constexpr int kPickY = 300;



// The placement an object was made for, or -1.
int PlacementOf(const CTQObjectList& list, std::int32_t id)
{
    for (const auto& [index, object] : list.GetObjectAssociationMap())
        if (object == id)
            return index;
    return -1;
}

void PrintFrame(int frame, CTQCamera& camera, const sTQHeadlessFrame* drawn, const CTQObjectList& list,
                const std::vector<_sTQPickingResultEntry>& hits)
{
    const CTQVector3 position = camera.GetPosition();
    std::printf("frame %d: camera at (%3.0f, %3.0f), %zu visuals displayed, %zu in view; ", frame,
                static_cast<double>(position.x), static_cast<double>(position.y),
                drawn ? drawn->aDisplayed.size() : 0u, drawn ? drawn->aInView.size() : 0u);
    if (hits.empty())
    {
        std::printf("no pine under (%d, %d)\n", kPickX, kPickY);
        return;
    }
    const _sTQPickingResultEntry& hit = hits.front();
    std::printf("under (%d, %d): object %d (placement %d), %.1f away at (%.1f, %.1f, %.1f)\n", kPickX, kPickY,
                hit.nObjectId, PlacementOf(list, hit.nObjectId), static_cast<double>(std::sqrt(hit.fDistance)),
                static_cast<double>(hit.vHitPoint.x), static_cast<double>(hit.vHitPoint.y),
                static_cast<double>(hit.vHitPoint.z));
}
} // namespace

void ShowSpatial(const char* levelPath)
{
    std::printf("\n-- spatial\n");
    CTQEnvironmentServer environment;
    CTQObjectDatabase objects;
    CTQResourceClassDatabase classes;
    CTQLocalResourceDatabase resources;
    if (!LoadLevel(resources, levelPath))
    {
        std::printf("the level %s cannot be loaded\n", levelPath);
        return;
    }

    auto* server = TQPeekObjectAs<CTQHeadlessDisplayServer>(objects.CreateObject("CTQHeadlessDisplayServer"));
    const std::int32_t viewportId = server->NewViewport();
    auto* viewport = TQPeekObjectAs<CTQViewport>(viewportId);
    server->AddViewport(viewportId);
    server->SetDisplayMode("type(headless) w(800) h(600) bpp(32)");
    server->OpenDisplay();
    viewport->SetViewFrustum(-1, 1, -1, 1, 1, 80, false);
    const std::int32_t cameraId = server->NewCamera();
    auto* camera = TQPeekObjectAs<CTQCamera>(cameraId);
    const std::int32_t sceneId = server->NewScene();
    auto* scene = TQPeekObjectAs<CTQScene>(sceneId);
    viewport->SetCamera(cameraId);
    viewport->AddVisual(sceneId);

    // The forest resource names no class of its own: the game says what to build.
    const std::int32_t forest = FindResource(resources, "forest");
    const std::int32_t listId = objects.CreateObjectFromResource(forest, "CTQObjectList");
    auto* list = TQPeekObjectAs<CTQObjectList>(listId);
    if (!list)
    {
        std::printf("the forest (resource %d) cannot be built\n", forest);
        return;
    }
    scene->AddVisual(listId);
    const CTQObjectQuadtree* quadtree = list->GetObjectQuadtree();
    std::printf("forest from resource %d: %zu objects made, %d in the quadtree (%d x %d patches of %g x %g), "
                "%d in the octree\n",
                forest, list->GetObjectAssociationMap().size(), quadtree->GetObjectCount(), quadtree->GetGridWidth(),
                quadtree->GetGridHeight(), static_cast<double>(quadtree->GetLeafWidth()),
                static_cast<double>(quadtree->GetLeafHeight()), list->GetObjectOcttree()->GetObjectCount());

    // The camera walks north through the forest at eye height beside the row of
    // pines at x = 8, looking ahead, a little right and down; each frame the game
    // picks the pine under the crosshair.
    for (int frame = 0; frame < 6; ++frame)
    {
        camera->SetPosition(CTQVector3(6.0f, static_cast<float>(frame) * 16.0f - 60.0f, 4.0f));
        camera->LookIntoDirection(CTQVector3(0.1f, 1.0f, -0.1f), CTQVector3(0.0f, 0.0f, 1.0f));
        scene->Update();
        viewport->Render();
        std::vector<_sTQPickingResultEntry> hits;
        list->PickObjectsAt(hits, viewportId, kPickX, kPickY, eTQPicking_Nearest, CTQObjectList::kQuadtreeBit);
        PrintFrame(frame, *camera, server->GetLastFrame(viewportId), *list, hits);
    }

    int pinesShown = 0;
    int neverShown = 0;
    for (const auto& [index, id] : list->GetObjectAssociationMap())
        if (const auto* scenery = TQPeekObjectAs<CGameScenery>(id); scenery && quadtree->HasObject(id))
        {
            pinesShown += scenery->shown;
            neverShown += scenery->shown == 0 ? 1 : 0;
        }
    std::printf("over six frames the pines were shown %d times; %d of %d were never in a patch in view\n", pinesShown,
                neverShown, quadtree->GetObjectCount());
}

// A headless display: a mode string, a scene of a few hundred trees built from
// the level's resources, and a camera flying through them. Each frame prints how
// many visuals were moved (and so updated) and how many were displayed and in view.

#include "SampleSections.h"
#include "SampleSupport.h"

#include <Framekit.h>
#include <FramekitHeadless/HeadlessDisplay.h>

#include <cstdio>

namespace
{
constexpr int kTreesPerRow = 20;
constexpr int kRows = 15;

} // namespace

void ShowDisplay(const char* levelPath)
{
    std::printf("\n-- display\n");
    CTQEnvironmentServer environment;
    CTQObjectDatabase objects;
    CTQResourceClassDatabase classes;
    CTQLocalResourceDatabase resources;
    if (!LoadLevel(resources, levelPath))
        return;
    const std::int32_t treeResource = FindResource(resources, "tree");

    auto* server = TQPeekObjectAs<CTQHeadlessDisplayServer>(objects.CreateObject("CTQHeadlessDisplayServer"));
    const std::int32_t viewportId = server->NewViewport();
    auto* viewport = TQPeekObjectAs<CTQViewport>(viewportId);
    server->AddViewport(viewportId);
    server->SetDisplayMode("type(headless) w(800) h(600) bpp(32)");
    server->OpenDisplay();
    std::printf("display %s: %d x %d, %d bpp\n", environment.GetAttribute("Display/Type").GetString().GetString(),
                environment.GetAttribute("Display/Resolution/Width").GetInt(),
                environment.GetAttribute("Display/Resolution/Height").GetInt(),
                environment.GetAttribute("Display/Resolution/BPP").GetInt());
    viewport->SetViewFrustum(-1, 1, -1, 1, 1, 60, false);
    const std::int32_t cameraId = server->NewCamera();
    auto* camera = TQPeekObjectAs<CTQCamera>(cameraId);
    const std::int32_t sceneId = server->NewScene();
    auto* scene = TQPeekObjectAs<CTQScene>(sceneId);
    viewport->SetCamera(cameraId);
    viewport->AddVisual(sceneId);

    // The scenery: one tree per grid point, each built from the "tree" resource.
    std::int32_t trees[kRows * kTreesPerRow];
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kTreesPerRow; ++column)
        {
            const std::int32_t id = objects.CreateObjectFromResource(treeResource);
            trees[row * kTreesPerRow + column] = id;
            if (auto* tree = TQPeekObjectAs<CTQVisual3d>(id))
            {
                tree->SetPos(CTQVector3(static_cast<float>(column - kTreesPerRow / 2) * 6.0f,
                                        static_cast<float>(row) * 10.0f, 0.0f));
                scene->AddVisual(id);
            }
        }
    std::printf("%d trees from resource %d\n", kRows * kTreesPerRow, treeResource);

    for (int frame = 0; frame < 6; ++frame)
    {
        // The camera flies forward along +Y; a few trees sway each frame.
        camera->SetPosition(CTQVector3(0.0f, static_cast<float>(frame) * 20.0f - 10.0f, 2.0f));
        int moved = 0;
        for (int i = frame; i < kRows * kTreesPerRow; i += 50, ++moved)
            if (auto* tree = TQPeekObjectAs<CTQVisual3d>(trees[i]))
                tree->SetRotation(CTQVector3(0.0f, 0.0f, 0.1f * static_cast<float>(frame)));
        scene->Update();
        viewport->Render();
        const sTQHeadlessFrame* drawn = server->GetLastFrame(viewportId);
        std::printf("frame %d: camera at y = %3.0f, %d visuals updated, %zu displayed, %zu in view\n", frame,
                    static_cast<double>(camera->GetPosition().y), moved, drawn ? drawn->aDisplayed.size() : 0u,
                    drawn ? drawn->aInView.size() : 0u);
    }
}

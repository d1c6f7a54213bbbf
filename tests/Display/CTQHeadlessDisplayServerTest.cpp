#include "DisplayTestSupport.h"

#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResource.h>
#include <FramekitHeadless/HeadlessDisplay.h>

#include <algorithm>

using namespace DisplayTest;

namespace
{
// A headless display as a game opens it: server, 800 x 600 viewport, camera
// and an empty scene, all created by class name.
class CTQHeadlessDisplayTest : public DisplayFixture
{
protected:
    void SetUp() override
    {
        serverId = Create("CTQHeadlessDisplayServer");
        server = Get<CTQHeadlessDisplayServer>(serverId);
        ASSERT_NE(server, nullptr);
        viewportId = server->NewViewport();
        viewport = Get<CTQHeadlessViewport>(viewportId);
        ASSERT_NE(viewport, nullptr);
        server->AddViewport(viewportId);
        server->SetDisplayMode("type(headless) w(800) h(600) bpp(32)");
        ASSERT_TRUE(server->OpenDisplay());
        viewport->SetViewFrustum(-1, 1, -1, 1, 1, 200, false);
        cameraId = server->NewCamera();
        camera = Get<CTQCamera>(cameraId);
        sceneId = server->NewScene();
        scene = Get<CTQScene>(sceneId);
        ASSERT_NE(camera, nullptr);
        ASSERT_NE(scene, nullptr);
        viewport->SetCamera(cameraId);
        viewport->AddVisual(sceneId);
    }
    // A 3D visual at x = 0 and the given y, under the scene.
    std::int32_t AddVisualAt(float y)
    {
        const std::int32_t id = Create("CTQVisual3d");
        CTQVisual3d* visual = Get<CTQVisual3d>(id);
        visual->SetPos(CTQVector3(0, y, 0));
        scene->AddVisual(id);
        return id;
    }

    CTQEnvironmentServer environment;
    std::int32_t serverId = -1;
    std::int32_t viewportId = -1;
    std::int32_t cameraId = -1;
    std::int32_t sceneId = -1;
    CTQHeadlessDisplayServer* server = nullptr;
    CTQHeadlessViewport* viewport = nullptr;
    CTQCamera* camera = nullptr;
    CTQScene* scene = nullptr;
};
} // namespace

TEST_F(CTQHeadlessDisplayTest, DeviceClassesAreCreatedUnderTheHeadlessInfix)
{
    EXPECT_STREQ(server->GetDeviceClassInfix(), "Headless");
    EXPECT_EQ(TQGetDisplayServer(), server);
    EXPECT_NE(Get<CTQHeadlessTextureSet>(Create("CTQTextureSet")), nullptr);
    EXPECT_NE(Get<CTQHeadlessShader>(Create("CTQShader")), nullptr);
    EXPECT_NE(Get<CTQHeadlessVisual3d>(Create("CTQVisual3d")), nullptr);
    const std::int32_t primitiveId = server->NewPrimitive(4, 36);
    CTQHeadlessPrimitive* primitive = Get<CTQHeadlessPrimitive>(primitiveId);
    ASSERT_NE(primitive, nullptr);
    EXPECT_EQ(primitive->GetPrimitiveType(), 4);
    EXPECT_EQ(primitive->GetVertexCount(), 36);
    EXPECT_EQ(scene->GetType().GetName(), CTQString("CTQScene")) << "scenes are the library's own";
}

TEST_F(CTQHeadlessDisplayTest, TheModeReachesTheViewportAndTheEnvironment)
{
    EXPECT_EQ(viewport->GetSize(), CTQSize(800, 600));
    EXPECT_TRUE(server->IsDisplayOpen());
    EXPECT_TRUE(server->CanChangeDisplayMode());
    EXPECT_EQ(environment.GetAttribute("Display/Resolution/Width").GetInt(), 800);
    EXPECT_EQ(environment.GetAttribute("Display/Type").GetString(), CTQString("headless"));
    // 800 x 600 with (-1, 1, -1, 1): the vertical extents are ±0.75.
    EXPECT_NEAR(viewport->GetProjectionMatrix()(2, 2), 1.0f / 0.75f, 1e-5f);
    server->CloseDisplay();
    EXPECT_FALSE(server->IsDisplayOpen());
}

TEST_F(CTQHeadlessDisplayTest, ModesAreEnumeratedWithTheirSizeAndDepth)
{
    server->BeginEnumDisplayModes();
    std::vector<std::vector<std::uint32_t>> modes;
    while (server->HasMoredisplayModes())
    {
        const _sTQDisplayModes& mode = server->GetNextDisplayMode();
        modes.push_back({mode.aWords[0], mode.aWords[1], mode.aWords[2], mode.aWords[3]});
    }
    server->EndEnumDisplayModes();
    ASSERT_EQ(modes.size(), 8u);
    EXPECT_EQ(modes[0], (std::vector<std::uint32_t>{640, 480, 16, 60}));
    EXPECT_EQ(modes[3], (std::vector<std::uint32_t>{800, 600, 32, 60}));
    EXPECT_EQ(modes[7], (std::vector<std::uint32_t>{1280, 1024, 32, 60}));
    EXPECT_FALSE(server->HasMoredisplayModes());
}

TEST_F(CTQHeadlessDisplayTest, EachFrameRecordsWhatWasDisplayedAndWhatWasInView)
{
    const std::int32_t ahead = AddVisualAt(20);
    const std::int32_t behind = AddVisualAt(-20);
    const std::int32_t hidden = AddVisualAt(30);
    Get<CTQVisual3d>(hidden)->SetVisible(false);

    viewport->Render();
    const sTQHeadlessFrame* first = server->GetFrame(viewportId, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->nFrame, 1u);
    EXPECT_EQ(first->aDisplayed, (std::vector<std::int32_t>{sceneId, ahead, behind}));
    EXPECT_EQ(first->aInView, std::vector<std::int32_t>{ahead}) << "the camera looks along +Y";

    camera->SetRotation(CTQVector3(0, 0, 3.14159265f)); // now along -Y
    viewport->Render();
    const sTQHeadlessFrame* second = server->GetLastFrame(viewportId);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->nFrame, 2u);
    EXPECT_EQ(second->aInView, std::vector<std::int32_t>{behind});
    EXPECT_EQ(server->GetFrame(viewportId, 1)->aInView, std::vector<std::int32_t>{ahead}) << "older frames are kept";
}

TEST_F(CTQHeadlessDisplayTest, OnlyTheLatestFramesAreKept)
{
    AddVisualAt(10);
    for (std::uint32_t i = 0; i < CTQHeadlessViewport::kFrameHistory + 2; ++i)
        viewport->Render();
    const std::uint32_t last = viewport->GetFrameCount();
    EXPECT_EQ(last, CTQHeadlessViewport::kFrameHistory + 2);
    EXPECT_NE(server->GetFrame(viewportId, last), nullptr);
    EXPECT_NE(server->GetFrame(viewportId, last - CTQHeadlessViewport::kFrameHistory + 1), nullptr);
    EXPECT_EQ(server->GetFrame(viewportId, last - CTQHeadlessViewport::kFrameHistory), nullptr);
    EXPECT_EQ(server->GetFrame(viewportId, last + 1), nullptr);
    EXPECT_EQ(server->GetFrame(viewportId, 0), nullptr);
    EXPECT_EQ(server->GetFrame(cameraId, 1), nullptr) << "a camera is no viewport";
    EXPECT_EQ(server->GetLastFrame(cameraId), nullptr);
}

TEST_F(CTQHeadlessDisplayTest, AVisualMovedOutOfViewLeavesTheViewList)
{
    const std::int32_t id = AddVisualAt(50);
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aInView, std::vector<std::int32_t>{id});
    Get<CTQVisual3d>(id)->SetPos(CTQVector3(500, 50, 0));
    viewport->Render();
    EXPECT_TRUE(viewport->GetLastFrame().aInView.empty()) << "Render updates the scene before displaying it";
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed.size(), 2u);
}

TEST_F(CTQHeadlessDisplayTest, VisualsBuiltFromResourcesAreDrawnThroughTheWholePath)
{
    CTQLocalResourceDatabase resources;
    const std::int32_t resId = resources.CreateResource("tree", "CTQResource");
    CTQResource* res = resources.QueryResource(resId);
    res->SetAssociatedClassType("CTQVisual3d");
    res->SetAttribute("BoundsZMax", CTQProperty(8.0f));
    resources.ReleaseResource(resId);

    std::vector<std::int32_t> trees;
    for (int i = 0; i < 5; ++i)
    {
        const std::int32_t id = m_oDatabase.CreateObjectFromResource(resId);
        CTQVisual3d* tree = Get<CTQHeadlessVisual3d>(id);
        ASSERT_NE(tree, nullptr);
        tree->SetPos(CTQVector3(0, 10.0f + 10.0f * static_cast<float>(i), 0));
        scene->AddVisual(id);
        trees.push_back(id);
    }
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aInView, trees);
    EXPECT_FLOAT_EQ(Get<CTQVisual3d>(trees[0])->GetWorldBoundingBox().GetMax().z, 8.0f);
    for (std::int32_t id : trees)
        m_oDatabase.DestroyObject(id);
}

TEST_F(CTQHeadlessDisplayTest, TextureSetsAndShadersKeepTheirDeviceState)
{
    auto* textures = Get<CTQHeadlessTextureSet>(Create("CTQTextureSet"));
    auto* shader = Get<CTQHeadlessShader>(Create("CTQShader"));
    ASSERT_NE(textures, nullptr);
    ASSERT_NE(shader, nullptr);
    EXPECT_TRUE(textures->Select(2));
    EXPECT_EQ(textures->GetSelectCount(), 1u);
    EXPECT_EQ(textures->GetLastStage(), 2u);
    EXPECT_TRUE(shader->Activate());
    EXPECT_TRUE(shader->IsActive());
    shader->Deactivate();
    EXPECT_FALSE(shader->IsActive());
}

#include "SpatialTestSupport.h"

namespace SpatialTest
{
TQ_IMPLEMENT_CLASS_TYPE(CTestQuadtree, CTQObjectQuadtree, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTestQuadtree)
TQ_IMPLEMENT_CLASS_TYPE(CTestOcttree, CTQObjectOcttree, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTestOcttree)
TQ_IMPLEMENT_CLASS_TYPE(CCountingVisual3d, CTQVisual3d, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CCountingVisual3d)

void SpatialFixture::SetUp()
{
    server = New<CTQHeadlessDisplayServer>(m_nServerId);
    ASSERT_NE(server, nullptr);
    viewportId = server->NewViewport();
    viewport = Get<CTQHeadlessViewport>(viewportId);
    ASSERT_NE(viewport, nullptr);
    server->AddViewport(viewportId);
    viewport->SetSize(CTQSize(800, 600));
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

std::int32_t SpatialFixture::MakeBox(const CTQVector3& centre, const CTQVector3& half, const char* className)
{
    const std::int32_t id = Create(className);
    CTQVisual3d* visual = Get<CTQVisual3d>(id);
    if (!visual)
        return -1;
    visual->SetInitialBounds(CTQGeomAlignedBBox3d(-half, half));
    visual->SetPos(centre);
    visual->Update();
    return id;
}

CTestQuadtree* SpatialFixture::MakeQuadtree(std::int32_t& id, int nx, int ny, float leafW, float leafH, float ox,
                                            float oy)
{
    CTestQuadtree* tree = New<CTestQuadtree>(id);
    if (!tree)
        return nullptr;
    tree->SetLeafDimensions(leafW, leafH);
    tree->SetGridDimensions(nx, ny);
    tree->SetGridOffset(ox, oy);
    tree->Init();
    return tree;
}
} // namespace SpatialTest

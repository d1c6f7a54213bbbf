#include "DisplayTestSupport.h"

#include <Plinth/CTQLoadGuard.h>

using namespace DisplayTest;

namespace
{
// Records the viewport's current scene whenever it is precached.
class CTestPrecacheVisual : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestPrecacheVisual)
    void Precache(std::int32_t viewport) override
    {
        CTQObject* object = TQGetObjectDatabase()->QueryObject(viewport);
        object->Release();
        scenes.push_back(static_cast<CTQViewport*>(object)->GetCurrentScene());
        CTQVisual::Precache(viewport);
    }
    std::vector<std::int32_t> scenes;
};
TQ_IMPLEMENT_CLASS_TYPE(CTestPrecacheVisual, CTQVisual, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestPrecacheVisual)

class CTQViewportTest : public DisplayFixture
{
protected:
    void SetUp() override
    {
        viewport = New<CTQProbeViewport>(viewportId);
        camera = New<CTQCamera>(cameraId);
        viewport->SetCamera(cameraId);
    }
    // A square viewport with the frustum (-1, 1, -1, 1, 1, 100).
    void MakePerspective()
    {
        viewport->SetSize(CTQSize(100, 100));
        viewport->SetViewFrustum(-1, 1, -1, 1, 1, 100, false);
    }

    std::int32_t viewportId = -1;
    std::int32_t cameraId = -1;
    CTQProbeViewport* viewport = nullptr;
    CTQCamera* camera = nullptr;
};
} // namespace

// ---- Projections ---------------------------------------------------------

TEST_F(CTQViewportTest, PerspectiveProjectionDividesTheVerticalExtentsByTheAspect)
{
    viewport->SetSize(CTQSize(800, 600));
    viewport->SetViewFrustum(-1, 1, -1, 1, 1, 100, false);
    // b, t = -/+0.75: 2n/(t-b) = 4/3.
    ExpectMatrixNear(viewport->GetProjectionMatrix(),
                     CTQMatrix44(1, 0, 0, 0, 0, 4.0f / 3.0f, 0, 0, 0, 0, -101.0f / 99.0f, -200.0f / 99.0f, 0, 0, -1, 0));
    // The stored inverse is -2fn times the exact one.
    ExpectMatrixNear(viewport->GetInvProjectionMatrix() * viewport->GetProjectionMatrix(),
                     CTQMatrix44(-200, 0, 0, 0, 0, -200, 0, 0, 0, 0, -200, 0, 0, 0, 0, -200), 1e-3f);
    EXPECT_TRUE(viewport->HasValidInvProjectionMatrix());
    EXPECT_FALSE(viewport->IsOrthographic());
}

TEST_F(CTQViewportTest, AnAsymmetricOrthographicFrustumMapsOntoTheUnitCube)
{
    viewport->SetSize(CTQSize(100, 100));
    viewport->SetViewFrustum(0, 4, 0, 2, 1, 11, true);
    ExpectMatrixNear(viewport->GetProjectionMatrix(),
                     CTQMatrix44(0.5f, 0, 0, -1, 0, 1, 0, -1, 0, 0, 0.2f, 1.2f, 0, 0, 0, 1));
    // The default camera looks along +Y: world (x, y, z) is camera (x, z, -y).
    ExpectVectorNear(viewport->MapWorldToPhysical(CTQVector3(4, 6, 2)), CTQVector3(1, 1, 0));
    ExpectVectorNear(viewport->MapWorldToPhysical(CTQVector3(0, 1, 0)), CTQVector3(-1, -1, 1));
    ExpectVectorNear(viewport->MapWorldToPhysical(CTQVector3(0, 11, 0)), CTQVector3(-1, -1, -1));
    ExpectVectorNear(viewport->MapPhysicalToWorld(CTQVector3(1, 1, 0)), CTQVector3(4, 6, 2));
}

TEST_F(CTQViewportTest, AFrustumBeforeASizeKeepsTheProjectionUntilTheSizeComes)
{
    CWarningLog log;
    viewport->SetViewFrustum(-1, 1, -1, 1, 1, 100, false);
    EXPECT_EQ(viewport->GetProjectionMatrix(), CTQMatrix44::Identity);
    EXPECT_TRUE(log.Contains("no size"));
    viewport->SetSize(CTQSize(100, 100));
    EXPECT_FLOAT_EQ(viewport->GetProjectionMatrix()(4, 3), -1.0f);
    viewport->SetViewFrustum(-1, 1, -1, 1, 5, 5, false);
    EXPECT_TRUE(log.Contains("empty frustum"));
    EXPECT_FLOAT_EQ(viewport->GetProjectionMatrix()(4, 3), -1.0f) << "the last good projection stays";
    float l = 0, r = 0, b = 0, t = 0, n = 0, f = 0;
    viewport->GetViewFrustum(l, r, b, t, n, f);
    EXPECT_EQ(n, 5.0f);
    EXPECT_EQ(f, 5.0f);
}

// ---- Spaces --------------------------------------------------------------

TEST_F(CTQViewportTest, WorldPointsMapToPhysicalCoordinatesAsComputedByHand)
{
    MakePerspective();
    // Camera space (0, 0, -10): z = (101 × 10 - 200) / 99 / 10.
    ExpectVectorNear(viewport->MapWorldToPhysical(CTQVector3(0, 10, 0)), CTQVector3(0, 0, 810.0f / 990.0f));
    // On the near plane at its right edge.
    ExpectVectorNear(viewport->MapWorldToPhysical(CTQVector3(1, 1, 0)), CTQVector3(1, 0, -1));
    camera->SetPosition(CTQVector3(0, -10, 0));
    ExpectVectorNear(viewport->MapWorldToPhysical(CTQVector3(0, 0, 0)), CTQVector3(0, 0, 810.0f / 990.0f));
}

TEST_F(CTQViewportTest, MappingToPhysicalAndBackReturnsThePoint)
{
    MakePerspective();
    camera->SetPosition(CTQVector3(3, -4, 5));
    camera->LookAt(CTQVector3(10, 10, 0), CTQVector3(0, 0, 1));
    for (const CTQVector3& p : {CTQVector3(10, 10, 0), CTQVector3(8, 12, 3), CTQVector3(12, 6, -1)})
        ExpectVectorNear(viewport->MapPhysicalToWorld(viewport->MapWorldToPhysical(p)), p, 1e-3f);
    const CTQVector3 physical(0.25f, -0.5f, 0.3f);
    ExpectVectorNear(viewport->MapWorldToPhysical(viewport->MapPhysicalToWorld(physical)), physical, 1e-4f);
}

TEST_F(CTQViewportTest, VirtualPointsGoThroughTheCurrentScene)
{
    MakePerspective();
    std::int32_t sceneId = -1;
    CTQScene* scene = New<CTQScene>(sceneId);
    scene->SetMatrix(CTQMatrix44(1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1, 0, 0, 0, 0, 1));
    const CTQVector3 withoutScene = viewport->MapVirtualToPhysical(CTQVector3(0, 0, 0));
    viewport->SetCurrentScene(sceneId);
    ExpectVectorNear(viewport->MapVirtualToPhysical(CTQVector3(0, 0, 0)),
                     viewport->MapWorldToPhysical(CTQVector3(0, 10, 0)));
    EXPECT_NE(withoutScene.z, viewport->MapVirtualToPhysical(CTQVector3(0, 0, 0)).z);
}

// ---- View cone -------------------------------------------------------------

TEST_F(CTQViewportTest, ABoxWhollyInFrontOfThePerspectiveCameraIntersects)
{
    MakePerspective();
    camera->SetPosition(CTQVector3(0, -10, 0));
    EXPECT_TRUE(viewport->DoesIntersectViewcone(CTQVector3(-1, 9, -1), CTQVector3(1, 11, 1)));
    EXPECT_TRUE(viewport->DoesIntersectViewcone(CTQVector3(-1, -1, -1), CTQVector3(1, 1, 1)));
}

TEST_F(CTQViewportTest, ABoxBeyondOnePlaneIsRejected)
{
    MakePerspective();
    camera->SetPosition(CTQVector3(0, -10, 0));
    EXPECT_FALSE(viewport->DoesIntersectViewcone(CTQVector3(-1, -20, -1), CTQVector3(1, -15, 1))) << "behind";
    EXPECT_FALSE(viewport->DoesIntersectViewcone(CTQVector3(-1, 200, -1), CTQVector3(1, 210, 1))) << "too far";
    EXPECT_FALSE(viewport->DoesIntersectViewcone(CTQVector3(30, 0, -1), CTQVector3(40, 5, 1))) << "right";
    EXPECT_FALSE(viewport->DoesIntersectViewcone(CTQVector3(-1, 0, 20), CTQVector3(1, 5, 30))) << "above";
    EXPECT_FALSE(viewport->DoesIntersectViewcone(CTQVector3(-1, -9.5f, -1), CTQVector3(1, -9.2f, 1)))
        << "in front, but nearer than the near plane";
}

TEST_F(CTQViewportTest, ABoxAcrossAPlaneOrAroundTheCameraIntersects)
{
    MakePerspective();
    camera->SetPosition(CTQVector3(0, -10, 0));
    EXPECT_TRUE(viewport->DoesIntersectViewcone(CTQVector3(-1, 90, -1), CTQVector3(1, 150, 1))) << "far plane";
    EXPECT_TRUE(viewport->DoesIntersectViewcone(CTQVector3(-50, 0, -1), CTQVector3(50, 1, 1))) << "both sides";
    EXPECT_TRUE(viewport->DoesIntersectViewcone(CTQVector3(-1, -11, -1), CTQVector3(1, -9, 1))) << "camera inside";
}

TEST_F(CTQViewportTest, AnOrthographicViewConeTestsTheBoxAgainstItsSlab)
{
    viewport->SetSize(CTQSize(100, 100));
    viewport->SetViewFrustum(0, 4, 0, 2, 1, 11, true);
    EXPECT_TRUE(viewport->DoesIntersectViewcone(CTQVector3(1, 4, 0.5f), CTQVector3(2, 5, 1)));
    EXPECT_FALSE(viewport->DoesIntersectViewcone(CTQVector3(-3, 4, 0.5f), CTQVector3(-1, 5, 1))) << "left of l = 0";
    EXPECT_TRUE(viewport->DoesIntersectViewcone(CTQVector3(-3, 4, 0.5f), CTQVector3(0.5f, 5, 1)));
}

// ---- Rendering -------------------------------------------------------------

TEST_F(CTQViewportTest, RenderMakesEachSceneCurrentWhileItIsDisplayed)
{
    std::int32_t previousScene = -1;
    New<CTQScene>(previousScene);
    std::int32_t sceneA = -1;
    CTQScene* a = New<CTQScene>(sceneA);
    std::int32_t inA = -1;
    New<CTQVisual>(inA);
    a->AddVisual(inA);
    std::int32_t loose = -1;
    New<CTQVisual>(loose);
    std::int32_t hiddenScene = -1;
    New<CTQScene>(hiddenScene)->SetVisible(false);
    viewport->AddVisual(sceneA);
    viewport->AddVisual(loose);
    viewport->AddVisual(hiddenScene);
    viewport->SetCurrentScene(previousScene);

    viewport->Render();
    EXPECT_EQ(viewport->displayed, (std::vector<std::int32_t>{sceneA, inA, loose}));
    EXPECT_EQ(viewport->sceneWhileDisplayed, (std::vector<std::int32_t>{sceneA, sceneA, previousScene}))
        << "the scene that was current comes back after a child scene";
    EXPECT_EQ(viewport->GetCurrentScene(), -1) << "Render leaves no current scene";
    EXPECT_FALSE(a->IsDirty()) << "visible children are updated first";
    EXPECT_TRUE(Get<CTQScene>(hiddenScene)->IsDirty());
}

TEST_F(CTQViewportTest, PrecacheVisitsEveryChildAndCompletesTheLoadGuard)
{
    CTQLoadGuard::Instance().Reset();
    std::int32_t sceneId = -1;
    CTQScene* scene = New<CTQScene>(sceneId);
    std::int32_t inScene = -1;
    CTestPrecacheVisual* child = New<CTestPrecacheVisual>(inScene);
    scene->AddVisual(inScene);
    scene->SetVisible(false);
    viewport->AddVisual(sceneId);
    viewport->AddVisual(424242);
    viewport->Precache();
    EXPECT_EQ(child->scenes, std::vector<std::int32_t>{sceneId}) << "an invisible scene is precached too";
    EXPECT_FLOAT_EQ(CTQLoadGuard::Instance().GetProgress(), 1.0f);
    EXPECT_EQ(viewport->GetCurrentScene(), -1);
}

// ---- References and stored form ---------------------------------------------

TEST_F(CTQViewportTest, TheViewportHoldsOneReferenceOnItsCameraAndScene)
{
    EXPECT_EQ(camera->GetRefCount(), 2);
    viewport->SetCamera(cameraId);
    EXPECT_EQ(camera->GetRefCount(), 2) << "setting the same camera again does not pile references up";
    std::int32_t sceneId = -1;
    CTQScene* scene = New<CTQScene>(sceneId);
    viewport->SetCurrentScene(sceneId);
    EXPECT_EQ(scene->GetRefCount(), 2);
    viewport->SetCurrentScene(-1);
    EXPECT_EQ(scene->GetRefCount(), 1);
    m_oDatabase.DestroyObject(viewportId);
    EXPECT_EQ(camera->GetRefCount(), 1);
}

TEST_F(CTQViewportTest, AnIdThatNamesNoObjectYetIsResolvedOnUse)
{
    const std::int32_t next = m_oDatabase.CreateObject("CTQCamera") + 1;
    viewport->SetCamera(next);
    EXPECT_FALSE(viewport->HasValidCamera());
    EXPECT_EQ(viewport->GetViewMatrix(), CTQMatrix44::Identity);
    std::int32_t lateId = -1;
    CTQCamera* late = New<CTQCamera>(lateId);
    ASSERT_EQ(lateId, next);
    EXPECT_TRUE(viewport->HasValidCamera());
    EXPECT_EQ(viewport->GetViewMatrix(), late->GetViewMatrix());
    viewport->SetCamera(viewportId);
    EXPECT_FALSE(viewport->HasValidCamera()) << "an object of another class is no camera";
}

TEST_F(CTQViewportTest, StoredFormRoundTripsAndResolvesItsReferencesAgain)
{
    MakePerspective();
    std::int32_t sceneId = -1;
    New<CTQScene>(sceneId);
    viewport->SetCurrentScene(sceneId);
    viewport->AddVisual(sceneId);
    viewport->SetPos(CTQPoint(10, 20));
    viewport->SetClearColor(CTQColor(0.1f, 0.2f, 0.3f, 0.4f));
    viewport->SetWireframeMode(true);
    viewport->SetRealtimeShadowColor(CTQColor(1.0f, 0.0f, 0.0f, 0.5f));
    const Bytes bytes = Store(*viewport);

    std::int32_t copyId = -1;
    CTQProbeViewport* copy = New<CTQProbeViewport>(copyId);
    ASSERT_TRUE(Load(*copy, bytes));
    EXPECT_EQ(Store(*copy), bytes);
    EXPECT_EQ(copy->GetCamera(), cameraId);
    EXPECT_TRUE(copy->HasValidCamera());
    EXPECT_EQ(copy->GetCurrentScene(), sceneId);
    EXPECT_EQ(copy->GetPos(), CTQPoint(10, 20));
    EXPECT_EQ(copy->GetSize(), CTQSize(100, 100));
    EXPECT_EQ(copy->GetProjectionMatrix(), viewport->GetProjectionMatrix());
    EXPECT_EQ(copy->GetClearColor(), CTQColor(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_TRUE(copy->GetWireframeMode());
    EXPECT_FALSE(copy->GetRealtimeShadowMode());
    EXPECT_EQ(copy->GetRealtimeShadowColor(), CTQColor(1.0f, 0.0f, 0.0f, 0.5f));
    EXPECT_TRUE(copy->IsChild(sceneId));
    EXPECT_EQ(camera->GetRefCount(), 3) << "the loaded viewport holds its own reference";
    EXPECT_EQ(copy->GetSerializationMode(), 1);
}

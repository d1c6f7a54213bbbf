#include "DisplayTestSupport.h"

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQMeshVisualRes.h>
#include <Framekit/Resources/CTQResource.h>

#include <cmath>
#include <numbers>

using namespace DisplayTest;

namespace
{
constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

class CTQVisual3dTest : public DisplayFixture
{
protected:
    // col(1..4) of a matrix as a 3-vector.
    static CTQVector3 Col(const CTQMatrix44& m, int col) { return m.GetCol(col).GetVector3(); }
    static void ExpectOrthonormalRightHanded(const CTQMatrix44& m)
    {
        const CTQVector3 r = Col(m, 1);
        const CTQVector3 f = Col(m, 2);
        const CTQVector3 u = Col(m, 3);
        EXPECT_NEAR(r.Length(), 1.0f, 1e-5f);
        EXPECT_NEAR(f.Length(), 1.0f, 1e-5f);
        EXPECT_NEAR(u.Length(), 1.0f, 1e-5f);
        EXPECT_NEAR(r.Dot(f), 0.0f, 1e-5f);
        EXPECT_NEAR(r.Dot(u), 0.0f, 1e-5f);
        EXPECT_NEAR(f.Dot(u), 0.0f, 1e-5f);
        ExpectVectorNear(r.Cross(f), u);
    }
    static void ExpectBox(const CTQGeomAlignedBBox3d& box, const CTQVector3& min, const CTQVector3& max)
    {
        ExpectVectorNear(box.GetMin(), min);
        ExpectVectorNear(box.GetMax(), max);
    }
};

// A root whose two children each have one child (A; B, B2 under A; C under B,
// C2 under B2), placed apart and updated clean.
struct sTree
{
    std::int32_t a = -1, b = -1, b2 = -1, c = -1, c2 = -1;
    CTestVisual3d *pa = nullptr, *pb = nullptr, *pb2 = nullptr, *pc = nullptr, *pc2 = nullptr;
    void ResetCounts()
    {
        for (CTestVisual3d* v : {pa, pb, pb2, pc, pc2})
            v->ResetCounts();
    }
};
} // namespace

TEST_F(CTQVisual3dTest, ANewVisualHasTheUnitBoxAfterItsFirstUpdate)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    EXPECT_EQ(v->GetStyle(), 16u);
    v->Update();
    const CTQVector3 lo(-1, -1, -1);
    const CTQVector3 hi(1, 1, 1);
    ExpectBox(v->GetInitialBounds(), lo, hi);
    ExpectBox(v->GetWorldBoundingBox(), lo, hi);
    ExpectBox(v->GetSystemBoundingBox(), lo, hi);
    EXPECT_TRUE(v->SystemBoundsUpdated());
    EXPECT_EQ(v->GetDirtyFlags(), 0u);
    EXPECT_FALSE(v->IsDirty());
}

// ---- Rotation forms ------------------------------------------------------

TEST_F(CTQVisual3dTest, EulerAnglesThenPositionPlaceAndTurnTheVisual)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetRotation(CTQVector3(0, 0, kHalfPi));
    v->SetPos(CTQVector3(1, 2, 3));
    v->Update();
    const CTQMatrix44& world = v->GetWorldTransformation();
    EXPECT_TRUE(world.GetCol(4).IsEqual(CTQVector4(1, 2, 3, 1), 1e-6f));
    EXPECT_TRUE(world.GetCol(1).IsEqual(CTQVector4(0, 1, 0, 0), 1e-6f));
    EXPECT_EQ(v->GetContent(eTQVisual3d_Change_Rotation), eTQVisual3d_Content_EulerAngles);
}

TEST_F(CTQVisual3dTest, EulerAnglesApplyYFirstThenXThenZ)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    // RotZ(0) × RotX(90°) × RotY(90°): X -> -Z -> Y, Y -> Y -> Z, Z -> X -> X.
    v->SetRotation(CTQVector3(kHalfPi, kHalfPi, 0));
    v->Update();
    ExpectMatrixNear(v->GetTransformation(), CTQMatrix44(0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1));
}

TEST_F(CTQVisual3dTest, AQuaternionTurnsTheVisual)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    const float s = std::sqrt(0.5f);
    v->SetRotation(CTQQuaternion(0, 0, s, s)); // 90° about Z
    v->SetPos(CTQVector3(4, 0, 0));
    v->Update();
    ExpectMatrixNear(v->GetWorldTransformation(), CTQMatrix44(0, -1, 0, 4, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    EXPECT_TRUE(v->GetRotationAsQuaternion().IsEqual(CTQVector4(0, 0, s, s), 0.0f));
}

TEST_F(CTQVisual3dTest, LookAtBuildsTheBasisTowardTheTarget)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetLookAt(CTQVector3(1, 1, 0), CTQVector3(0, 0, 1));
    v->Update();
    const float h = std::sqrt(0.5f);
    // forward (h, h, 0); right = forward × up = (h, -h, 0); up = right × forward = Z.
    ExpectMatrixNear(v->GetTransformation(), CTQMatrix44(h, h, 0, 0, -h, h, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(h, h, 0));
    ExpectVectorNear(v->GetRightDirection(), CTQVector3(h, -h, 0));
    ExpectVectorNear(v->GetUpDirection(), CTQVector3(0, 0, 1));
    EXPECT_EQ(v->GetContent(eTQVisual3d_Change_Rotation), eTQVisual3d_Content_LookAtTarget);
    EXPECT_EQ(v->GetContent(eTQVisual3d_Change_UpVector), eTQVisual3d_Content_UpVector);
}

TEST_F(CTQVisual3dTest, ALookAtTargetAtTheOriginIsAValidTarget)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetPos(CTQVector3(0, -5, 0));
    v->SetLookAt(CTQVector3(0, 0, 0), CTQVector3(0, 0, 1));
    v->Update();
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(0, 1, 0));
    ExpectVectorNear(v->GetLookAt(), CTQVector3(0, 0, 0));
}

TEST_F(CTQVisual3dTest, ATargetAtThePositionItselfLooksAlongX)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetPos(CTQVector3(2, 2, 2));
    v->SetLookAt(CTQVector3(2, 2, 2), CTQVector3(0, 0, 1));
    v->Update();
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(1, 0, 0));
    ExpectOrthonormalRightHanded(v->GetTransformation());
}

TEST_F(CTQVisual3dTest, LookIntoDirectionFallsBackToAnOrthonormalBasis)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    // Up along the direction: the right axis falls back to +X.
    v->SetLookIntoDirection(CTQVector3(0, 0, 3), CTQVector3(0, 0, 1));
    v->Update();
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(0, 0, 1));
    ExpectVectorNear(v->GetRightDirection(), CTQVector3(1, 0, 0));
    ExpectVectorNear(v->GetUpDirection(), CTQVector3(0, -1, 0));
    // Up along +X while looking along +X: +X fails as the right axis, +Y serves.
    v->SetLookIntoDirection(CTQVector3(1, 0, 0), CTQVector3(1, 0, 0));
    v->Update();
    ExpectOrthonormalRightHanded(v->GetTransformation());
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(1, 0, 0));
    // An oblique direction with up along it: still orthonormal.
    v->SetLookIntoDirection(CTQVector3(0.6f, 0.8f, 0), CTQVector3(0.6f, 0.8f, 0));
    v->Update();
    ExpectOrthonormalRightHanded(v->GetTransformation());
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(0.6f, 0.8f, 0));
}

TEST_F(CTQVisual3dTest, ADirectionTooShortIsReplacedByX)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetLookIntoDirection(CTQVector3(1e-8f, 0, 0), CTQVector3(0, 0, 1));
    v->Update();
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(1, 0, 0));
    ExpectVectorNear(v->GetLookIntoDirection(), CTQVector3(1, 0, 0));
}

TEST_F(CTQVisual3dTest, OrientationLooksIntoTheDirectionWithZUp)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetOrientation(CTQVector3(0, -2, 0));
    v->Update();
    ExpectVectorNear(v->GetForwardDirection(), CTQVector3(0, -1, 0));
    ExpectVectorNear(v->GetUpDirection(), CTQVector3(0, 0, 1));
    ExpectVectorNear(v->GetRightDirection(), CTQVector3(-1, 0, 0));
}

// ---- Scale and whole matrices --------------------------------------------

TEST_F(CTQVisual3dTest, ScaleAloneScalesTheAxesAndLeavesThePosition)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetPos(CTQVector3(5, 6, 7));
    v->Update();
    v->SetScale(2.0f);
    v->Update();
    ExpectMatrixNear(v->GetTransformation(), CTQMatrix44(2, 0, 0, 5, 0, 2, 0, 6, 0, 0, 2, 7, 0, 0, 0, 1));
}

TEST_F(CTQVisual3dTest, ASecondScaleReplacesTheFirst)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetScale(2.0f);
    v->Update();
    v->SetScale(CTQVector3(2, 3, 4));
    v->Update();
    v->SetScale(2.0f);
    v->Update();
    ExpectMatrixNear(v->GetTransformation(), CTQMatrix44(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1));
}

TEST_F(CTQVisual3dTest, ANewRotationKeepsTheScale)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetScale(CTQVector3(2, 3, 1));
    v->Update();
    v->SetRotation(CTQVector3(0, 0, kHalfPi));
    v->Update();
    // R × S: column 1 = 2 × (0, 1, 0), column 2 = 3 × (-1, 0, 0).
    ExpectMatrixNear(v->GetTransformation(), CTQMatrix44(0, -3, 0, 0, 2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
}

TEST_F(CTQVisual3dTest, AMatrixGivenWholeWinsOverPendingComponents)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    const CTQMatrix44 given(0, 0, 1, 7, 0, 1, 0, 8, -1, 0, 0, 9, 0, 0, 0, 1);
    v->SetRotation(CTQVector3(0.3f, 0.2f, 0.1f));
    v->SetScale(5.0f);
    v->SetTransformMatrix(given);
    v->Update();
    EXPECT_EQ(v->GetTransformation(), given);
    ExpectVectorNear(v->GetPos(), CTQVector3(7, 8, 9));
    EXPECT_EQ(v->GetContentWord(), 0u);
}

TEST_F(CTQVisual3dTest, APositionAfterAMatrixKeepsTheMatrixsRotation)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    const CTQMatrix44 given(1, 0, 0, 1, 0, 0, -1, 1, 0, 1, 0, 1, 0, 0, 0, 1); // 90° about X
    v->SetRotation(CTQVector3(0, 0, kHalfPi));
    v->SetTransformMatrix(given);
    v->Update();
    v->SetPos(CTQVector3(4, 5, 6));
    v->Update();
    ExpectMatrixNear(v->GetTransformation(), CTQMatrix44(1, 0, 0, 4, 0, 0, -1, 5, 0, 1, 0, 6, 0, 0, 0, 1));
}

TEST_F(CTQVisual3dTest, AScaleAfterAMatrixAppliesToItOnce)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    const CTQMatrix44 given(0, -1, 0, 3, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    v->SetTransformMatrix(given);
    v->Update();
    v->SetScale(2.0f);
    v->Update();
    v->SetScale(CTQVector3(2, 2, 2.5f));
    v->Update();
    ExpectMatrixNear(v->GetTransformation(), CTQMatrix44(0, -2, 0, 3, 2, 0, 0, 0, 0, 0, 2.5f, 0, 0, 0, 0, 1));
}

TEST_F(CTQVisual3dTest, EqualValuesRaiseNoChange)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetPos(CTQVector3(1, 2, 3));
    v->SetScale(2.0f);
    v->Update();
    v->SetPos(CTQVector3(1, 2, 3.0000005f));
    v->SetScale(2.0f);
    EXPECT_FALSE(v->IsDirty());
    EXPECT_EQ(v->GetDirtyFlags(), 0u);
    v->SetPos(CTQVector3(1, 2, 3.1f));
    EXPECT_TRUE(v->IsDirtyFlags(eTQVisual3d_Dirty_Position));
    EXPECT_TRUE(v->IsDirty());
}

TEST_F(CTQVisual3dTest, DirtyBitsAndContentAreKeptPerKind)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->Update();
    v->SetRotation(CTQVector3(1, 0, 0));
    EXPECT_TRUE(v->IsDirtyFlags(eTQVisual3d_Dirty_EulerRotation));
    EXPECT_FALSE(v->IsRotationClean(eTQVisual3d_Dirty_QuaternionRotation));
    EXPECT_TRUE(v->IsRotationClean(eTQVisual3d_Dirty_EulerRotation));
    EXPECT_FALSE(v->IsTransformationClean());
    EXPECT_TRUE(v->IsClean(eTQVisual3d_Dirty_EulerRotation | eTQVisual3d_Dirty_LocalMatrix));
    v->SetContent(eTQVisual3d_Change_Scale, eTQVisual3d_Content_Scale);
    EXPECT_EQ(v->GetContentWord(), 0x620u) << "rotation in bits 4-7, scale in bits 8-11";
    v->SetAllClean();
    EXPECT_EQ(v->GetDirtyFlags(), 0u);
    EXPECT_FALSE(v->IsDirty());
}

// ---- Lazy recomputation in a tree ----------------------------------------

namespace
{
sTree BuildTree(CTQObjectDatabase& database)
{
    sTree t;
    auto make = [&database](std::int32_t& id, CTestVisual3d*& p) {
        id = database.CreateObject("CTestVisual3d");
        CTQObject* o = database.QueryObject(id);
        o->Release();
        p = static_cast<CTestVisual3d*>(o);
    };
    make(t.a, t.pa);
    make(t.b, t.pb);
    make(t.b2, t.pb2);
    make(t.c, t.pc);
    make(t.c2, t.pc2);
    t.pa->AddVisual(t.b);
    t.pa->AddVisual(t.b2);
    t.pb->AddVisual(t.c);
    t.pb2->AddVisual(t.c2);
    t.pa->SetPos(CTQVector3(100, 0, 0));
    t.pb->SetPos(CTQVector3(0, 10, 0));
    t.pb->SetRotation(CTQVector3(0, 0, kHalfPi));
    t.pb2->SetPos(CTQVector3(0, -10, 0));
    t.pc->SetPos(CTQVector3(1, 0, 0));
    t.pc2->SetPos(CTQVector3(2, 0, 0));
    t.pa->Update();
    t.ResetCounts();
    return t;
}
} // namespace

TEST_F(CTQVisual3dTest, TheFirstUpdateComposesWorldMatricesDownTheTree)
{
    sTree t = BuildTree(m_oDatabase);
    // C's world = T(100,0,0) × [T(0,10,0) RotZ(90°)] × T(1,0,0): (1,0,0) turns to (0,1,0).
    ExpectMatrixNear(t.pc->GetWorldTransformation(),
                     CTQMatrix44(0, -1, 0, 100, 1, 0, 0, 11, 0, 0, 1, 0, 0, 0, 0, 1));
    ExpectVectorNear(t.pc2->GetWorldTransformation().GetTranslation(), CTQVector3(102, -10, 0));
    ExpectBox(t.pa->GetSystemBoundingBox(), CTQVector3(99, -11, -1), CTQVector3(103, 12, 1));
}

TEST_F(CTQVisual3dTest, AChangeDeepInsideRecomputesOnlyWhatItMust)
{
    sTree t = BuildTree(m_oDatabase);
    t.pc->SetPos(CTQVector3(3, 0, 0));
    EXPECT_TRUE(t.pa->IsDirty());
    EXPECT_FALSE(t.pb2->IsDirty());
    t.pa->Update();

    EXPECT_EQ(t.pc->localCount, 1);
    EXPECT_EQ(t.pc->worldCount, 1);
    EXPECT_EQ(t.pc->boundsCount, 1);
    EXPECT_EQ(t.pc->systemCount, 1);
    for (CTestVisual3d* ancestor : {t.pb, t.pa})
    {
        EXPECT_EQ(ancestor->localCount, 0);
        EXPECT_EQ(ancestor->worldCount, 0);
        EXPECT_EQ(ancestor->boundsCount, 0);
        EXPECT_EQ(ancestor->systemCount, 1) << "an ancestor's system box follows the moved child";
    }
    for (CTestVisual3d* untouched : {t.pb2, t.pc2})
        EXPECT_EQ(untouched->localCount + untouched->worldCount + untouched->boundsCount + untouched->systemCount, 0);

    ExpectVectorNear(t.pc->GetWorldTransformation().GetTranslation(), CTQVector3(100, 13, 0));
    ExpectBox(t.pc->GetWorldBoundingBox(), CTQVector3(99, 12, -1), CTQVector3(101, 14, 1));
    ExpectBox(t.pa->GetSystemBoundingBox(), CTQVector3(99, -11, -1), CTQVector3(103, 14, 1));
}

TEST_F(CTQVisual3dTest, MovingAMiddleVisualCarriesItsChildrenWithoutRebuildingThem)
{
    sTree t = BuildTree(m_oDatabase);
    t.pb->SetPos(CTQVector3(0, 20, 0));
    t.pa->Update();
    EXPECT_EQ(t.pb->localCount, 1);
    EXPECT_EQ(t.pb->worldCount, 1);
    EXPECT_EQ(t.pc->localCount, 0) << "the child's own matrix did not change";
    EXPECT_EQ(t.pc->worldCount, 1);
    EXPECT_EQ(t.pb2->worldCount, 0);
    ExpectVectorNear(t.pc->GetWorldTransformation().GetTranslation(), CTQVector3(100, 21, 0));
}

TEST_F(CTQVisual3dTest, ANewParentPlacesTheChildUnderItsWorldMatrix)
{
    sTree t = BuildTree(m_oDatabase);
    t.pb2->AddVisual(t.c);
    t.pa->Update();
    ExpectVectorNear(t.pc->GetWorldTransformation().GetTranslation(), CTQVector3(101, -10, 0));
    EXPECT_FALSE(t.pb->IsChild(t.c));
}

// ---- Bounds --------------------------------------------------------------

TEST_F(CTQVisual3dTest, BoundsOfARotatedChildAreTheHullOfItsTurnedBox)
{
    std::int32_t parentId = -1;
    std::int32_t childId = -1;
    CTestVisual3d* parent = New<CTestVisual3d>(parentId);
    CTestVisual3d* child = New<CTestVisual3d>(childId);
    parent->AddVisual(childId);
    child->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(-1, -2, -3), CTQVector3(1, 2, 3)));
    child->SetRotation(CTQVector3(0, 0, kHalfPi));
    child->SetPos(CTQVector3(10, 0, 0));
    parent->Update();
    // Turned by 90° about Z the box spans x ±2, y ±1 around (10, 0, 0).
    ExpectBox(child->GetWorldBoundingBox(), CTQVector3(8, -1, -3), CTQVector3(12, 1, 3));
    ExpectBox(parent->GetSystemBoundingBox(), CTQVector3(-1, -1, -3), CTQVector3(12, 1, 3));
    CTQMatrix44 system;
    child->GetLocalCoordinateSystem(system);
    EXPECT_EQ(system, child->GetWorldTransformation());
    ExpectVectorNear(child->GetOrientedBounds().GetCorner(7), CTQVector3(8, 1, 3));
}

TEST_F(CTQVisual3dTest, AncestorsFollowAChildsNewBoundsAndItsLeaving)
{
    sTree t = BuildTree(m_oDatabase);
    t.pc2->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(-1, -1, -1), CTQVector3(1, 1, 50)));
    t.pa->Update();
    EXPECT_FLOAT_EQ(t.pb2->GetSystemBoundingBox().GetMax().z, 50.0f);
    EXPECT_FLOAT_EQ(t.pa->GetSystemBoundingBox().GetMax().z, 50.0f);

    t.pb2->RemoveVisual(t.c2);
    t.pa->Update();
    EXPECT_FLOAT_EQ(t.pb2->GetSystemBoundingBox().GetMax().z, 1.0f) << "a removed child leaves no stale box";
    EXPECT_FLOAT_EQ(t.pa->GetSystemBoundingBox().GetMax().z, 1.0f);
    EXPECT_EQ(t.pc2->GetParentMatrix(), CTQMatrix44::Identity);
}

TEST_F(CTQVisual3dTest, InitialBoundsSetByHandSurviveUpdate)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(0, 0, 0), CTQVector3(2, 4, 6)));
    v->Update();
    v->Update();
    ExpectBox(v->GetInitialBounds(), CTQVector3(0, 0, 0), CTQVector3(2, 4, 6));
    ExpectBox(v->GetWorldBoundingBox(), CTQVector3(0, 0, 0), CTQVector3(2, 4, 6));
}

TEST_F(CTQVisual3dTest, FlatInitialBoundsAreWidenedToTheMinimumExtent)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(0, 0, 5), CTQVector3(3, 3, 5)));
    ExpectBox(v->GetInitialBounds(), CTQVector3(0, 0, 4.95f), CTQVector3(3, 3, 5.05f));
}

// ---- From resources --------------------------------------------------------

TEST_F(CTQVisual3dTest, InitDataReadsBoundsAndStyleAttributes)
{
    CTQLocalResourceDatabase resources;
    const std::int32_t resId = resources.CreateResource("crate", "CTQResource");
    ASSERT_GE(resId, 0);
    CTQResource* res = resources.QueryResource(resId);
    res->SetAttribute("BoundsXMin", CTQProperty(-2.0f));
    res->SetAttribute("BoundsZMax", CTQProperty(4.0f));
    res->SetAttribute("BoundsYMax", CTQProperty(1));
    res->SetAttribute("VisualStyle", CTQProperty(3));
    res->SetAssociatedClassType("CTestVisual3d");
    resources.ReleaseResource(resId);

    const std::int32_t id = m_oDatabase.CreateObjectFromResource(resId);
    CTestVisual3d* v = Get<CTestVisual3d>(id);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->GetAssociatedResourceId(), resId);
    EXPECT_EQ(v->GetStyle(), 3u);
    v->Update();
    // Missing corners count as 0; x and y keep their span, none is flat.
    ExpectBox(v->GetInitialBounds(), CTQVector3(-2, 0, 0), CTQVector3(0, 1, 4));
    m_oDatabase.DestroyObject(id);
}

TEST_F(CTQVisual3dTest, InitDataTakesTheBoundsOfA3dVisualResource)
{
    CTQLocalResourceDatabase resources;
    const std::int32_t resId = resources.CreateResource("mesh", "CTQMeshVisualRes");
    ASSERT_GE(resId, 0);
    auto* res = static_cast<CTQMeshVisualRes*>(resources.QueryResource(resId));
    res->SetVertexbuffer("mesh.vb", CTQVector3(-1, -2, -3), CTQVector3(4, 5, 6), 8, 12);
    res->SetAttribute("BoundsXMin", CTQProperty(-100.0f));
    resources.ReleaseResource(resId);

    CTestVisual3d* v = New<CTestVisual3d>();
    EXPECT_TRUE(v->InitData(resId));
    v->Update();
    ExpectBox(v->GetInitialBounds(), CTQVector3(-1, -2, -3), CTQVector3(4, 5, 6));
}

TEST_F(CTQVisual3dTest, InitDataWithAMissingResourceKeepsTheDefaults)
{
    CWarningLog log;
    CTestVisual3d* v = New<CTestVisual3d>();
    EXPECT_TRUE(v->InitData(4242));
    v->Update();
    ExpectBox(v->GetInitialBounds(), CTQVector3(-1, -1, -1), CTQVector3(1, 1, 1));
    EXPECT_EQ(v->GetStyle(), 16u);
    EXPECT_TRUE(log.Contains("no resource 4242"));
}

// ---- Screen coordinates ----------------------------------------------------

namespace
{
class CScreenFixture : public CTQVisual3dTest
{
protected:
    void SetUp() override
    {
        viewport = New<CTQProbeViewport>(viewportId);
        camera = New<CTQCamera>(cameraId);
        viewport->SetCamera(cameraId);
        viewport->SetSize(CTQSize(100, 100));
        viewport->SetViewFrustum(-1, 1, -1, 1, 1, 100, false);
    }
    std::int32_t viewportId = -1;
    std::int32_t cameraId = -1;
    CTQProbeViewport* viewport = nullptr;
    CTQCamera* camera = nullptr;
};
} // namespace

TEST_F(CScreenFixture, TheMiddleOfTheViewportMovesAlongTheViewRayToTheCurrentHeight)
{
    camera->SetPosition(CTQVector3(0, 0, 10));
    camera->LookIntoDirection(CTQVector3(0, 1, -1), CTQVector3(0, 0, 1));
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetPos(CTQVector3(3, 1, 2));
    v->SetPosFromScreenCoords(viewportId, 50, 50, eTQVisual3d_Plane_Z);
    // The ray (0, t, 10 - t) meets z = 2 at t = 8.
    ExpectVectorNear(v->GetPos(), CTQVector3(0, 8, 2), 1e-3f);
}

TEST_F(CScreenFixture, ARayParallelToThePlaneOrMeetingItOutsideTheSegmentMovesNothing)
{
    camera->SetPosition(CTQVector3(0, 0, 0)); // looks along +Y
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetPos(CTQVector3(3, 5, 2));
    v->SetPosFromScreenCoords(viewportId, 50, 50, eTQVisual3d_Plane_X);
    ExpectVectorNear(v->GetPos(), CTQVector3(3, 5, 2));
    v->SetPos(CTQVector3(3, -5, 2)); // behind the camera
    v->SetPosFromScreenCoords(viewportId, 50, 50, eTQVisual3d_Plane_Y);
    ExpectVectorNear(v->GetPos(), CTQVector3(3, -5, 2));
    v->SetPos(CTQVector3(3, 5, 2));
    v->SetPosFromScreenCoords(viewportId, 50, 50, eTQVisual3d_Plane_Y);
    ExpectVectorNear(v->GetPos(), CTQVector3(0, 5, 0), 1e-3f);
    v->SetPosFromScreenCoords(12345, 50, 50, eTQVisual3d_Plane_Y);
    ExpectVectorNear(v->GetPos(), CTQVector3(0, 5, 0), 1e-3f);
}

// ---- Stored form ---------------------------------------------------------------

TEST_F(CTQVisual3dTest, RoundTripKeepsTransformsBoundsAndFlags)
{
    sTree t = BuildTree(m_oDatabase);
    t.pb->SetItemData(0xABCD);
    t.pb->ShowBoundingBox(true);
    t.pb->SetScale(CTQVector3(1, 2, 3));
    const Bytes bytes = Store(*t.pb);
    // Visual part, 4 vectors, content and flags, 3 matrices, 3 aligned boxes,
    // the oriented box, 4 flags and the item data.
    CTQDataStream visualPart(CTQDataStream::eStoring);
    t.pb->CTQVisual::Serialize(visualPart);
    EXPECT_EQ(bytes.size(), 8 + visualPart.GetSize() + 4 * (8 + 16) + 8 + 3 * (8 + 64) + 3 * (8 + 24) + (8 + 64 + 24) + 4 + 4);

    CTestVisual3d* copy = New<CTestVisual3d>();
    ASSERT_TRUE(Load(*copy, bytes));
    EXPECT_EQ(Store(*copy), bytes);
    EXPECT_EQ(copy->GetWorldTransformation(), t.pb->GetWorldTransformation());
    EXPECT_EQ(copy->GetSystemBoundingBox(), t.pb->GetSystemBoundingBox());
    EXPECT_EQ(copy->GetItemData(), 0xABCDu);
    EXPECT_TRUE(copy->GetShowBoundingBox());
    EXPECT_TRUE(copy->IsDirtyFlags(eTQVisual3d_Dirty_Scale));
    EXPECT_EQ(copy->GetContent(eTQVisual3d_Change_Scale), eTQVisual3d_Content_Scale);
}

TEST_F(CTQVisual3dTest, ALoadedMatrixWithAScaleTakesANewScaleWithoutCompounding)
{
    CTestVisual3d* v = New<CTestVisual3d>();
    v->SetTransformMatrix(CTQMatrix44(0, -1, 0, 3, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    v->SetScale(2.0f);
    v->Update();
    CTestVisual3d* copy = New<CTestVisual3d>();
    ASSERT_TRUE(Load(*copy, Store(*v)));
    copy->SetScale(3.0f);
    copy->Update();
    ExpectMatrixNear(copy->GetTransformation(), CTQMatrix44(0, -3, 0, 3, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1));
}

TEST_F(CTQVisual3dTest, AChildReplacedAtTheSamePlaceGivesItsOwnBox)
{
    sTree t = BuildTree(m_oDatabase);
    t.pb2->RemoveVisual(t.c2);
    std::int32_t replacementId = -1;
    CTestVisual3d* replacement = New<CTestVisual3d>(replacementId);
    replacement->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(-1, -1, -1), CTQVector3(1, 1, 30)));
    t.pb2->AddVisual(replacementId);
    t.pa->Update();
    EXPECT_FLOAT_EQ(t.pb2->GetSystemBoundingBox().GetMax().z, 30.0f);
    EXPECT_FLOAT_EQ(t.pa->GetSystemBoundingBox().GetMax().z, 30.0f);
}

TEST_F(CTQVisual3dTest, AChildThatIsGoneLeavesTheParentsBoxAtItsNextRecomputation)
{
    sTree t = BuildTree(m_oDatabase);
    t.pc2->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(-1, -1, -1), CTQVector3(1, 1, 40)));
    t.pa->Update();
    ASSERT_FLOAT_EQ(t.pb2->GetSystemBoundingBox().GetMax().z, 40.0f);
    m_oDatabase.DestroyObject(t.c2);
    t.pb2->SetDirtyFlags(eTQVisual3d_Dirty_SystemBounds);
    t.pa->Update();
    EXPECT_FLOAT_EQ(t.pb2->GetSystemBoundingBox().GetMax().z, 1.0f);
}

TEST_F(CTQVisual3dTest, ALoadedChildTellsItsParentItsBox)
{
    sTree t = BuildTree(m_oDatabase);
    t.pc2->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(-1, -1, -1), CTQVector3(1, 1, 70)));
    t.pa->Update();
    const Bytes tall = Store(*t.pc2);
    t.pc2->SetInitialBounds(CTQGeomAlignedBBox3d(CTQVector3(-1, -1, -1), CTQVector3(1, 1, 1)));
    t.pa->Update();
    ASSERT_FLOAT_EQ(t.pb2->GetSystemBoundingBox().GetMax().z, 1.0f);

    ASSERT_TRUE(Load(*t.pc2, tall));
    t.pb2->SetDirtyFlags(eTQVisual3d_Dirty_SystemBounds);
    t.pa->Update();
    EXPECT_FLOAT_EQ(t.pb2->GetSystemBoundingBox().GetMax().z, 70.0f) << "the parent must not keep the box it was told before";
}

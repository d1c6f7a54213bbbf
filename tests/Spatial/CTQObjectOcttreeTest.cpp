#include "SpatialTestSupport.h"

using namespace SpatialTest;

namespace
{
const CTQVector3 kUnit(1.0f, 1.0f, 1.0f);

class CTQObjectOcttreeTest : public SpatialFixture
{
protected:
    void SetUp() override
    {
        SpatialFixture::SetUp();
        octree = New<CTestOcttree>(octreeId);
        ASSERT_NE(octree, nullptr);
        scene->AddVisual(octreeId);
    }
    std::int32_t AddBox(const CTQVector3& centre, const CTQVector3& half = kUnit)
    {
        const std::int32_t id = MakeBox(centre, half);
        octree->AddVisual(id);
        return id;
    }

    std::int32_t octreeId = -1;
    CTestOcttree* octree = nullptr;
};

// Fault: a duplicate add and the removal of a non-member reported success, and
// the removal culled an object the octree did not hold.
TEST_F(CTQObjectOcttreeTest, DuplicatesAndNonMembersAreRefused)
{
    const std::int32_t box = MakeBox(CTQVector3(0, 10, 0), kUnit);
    EXPECT_TRUE(octree->AddObject(box));
    EXPECT_FALSE(octree->AddObject(box));
    EXPECT_EQ(octree->GetObjectCount(), 1);
    EXPECT_FALSE(octree->AddObject(Create("CTQVisual")));

    const std::int32_t stranger = MakeBox(CTQVector3(0, 12, 0), kUnit);
    scene->AddVisual(stranger);
    EXPECT_FALSE(octree->RemoveObject(stranger));
    EXPECT_FALSE(Get<CTQVisual>(stranger)->IsCulled());
    octree->RemoveVisual(stranger);
    EXPECT_EQ(Get<CTQVisual>(stranger)->GetParent(), sceneId);

    EXPECT_TRUE(octree->RemoveObject(box));
    EXPECT_TRUE(Get<CTQVisual>(box)->IsCulled());
    EXPECT_FALSE(octree->RemoveObject(box));
}

TEST_F(CTQObjectOcttreeTest, AnIdWhoseObjectIsGoneIsOnlyErased)
{
    const std::int32_t box = AddBox(CTQVector3(0, 10, 0));
    m_oDatabase.DestroyObject(box);
    EXPECT_TRUE(octree->RemoveObject(box));
    EXPECT_FALSE(octree->HasObject(box));
}

TEST_F(CTQObjectOcttreeTest, DisplayShowsWhatCanBeSeenAndWhatAlwaysShows)
{
    const std::int32_t front = AddBox(CTQVector3(0, 10, 0));
    const std::int32_t behind = AddBox(CTQVector3(0, -10, 0));
    const std::int32_t always = AddBox(CTQVector3(0, -20, 0));
    Get<CTQVisual>(always)->ModifyStyle(0, CTQObjectOcttree::kStyleAlwaysDisplayed);
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, (std::vector<std::int32_t>{sceneId, front, always}));
    std::set<int> visible;
    ASSERT_TRUE(octree->EnumerateVisibleObjects(visible, viewportId));
    EXPECT_EQ(visible, std::set<int>{front}) << "the style does not make an object visible";
    EXPECT_FALSE(visible.count(behind));
}

TEST_F(CTQObjectOcttreeTest, PointPicksReportEveryBoxOnTheRayUnmeasured)
{
    const std::int32_t a = AddBox(CTQVector3(0, 30, 0));
    const std::int32_t b = AddBox(CTQVector3(0, 10, 0));
    AddBox(CTQVector3(6, 10, 0));
    std::vector<_sTQPickingResultEntry> hits(1);
    hits[0].nObjectId = 555;
    ASSERT_TRUE(octree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_Nearest));
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].nObjectId, 555);
    EXPECT_EQ(hits[1].nObjectId, a) << "in id order, not by distance";
    EXPECT_EQ(hits[2].nObjectId, b);
    EXPECT_FLOAT_EQ(hits[1].fDistance, 10000000.0f);
    EXPECT_EQ(hits[1].vHitPoint, CTQVector3(0, 0, 0));
    hits.clear();
    EXPECT_FALSE(octree->PickObjectsAt(hits, viewportId, 5, 5, eTQPicking_All));
    EXPECT_FALSE(octree->PickObjectsAt(hits, 9999, 400, 300, eTQPicking_All));
    EXPECT_TRUE(hits.empty());
}

TEST_F(CTQObjectOcttreeTest, RectangleQueriesMeetBoxesWithBordersCounting)
{
    const std::int32_t centre = AddBox(CTQVector3(0, 10, 0));
    const std::int32_t straddling = AddBox(CTQVector3(3, 10, 0));
    const std::int32_t aside = AddBox(CTQVector3(8, 10, 0));
    std::set<int> ids;
    ASSERT_TRUE(octree->PickObjectsInRect(ids, viewportId, 500, 400, 300, 200, eTQPicking_Inside));
    EXPECT_EQ(ids, (std::set<int>{centre, straddling})) << "the behaviour is not read: boxes that meet the volume";
    ids.clear();
    ASSERT_TRUE(octree->EnumerateObjectsInRect(ids, 4, 0, 7, 20, eTQPicking_ReferencePoint));
    EXPECT_EQ(ids, (std::set<int>{straddling, aside})) << "x 2..4 and 7..9 touch 4..7";
    ids.clear();
    EXPECT_FALSE(octree->EnumerateObjectsInRect(ids, 50, 50, 60, 60, eTQPicking_All));
}

TEST_F(CTQObjectOcttreeTest, ClipTestIsTheQuadtreesOwn)
{
    const CTQMatrix44 id;
    const CTQVector3 lo(-1, -1, -1);
    const CTQVector3 hi(1, 1, 1);
    const CTQVector3 min(0.5f, 0, 0);
    const CTQVector3 max(3, 0.5f, 0.5f);
    for (eTQPickingBehaviour mode : {eTQPicking_All, eTQPicking_Inside, eTQPicking_Intersect,
                                     eTQPicking_ReferencePoint})
        EXPECT_EQ(CTestOcttree::CheckInFrustrum(lo, hi, min, max, id, mode),
                  CTestQuadtree::CheckInFrustrum(lo, hi, min, max, id, mode));
}

TEST_F(CTQObjectOcttreeTest, UpdateUpdatesEveryObjectHeld)
{
    const std::int32_t box = AddBox(CTQVector3(0, 10, 0));
    Get<CTQVisual3d>(box)->SetPos(CTQVector3(0, 20, 0));
    EXPECT_TRUE(octree->IsDirty());
    scene->Update();
    CTQVector3 min;
    CTQVector3 max;
    Get<CTQVisual3d>(box)->GetSystemBoundingBox(min, max);
    ExpectVectorNear(min, CTQVector3(-1, 19, -1));
}

TEST_F(CTQObjectOcttreeTest, StoredFormIsTheIdsAfterTheVisualPart)
{
    const std::int32_t a = AddBox(CTQVector3(0, 10, 0));
    const std::int32_t b = AddBox(CTQVector3(0, 20, 0));
    CTQDataStream visual(CTQDataStream::eStoring);
    visual.SerializeBegin(CTQVisual::GetDataFormatVersion());
    octree->CTQVisual::Serialize(visual);
    visual.SerializeEnd();
    ByteWriter expected;
    expected.Raw(Bytes(visual.GetBuffer(), visual.GetBuffer() + visual.GetSize())).I32(2).I32(a).I32(b);
    const Bytes stored = Store(*octree);
    EXPECT_EQ(stored, expected.Get());

    std::int32_t copyId = -1;
    CTestOcttree* copy = New<CTestOcttree>(copyId);
    const std::int32_t old = MakeBox(CTQVector3(0, 5, 0), kUnit);
    copy->AddObject(old);
    ASSERT_TRUE(Load(*copy, stored));
    EXPECT_EQ(copy->GetObjects(), (std::set<std::int32_t>{a, b})) << "loading empties the set first";

    Bytes absurd = stored;
    absurd[absurd.size() - 12] = 0xFF;
    absurd[absurd.size() - 9] = 0x7F;
    std::int32_t badId = -1;
    CTestOcttree* bad = New<CTestOcttree>(badId);
    EXPECT_FALSE(Load(*bad, absurd));
    EXPECT_EQ(bad->GetObjectCount(), 0);
    copy->RemoveObject(a);
    copy->RemoveObject(b);
}

// The octree gives its objects back through the object database, as the
// quadtree does.
TEST_F(CTQObjectOcttreeTest, DestroyingTheOctreeReleasesItsObjects)
{
    const std::int32_t a = AddBox(CTQVector3(0, 10, 0));
    const std::int32_t kept = AddBox(CTQVector3(0, 20, 0));
    m_oDatabase.QueryObject(kept);
    m_oDatabase.DestroyObject(octreeId);
    EXPECT_FALSE(IsAlive(a));
    ASSERT_TRUE(IsAlive(kept));
    EXPECT_EQ(Get<CTQVisual>(kept)->GetParent(), -1);
    EXPECT_EQ(m_oDatabase.ReleaseObject(kept), 0);
}

TEST_F(CTQObjectOcttreeTest, AVisualMovedFromAQuadtreeIsShownAgain)
{
    std::int32_t treeId = -1;
    CTestQuadtree* tree = MakeQuadtree(treeId, 4, 4, 10, 10, -20, -20);
    const std::int32_t box = MakeBox(CTQVector3(0, 10, 0), kUnit);
    tree->AddVisual(box);
    octree->AddVisual(box);
    EXPECT_FALSE(tree->HasObject(box));
    EXPECT_TRUE(octree->HasObject(box));
    EXPECT_FALSE(Get<CTQVisual>(box)->IsCulled());
    EXPECT_EQ(Get<CTQVisual>(box)->GetParent(), octreeId);
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, (std::vector<std::int32_t>{sceneId, box}));
}
} // namespace

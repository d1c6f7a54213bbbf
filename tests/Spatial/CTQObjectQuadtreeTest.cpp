#include "SpatialTestSupport.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <thread>

using namespace SpatialTest;

namespace
{
const CTQVector3 kUnit(1.0f, 1.0f, 1.0f);

// A quadtree of 8 x 8 patches of 8 x 8 units over [-32, 32]² under the scene,
// seen by the fixture's camera (at the origin, looking along +Y).
class CTQObjectQuadtreeTest : public SpatialFixture
{
protected:
    void SetUp() override
    {
        SpatialFixture::SetUp();
        tree = MakeQuadtree(treeId, 8, 8, 8.0f, 8.0f, -32.0f, -32.0f);
        ASSERT_NE(tree, nullptr);
        ASSERT_TRUE(tree->IsInitialised());
        scene->AddVisual(treeId);
    }
    // A box added to the tree with AddVisual.
    std::int32_t AddBox(const CTQVector3& centre, const CTQVector3& half = kUnit)
    {
        const std::int32_t id = MakeBox(centre, half);
        tree->AddVisual(id);
        return id;
    }
    std::set<std::int32_t> LeafObjects(int x, int y)
    {
        const CTQObjectQuadLeaf* leaf = tree->GetLeaf(x, y);
        return leaf ? leaf->GetObjects() : std::set<std::int32_t>{};
    }
    std::vector<std::int32_t> Ids(const std::vector<_sTQPickingResultEntry>& hits)
    {
        std::vector<std::int32_t> ids;
        for (const _sTQPickingResultEntry& hit : hits)
            ids.push_back(hit.nObjectId);
        return ids;
    }

    std::int32_t treeId = -1;
    CTestQuadtree* tree = nullptr;
};

// ---- Powers of two ---------------------------------------------------------

TEST(CTQObjectQuadtreePowers, HelpersGiveTheDocumentedValues)
{
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper(0), 0);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper(1), 1);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper(5), 8);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper(8), 8);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Lower(5), 4);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Exponent(8), 3);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Exponent(5), 3);
    EXPECT_TRUE(CTQObjectQuadtree::CheckPowerOf2(0));
    EXPECT_TRUE(CTQObjectQuadtree::CheckPowerOf2(64));
    EXPECT_FALSE(CTQObjectQuadtree::CheckPowerOf2(6));
    EXPECT_FALSE(CTQObjectQuadtree::CheckPowerOf2(-3));
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper(-3), -1);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Lower(-3), -1);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Exponent(-3), -1);
}

// Faults: a shift loop on 0 never ends, and from 2^30 up the next power does
// not fit an int.
TEST(CTQObjectQuadtreePowers, ZeroAndLargeValuesNeitherHangNorOverflow)
{
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Lower(0), 0);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Exponent(0), 0);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Exponent(1), 0);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper(1 << 30), 1 << 30);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper((1 << 30) + 1), -1);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Upper(INT_MAX), -1);
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Lower(INT_MAX), 1 << 30);
    EXPECT_TRUE(CTQObjectQuadtree::CheckPowerOf2(1 << 30));
    EXPECT_FALSE(CTQObjectQuadtree::CheckPowerOf2(INT_MAX));
    EXPECT_EQ(CTQObjectQuadtree::GetPowerOf2_Exponent(INT_MAX), 31);
}

// ---- Building ---------------------------------------------------------------

TEST_F(CTQObjectQuadtreeTest, ANonSquareGridWithAnOffsetPlacesEveryLeafOnItsPatch)
{
    std::int32_t id = -1;
    CTestQuadtree* grid = MakeQuadtree(id, 5, 3, 2.0f, 4.0f, -10.0f, 20.0f);
    ASSERT_TRUE(grid->IsInitialised());
    EXPECT_EQ(grid->GetPaddedGridWidth(), 8);
    EXPECT_EQ(grid->GetPaddedGridHeight(), 8);
    EXPECT_FLOAT_EQ(grid->GetTotalWidth(), 16.0f);
    EXPECT_FLOAT_EQ(grid->GetTotalHeight(), 32.0f);
    EXPECT_EQ(grid->GetLeafCount(), 15);
    // Root, its two quadrants that start inside the grid (x 0-3 and 4-7 of the
    // rows 0-3), and below them the 2 x 2 blocks that start inside: 4 + 2.
    EXPECT_EQ(grid->GetInnerNodeCount(), 9);
    const CTQObjectQuadNode* root = grid->GetRootNode();
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->GetChild(0), nullptr);
    EXPECT_NE(root->GetChild(1), nullptr);
    EXPECT_EQ(root->GetChild(2), nullptr) << "the quadrant from y = 4 lies outside a grid 3 high";
    EXPECT_EQ(root->GetChild(3), nullptr);
    EXPECT_EQ(root->CountLeaves(), 15);
    EXPECT_EQ(root->CountNodes(), 9 + 15);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
        {
            const CTQObjectQuadLeaf* leaf = grid->GetLeaf(x, y);
            ASSERT_NE(leaf, nullptr);
            EXPECT_FLOAT_EQ(leaf->GetMinX(), -10.0f + 2.0f * x);
            EXPECT_FLOAT_EQ(leaf->GetMaxX(), -10.0f + 2.0f * (x + 1));
            EXPECT_FLOAT_EQ(leaf->GetMinY(), 20.0f + 4.0f * y);
            EXPECT_FLOAT_EQ(leaf->GetMaxY(), 20.0f + 4.0f * (y + 1));
            EXPECT_EQ(leaf->GetGeneration(), 3);
            EXPECT_NE(leaf->GetParentNode(), nullptr);
        }
    EXPECT_EQ(grid->GetLeaf(5, 0), nullptr);
    EXPECT_EQ(grid->GetLeaf(0, 3), nullptr);
}

TEST_F(CTQObjectQuadtreeTest, ASquareGridHangsEveryLeafUnderTheRootInChildOrder)
{
    EXPECT_EQ(tree->GetLeafCount(), 64);
    EXPECT_EQ(tree->GetInnerNodeCount(), 1 + 4 + 16);
    const CTQObjectQuadNode* root = tree->GetRootNode();
    EXPECT_TRUE(root->IsRootNode());
    // Child 1 of the root is the high-X low-Y quadrant (patches 4-7, 0-3); its
    // child 2 the low-X high-Y block in it (4-5, 2-3); that block's child 3 is
    // leaf (5, 3).
    const auto* quadrant = static_cast<const CTQObjectQuadNode*>(root->GetChild(1));
    const auto* block = static_cast<const CTQObjectQuadNode*>(quadrant->GetChild(2));
    EXPECT_EQ(block->GetChild(3), tree->GetLeaf(5, 3));
    EXPECT_EQ(tree->GetLeaf(5, 3)->GetParentNode(), block);
    EXPECT_EQ(block->GetParentNode(), quadrant);
}

// Decision: a grid of fewer than 2 patches on its longer side is padded to
// 2 x 2, so that the root exists and holds the one leaf.
TEST_F(CTQObjectQuadtreeTest, AOneByOneGridHasARootWithItsLeaf)
{
    std::int32_t id = -1;
    CTestQuadtree* single = MakeQuadtree(id, 1, 1, 10.0f, 10.0f, 0.0f, 0.0f);
    ASSERT_TRUE(single->IsInitialised());
    EXPECT_EQ(single->GetPaddedGridWidth(), 2);
    EXPECT_EQ(single->GetInnerNodeCount(), 1);
    EXPECT_EQ(single->GetLeafCount(), 1);
    const std::int32_t box = MakeBox(CTQVector3(5, 5, 0), kUnit);
    single->AddVisual(box);
    EXPECT_TRUE(single->GetLeaf(0, 0)->HoldsObject(box));
    std::set<int> ids;
    EXPECT_TRUE(single->EnumerateObjectsInRect(ids, 0, 0, 10, 10, eTQPicking_All));
    EXPECT_EQ(ids, std::set<int>{box});
}

// Fault: unchecked sizes build a tree without a root (1 x 1), allocate
// absurdly (huge sides) or underflow (sides of 0 or less).
TEST_F(CTQObjectQuadtreeTest, UnusableGridsAreRefusedWithADiagnostic)
{
    struct sCase
    {
        int nx, ny;
        float w, h, ox;
    };
    const sCase cases[] = {{0, 3, 1, 1, 0},       {-1, 5, 1, 1, 0}, {1025, 2, 1, 1, 0}, {2, 100000000, 1, 1, 0},
                           {4, 4, 0, 1, 0},       {4, 4, 1, -2, 0}, {4, 4, NAN, 1, 0},  {4, 4, 1, 1, INFINITY},
                           {4, 4, 1e38f, 1, 0}};
    for (const sCase& c : cases)
    {
        CWarningLog log;
        std::int32_t id = -1;
        CTestQuadtree* bad = MakeQuadtree(id, c.nx, c.ny, c.w, c.h, c.ox, 0.0f);
        EXPECT_FALSE(bad->IsInitialised()) << c.nx << " x " << c.ny;
        EXPECT_EQ(bad->GetRootNode(), nullptr);
        EXPECT_EQ(bad->GetLeafCount(), -1);
        EXPECT_TRUE(log.Contains("cannot be built"));
        const std::int32_t box = MakeBox(CTQVector3(0, 0, 0), kUnit);
        EXPECT_FALSE(bad->AddObject(box, 0)) << "no leaf to take it";
        EXPECT_TRUE(bad->HasObject(box));
        std::set<int> ids;
        EXPECT_FALSE(bad->EnumerateObjectsInRect(ids, -100, -100, 100, 100, eTQPicking_All));
        std::vector<_sTQPickingResultEntry> hits;
        EXPECT_FALSE(bad->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_All));
    }
}

// Fault: a second Init dropped the old arrays without freeing them and left
// the objects in no leaf.
TEST_F(CTQObjectQuadtreeTest, ASecondInitRefilesTheObjectsInTheNewTree)
{
    const std::int32_t box = AddBox(CTQVector3(-28, -28, 0));
    ASSERT_TRUE(LeafObjects(0, 0).count(box));
    tree->SetLeafDimensions(4.0f, 4.0f);
    tree->SetGridDimensions(16, 16);
    tree->Init();
    ASSERT_TRUE(tree->IsInitialised());
    EXPECT_EQ(tree->GetLeafCount(), 256);
    // The box spans -29..-27 on both axes: patches 0 (-32..-28) and 1 (-28..-24).
    EXPECT_TRUE(LeafObjects(0, 0).count(box));
    EXPECT_TRUE(LeafObjects(1, 1).count(box));
    EXPECT_FALSE(LeafObjects(2, 2).count(box));
    EXPECT_TRUE(tree->VerifyObject(box));
}

// ---- Objects -------------------------------------------------------------------

TEST_F(CTQObjectQuadtreeTest, AnObjectStraddlingPatchesIsInEachLeafAndReportedOnce)
{
    // x -1..1 lies in patches 3 (-8..0) and 4 (0..8); y 9..11 in patch 5.
    const std::int32_t box = AddBox(CTQVector3(0, 10, 0));
    EXPECT_TRUE(LeafObjects(3, 5).count(box));
    EXPECT_TRUE(LeafObjects(4, 5).count(box));
    EXPECT_FALSE(LeafObjects(5, 5).count(box));

    std::vector<_sTQPickingResultEntry> hits;
    ASSERT_TRUE(tree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_All));
    EXPECT_EQ(Ids(hits), std::vector<std::int32_t>{box});

    viewport->Render();
    const std::vector<std::int32_t>& displayed = viewport->GetLastFrame().aDisplayed;
    EXPECT_EQ(std::count(displayed.begin(), displayed.end(), box), 1);
}

TEST_F(CTQObjectQuadtreeTest, AddingTwiceOrAddingWhatIsNotA3dVisualIsRefused)
{
    const std::int32_t box = MakeBox(CTQVector3(0, 10, 0), kUnit);
    EXPECT_TRUE(tree->AddObject(box, 3));
    EXPECT_FALSE(tree->AddObject(box, 4));
    EXPECT_EQ(tree->GetObjectEntry(box)->nUserValue, 3);
    const std::int32_t plain = Create("CTQVisual");
    EXPECT_FALSE(tree->AddObject(plain, 0));
    EXPECT_FALSE(tree->HasObject(plain));
    EXPECT_FALSE(tree->AddObject(9999, 0));
}

TEST_F(CTQObjectQuadtreeTest, AMoveReportedToTheTreeRefilesTheObjectInItsNextUpdate)
{
    const std::int32_t id = AddBox(CTQVector3(-28, -28, 0));
    tree->Update();
    EXPECT_EQ(LeafObjects(0, 0), std::set<std::int32_t>{id});
    Get<CTQVisual3d>(id)->SetPos(CTQVector3(28, 28, 0));
    EXPECT_TRUE(tree->GetDirtyObjects().count(id)) << "the object reported to its parent";
    EXPECT_TRUE(LeafObjects(0, 0).count(id)) << "nothing moves before the update";
    tree->Update();
    EXPECT_TRUE(LeafObjects(0, 0).empty());
    EXPECT_FALSE(tree->GetLeaf(0, 0)->HasZRange());
    EXPECT_EQ(LeafObjects(7, 7), std::set<std::int32_t>{id});
    EXPECT_TRUE(tree->GetDirtyObjects().empty());
    ExpectVectorNear(tree->GetObjectEntry(id)->vMin, CTQVector3(27, 27, -1));
}

TEST_F(CTQObjectQuadtreeTest, AnObjectMovedOutOfTheGridLeavesEveryLeafButStaysHeld)
{
    const std::int32_t id = AddBox(CTQVector3(28, 28, 0));
    Get<CTQVisual3d>(id)->SetPos(CTQVector3(100, 100, 0));
    tree->Update();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_FALSE(LeafObjects(x, y).count(id));
    EXPECT_TRUE(tree->HasObject(id));
    ExpectVectorNear(tree->GetObjectEntry(id)->vMax, CTQVector3(101, 101, 1));
    EXPECT_FALSE(tree->GetRootNode()->HasZRange());
    // Back into the grid, it is found again.
    Get<CTQVisual3d>(id)->SetPos(CTQVector3(-28, 28, 0));
    tree->Update();
    EXPECT_TRUE(LeafObjects(0, 7).count(id));
}

TEST_F(CTQObjectQuadtreeTest, ZRangesAreTheUnionOfTheBoxesBelow)
{
    const std::int32_t low = AddBox(CTQVector3(-28, -28, 1), CTQVector3(1, 1, 1));
    const std::int32_t high = AddBox(CTQVector3(-20, -28, 7), CTQVector3(1, 1, 2));
    const CTQObjectQuadLeaf* first = tree->GetLeaf(0, 0);
    const CTQObjectQuadLeaf* second = tree->GetLeaf(1, 0);
    EXPECT_FLOAT_EQ(first->GetMinZ(), 0.0f);
    EXPECT_FLOAT_EQ(first->GetMaxZ(), 2.0f);
    EXPECT_FLOAT_EQ(second->GetMinZ(), 5.0f);
    EXPECT_FLOAT_EQ(second->GetMaxZ(), 9.0f);
    const CTQObjectQuadNode* block = first->GetParentNode();
    EXPECT_EQ(block, second->GetParentNode());
    EXPECT_FLOAT_EQ(block->GetMinZ(), 0.0f);
    EXPECT_FLOAT_EQ(block->GetMaxZ(), 9.0f);
    EXPECT_FLOAT_EQ(tree->GetRootNode()->GetMaxZ(), 9.0f);
    EXPECT_FALSE(tree->GetLeaf(5, 5)->HasZRange());

    tree->RemoveVisual(high);
    EXPECT_FLOAT_EQ(tree->GetRootNode()->GetMaxZ(), 2.0f);
    EXPECT_FALSE(second->HasZRange());
    tree->RemoveVisual(low);
    EXPECT_FALSE(tree->GetRootNode()->HasZRange());
}

TEST_F(CTQObjectQuadtreeTest, RemovingGivesTheObjectBackCulledAndParentless)
{
    const std::int32_t id = AddBox(CTQVector3(0, 10, 0));
    CTQVisual3d* visual = Get<CTQVisual3d>(id);
    EXPECT_EQ(visual->GetParent(), treeId);
    EXPECT_EQ(visual->GetRoot(), sceneId);
    tree->RemoveVisual(id);
    EXPECT_FALSE(tree->HasObject(id));
    EXPECT_TRUE(LeafObjects(3, 5).empty());
    EXPECT_EQ(visual->GetParent(), -1);
    EXPECT_TRUE(visual->IsCulled());
    EXPECT_TRUE(IsAlive(id)) << "the reference went back to the caller";
    EXPECT_FALSE(tree->RemoveObject(id));
}

// Fault: removal looked the object up to find its leaves, so one that had
// died kept its id in them.
TEST_F(CTQObjectQuadtreeTest, RemovingAnObjectThatHasDiedClearsItsLeaves)
{
    const std::int32_t id = AddBox(CTQVector3(0, 10, 0));
    m_oDatabase.DestroyObject(id);
    ASSERT_FALSE(IsAlive(id));
    EXPECT_TRUE(tree->RemoveObject(id));
    EXPECT_TRUE(LeafObjects(3, 5).empty());
    EXPECT_TRUE(LeafObjects(4, 5).empty());
    EXPECT_FALSE(tree->GetRootNode()->HasZRange());
}

// Fault: AddVisual and RemoveVisual made the tree the parent of visuals it had
// refused, and orphaned visuals it did not hold.
TEST_F(CTQObjectQuadtreeTest, RefusedOrForeignVisualsKeepTheirParent)
{
    const std::int32_t plain = Create("CTQVisual");
    scene->AddVisual(plain);
    tree->AddVisual(plain);
    EXPECT_EQ(Get<CTQVisual>(plain)->GetParent(), sceneId);

    const std::int32_t other = MakeBox(CTQVector3(0, 10, 0), kUnit);
    scene->AddVisual(other);
    tree->RemoveVisual(other);
    EXPECT_EQ(Get<CTQVisual>(other)->GetParent(), sceneId);
    EXPECT_FALSE(Get<CTQVisual>(other)->IsCulled());

    // A visual the tree takes leaves its earlier parent.
    tree->AddVisual(other);
    EXPECT_EQ(Get<CTQVisual>(other)->GetParent(), treeId);
    EXPECT_FALSE(scene->IsChild(other));
}

// Fault: VerifyObject answered true when any leaf was sound, hiding a stale one.
TEST_F(CTQObjectQuadtreeTest, VerifyFindsAStaleLeafAmongSoundOnes)
{
    // Spans patches 3 and 4 of row 5; moved to span 4 and 5 without an update.
    const std::int32_t id = AddBox(CTQVector3(0, 10, 0));
    EXPECT_TRUE(tree->VerifyObject(id));
    Get<CTQVisual3d>(id)->SetPos(CTQVector3(8, 10, 0));
    Get<CTQVisual3d>(id)->Update();
    EXPECT_FALSE(tree->VerifyObject(id));
    tree->UpdateObject(id);
    EXPECT_TRUE(tree->VerifyObject(id));
    EXPECT_EQ(LeafObjects(4, 5), std::set<std::int32_t>{id});
    EXPECT_EQ(LeafObjects(5, 5), std::set<std::int32_t>{id});
    EXPECT_FALSE(tree->VerifyObject(Create("CTQVisual")));
}

TEST_F(CTQObjectQuadtreeTest, UpdateObjectRefusesIdsItDoesNotHold)
{
    EXPECT_FALSE(tree->UpdateObject(MakeBox(CTQVector3(0, 10, 0), kUnit)));
    const std::int32_t id = AddBox(CTQVector3(0, 10, 0));
    m_oDatabase.DestroyObject(id);
    EXPECT_FALSE(tree->UpdateObject(id)) << "an object that is gone has no box";
}

// ---- Container references ------------------------------------------------------------

// Fault: the tree released its objects with Release, which left their table
// entries dangling in a database that did not hear of it.
TEST_F(CTQObjectQuadtreeTest, DestroyingTheTreeGivesItsObjectsBackThroughTheDatabase)
{
    const std::int32_t a = AddBox(CTQVector3(0, 10, 0));
    const std::int32_t b = AddBox(CTQVector3(5, 10, 0));
    const std::int32_t kept = AddBox(CTQVector3(-5, 10, 0));
    m_oDatabase.QueryObject(kept);
    const std::int32_t before = m_oDatabase.GetCount();
    m_oDatabase.DestroyObject(treeId);
    EXPECT_FALSE(IsAlive(treeId));
    EXPECT_FALSE(IsAlive(a));
    EXPECT_FALSE(IsAlive(b));
    ASSERT_TRUE(IsAlive(kept));
    EXPECT_EQ(Get<CTQVisual>(kept)->GetParent(), -1) << "a survivor is no longer the child of a tree that is gone";
    EXPECT_EQ(m_oDatabase.GetCount(), before - 3);
    EXPECT_EQ(m_oDatabase.ReleaseObject(kept), 0) << "the caller's reference was the last";
}

// Objects older than the tree are released first when the database goes; the
// tree must not touch them again.
TEST(CTQObjectQuadtreeLifetime, ADatabaseGoingAwayReleasesTreeAndObjectsOnce)
{
    auto* database = new CTQObjectDatabase();
    const std::int32_t older = database->CreateObject("CCountingVisual3d");
    const std::int32_t treeId = database->CreateObject("CTestQuadtree");
    auto* tree = static_cast<CTestQuadtree*>(database->QueryObject(treeId));
    tree->SetLeafDimensions(1, 1);
    tree->SetGridDimensions(4, 4);
    tree->Init();
    tree->AddVisual(older);
    tree->AddVisual(database->CreateObject("CCountingVisual3d"));
    database->ReleaseObject(treeId);
    EXPECT_EQ(tree->GetObjectCount(), 2);
    delete database;
    EXPECT_EQ(TQGetObjectDatabase(), nullptr);
}

// ---- Picking ------------------------------------------------------------------------

// Three boxes on the view ray: their near faces at y = 9, 19 and 29, seen from
// the near plane at y = 1.
class CTQObjectQuadtreePickTest : public CTQObjectQuadtreeTest
{
protected:
    void SetUp() override
    {
        CTQObjectQuadtreeTest::SetUp();
        far = AddBox(CTQVector3(0, 30, 0));
        nearest = AddBox(CTQVector3(0, 10, 0));
        middle = AddBox(CTQVector3(0, 20, 0));
    }
    std::int32_t nearest = -1;
    std::int32_t middle = -1;
    std::int32_t far = -1;
};

TEST_F(CTQObjectQuadtreePickTest, AllSortedGivesEveryHitNearestFirstWithItsPointAndDistance)
{
    std::vector<_sTQPickingResultEntry> hits;
    ASSERT_TRUE(tree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_AllSorted));
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(Ids(hits), (std::vector<std::int32_t>{nearest, middle, far}));
    EXPECT_NEAR(hits[0].fDistance, 64.0f, 1e-2f);
    EXPECT_NEAR(hits[1].fDistance, 324.0f, 1e-2f);
    EXPECT_NEAR(hits[2].fDistance, 784.0f, 1e-2f);
    ExpectVectorNear(hits[0].vHitPoint, CTQVector3(0, 9, 0));
    ExpectVectorNear(hits[2].vHitPoint, CTQVector3(0, 29, 0));

    // Unsorted: the same hits, each once.
    std::vector<_sTQPickingResultEntry> unsorted;
    ASSERT_TRUE(tree->PickObjectsAt(unsorted, viewportId, 400, 300, eTQPicking_All));
    std::vector<std::int32_t> ids = Ids(unsorted);
    std::vector<std::int32_t> expected = Ids(hits);
    std::sort(ids.begin(), ids.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ids, expected);
}

TEST_F(CTQObjectQuadtreePickTest, NearestAppendsExactlyOneHitAndAMissNoneKeepingTheCallersEntries)
{
    std::vector<_sTQPickingResultEntry> hits(1);
    hits[0].nObjectId = 777;
    ASSERT_TRUE(tree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_Nearest));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].nObjectId, 777);
    EXPECT_EQ(hits[1].nObjectId, nearest);
    EXPECT_FALSE(tree->PickObjectsAt(hits, viewportId, 10, 10, eTQPicking_Nearest));
    EXPECT_EQ(hits.size(), 2u);
}

TEST_F(CTQObjectQuadtreePickTest, ABoxBehindTheFarPlaneIsNotHit)
{
    const std::int32_t beyond = AddBox(CTQVector3(0, 31, 60), CTQVector3(1, 1, 1));
    camera->SetPosition(CTQVector3(0, -190, 60));
    std::vector<_sTQPickingResultEntry> hits;
    EXPECT_FALSE(tree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_All)) << "the box lies 221 away";
    camera->SetPosition(CTQVector3(0, -150, 60));
    ASSERT_TRUE(tree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_All));
    EXPECT_EQ(Ids(hits), std::vector<std::int32_t>{beyond});
}

// Fault: a missing viewport or camera or a zero size crashed the pick with the
// mutex held.
TEST_F(CTQObjectQuadtreePickTest, PicksWithoutAUsableViewportFailCleanlyAndReleaseTheLock)
{
    CWarningLog log;
    std::vector<_sTQPickingResultEntry> hits;
    std::set<int> ids;
    EXPECT_FALSE(tree->PickObjectsAt(hits, 9999, 400, 300, eTQPicking_All));
    EXPECT_FALSE(tree->PickObjectsInRect(ids, 9999, 0, 0, 800, 600, eTQPicking_Intersect));
    EXPECT_FALSE(tree->PickObjectsAt(hits, sceneId, 400, 300, eTQPicking_All)) << "not a viewport";
    const std::int32_t bare = server->NewViewport();
    EXPECT_FALSE(tree->PickObjectsAt(hits, bare, 400, 300, eTQPicking_All)) << "no camera";
    Get<CTQViewport>(bare)->SetCamera(cameraId);
    EXPECT_FALSE(tree->PickObjectsAt(hits, bare, 400, 300, eTQPicking_All)) << "no size";
    EXPECT_FALSE(tree->PickObjectsInRect(ids, bare, 0, 0, 10, 10, eTQPicking_Intersect));
    EXPECT_FALSE(tree->EnumerateVisibleObjects(ids, bare));
    EXPECT_TRUE(hits.empty());
    EXPECT_TRUE(log.Contains("names no viewport"));
    EXPECT_TRUE(log.Contains("has no camera"));
    EXPECT_TRUE(log.Contains("has no size"));
    // Had the lock been left held, this would wait for ever on another thread.
    std::thread other([&] { EXPECT_TRUE(tree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_All)); });
    other.join();
    EXPECT_EQ(hits.size(), 3u);
}

TEST_F(CTQObjectQuadtreePickTest, TheTemporaryBufferGrowsInStepsOf256AndKeepsEarlierPicksIntact)
{
    // 300 boxes on the ray in a column above the grid's floor.
    std::vector<std::int32_t> column;
    for (int i = 0; i < 300; ++i)
        column.push_back(AddBox(CTQVector3(0, 31.5f, 0), CTQVector3(0.5f, 0.5f, 0.5f)));
    std::vector<_sTQPickingResultEntry> hits;
    ASSERT_TRUE(tree->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_AllSorted));
    EXPECT_EQ(hits.size(), 303u);
    EXPECT_EQ(hits.front().nObjectId, nearest);
    // Equal distances are ordered by id.
    EXPECT_TRUE(std::is_sorted(hits.begin() + 3, hits.end(), [](const auto& a, const auto& b) {
        return a.nObjectId < b.nObjectId;
    }));
}

// Fault: the best distance started at 1e7, so a hit farther than about 3162
// units was reported with a point never set.
TEST(CTQObjectQuadtreeSegment, AFarHitCarriesItsPoint)
{
    CTQVector3 point(-1, -1, -1);
    float distance = 0.0f;
    ASSERT_TRUE(CTQObjectQuadtree::IntersectSegmentBox(CTQVector3(0, 0, 0), CTQVector3(0, 10000, 0),
                                                       CTQVector3(-1, 5000, -1), CTQVector3(1, 5002, 1), point,
                                                       distance));
    EXPECT_FLOAT_EQ(point.y, 5000.0f);
    EXPECT_FLOAT_EQ(distance, 25000000.0f);
}

TEST(CTQObjectQuadtreeSegment, SegmentsInsideMissingOrLeavingTheBox)
{
    const CTQVector3 min(0, 0, 0);
    const CTQVector3 max(2, 2, 2);
    CTQVector3 point;
    float distance = -1.0f;
    EXPECT_FALSE(CTQObjectQuadtree::IntersectSegmentBox(CTQVector3(0.5f, 0.5f, 0.5f), CTQVector3(1.5f, 1, 1), min,
                                                        max, point, distance))
        << "wholly inside crosses no face";
    EXPECT_FALSE(CTQObjectQuadtree::IntersectSegmentBox(CTQVector3(3, 0, 0), CTQVector3(3, 5, 5), min, max, point,
                                                        distance));
    EXPECT_FLOAT_EQ(distance, -1.0f) << "outputs are untouched by a miss";
    ASSERT_TRUE(CTQObjectQuadtree::IntersectSegmentBox(CTQVector3(1, 1, 1), CTQVector3(1, 1, 5), min, max, point,
                                                       distance));
    ExpectVectorNear(point, CTQVector3(1, 1, 2));
    EXPECT_FLOAT_EQ(distance, 1.0f);
    ASSERT_TRUE(CTQObjectQuadtree::IntersectSegmentBox(CTQVector3(-3, 1, 1), CTQVector3(5, 1, 1), min, max, point,
                                                       distance));
    // The nearer of the two faces crossed.
    ExpectVectorNear(point, CTQVector3(0, 1, 1));
    EXPECT_FLOAT_EQ(distance, 9.0f);
}

TEST_F(CTQObjectQuadtreeTest, ScreenRectanglesTestEachObjectByTheBehaviour)
{
    // The rectangle 300..500 x 200..400 is x and y within ±0.25 and ±1/3 in
    // device units: at distance d, |x| < d / 4.
    const std::int32_t inside = AddBox(CTQVector3(0, 10, 0));
    const std::int32_t centreIn = AddBox(CTQVector3(2, 10, 0));
    const std::int32_t straddling = AddBox(CTQVector3(3, 10, 0));
    const std::int32_t outside = AddBox(CTQVector3(8, 10, 0));
    std::set<int> ids;
    ASSERT_TRUE(tree->PickObjectsInRect(ids, viewportId, 300, 200, 500, 400, eTQPicking_Intersect));
    EXPECT_EQ(ids, (std::set<int>{inside, centreIn, straddling}));
    ids.clear();
    ASSERT_TRUE(tree->PickObjectsInRect(ids, viewportId, 500, 400, 300, 200, eTQPicking_Inside)) << "corners swapped";
    EXPECT_EQ(ids, std::set<int>{inside});
    ids = {12345};
    ASSERT_TRUE(tree->PickObjectsInRect(ids, viewportId, 300, 200, 500, 400, eTQPicking_ReferencePoint));
    EXPECT_EQ(ids, (std::set<int>{12345, inside, centreIn})) << "inserted into what the caller had";
    ids.clear();
    // Any other behaviour tests nothing per object: every object of a leaf
    // that meets the volume.
    ASSERT_TRUE(tree->PickObjectsInRect(ids, viewportId, 300, 200, 500, 400, eTQPicking_All));
    EXPECT_TRUE(ids.count(outside));
}

TEST_F(CTQObjectQuadtreeTest, WorldRectanglesCountTheirBorders)
{
    const std::int32_t touching = AddBox(CTQVector3(3, 3, 0));  // x, y 2..4
    const std::int32_t centreOnEdge = AddBox(CTQVector3(4, 5, 0)); // centre on x = 4
    const std::int32_t sameLeaf = AddBox(CTQVector3(1, 1, 0), CTQVector3(0.5f, 0.5f, 0.5f));
    const std::int32_t elsewhere = AddBox(CTQVector3(-20, -20, 0));
    std::set<int> ids;
    ASSERT_TRUE(tree->EnumerateObjectsInRect(ids, 4, 4, 10, 10, eTQPicking_Inside));
    EXPECT_EQ(ids, (std::set<int>{touching, centreOnEdge}));
    ids.clear();
    ASSERT_TRUE(tree->EnumerateObjectsInRect(ids, 10, 10, 4, 4, eTQPicking_ReferencePoint));
    EXPECT_EQ(ids, std::set<int>{centreOnEdge});
    ids.clear();
    ASSERT_TRUE(tree->EnumerateObjectsInRect(ids, 4, 4, 10, 10, eTQPicking_All));
    EXPECT_EQ(ids, (std::set<int>{touching, centreOnEdge, sameLeaf})) << "every object of the leaves met";
    EXPECT_FALSE(ids.count(elsewhere));
    ids.clear();
    EXPECT_FALSE(tree->EnumerateObjectsInRect(ids, 100, 100, 200, 200, eTQPicking_All));
}

TEST_F(CTQObjectQuadtreeTest, ClipTestModes)
{
    // The identity as the matrix: the box is tested in clip space directly.
    const CTQMatrix44 id;
    const CTQVector3 lo(-1, -1, -1);
    const CTQVector3 hi(1, 1, 1);
    EXPECT_TRUE(CTestQuadtree::CheckInFrustrum(lo, hi, CTQVector3(0.5f, 0, 0), CTQVector3(3, 0.5f, 0.5f), id,
                                               eTQPicking_Intersect));
    EXPECT_FALSE(CTestQuadtree::CheckInFrustrum(lo, hi, CTQVector3(0.5f, 0, 0), CTQVector3(3, 0.5f, 0.5f), id,
                                                eTQPicking_Inside));
    EXPECT_FALSE(CTestQuadtree::CheckInFrustrum(lo, hi, CTQVector3(2, 0, 0), CTQVector3(3, 0.5f, 0.5f), id,
                                                eTQPicking_Intersect));
    // Corners outside different planes: not rejected.
    EXPECT_TRUE(CTestQuadtree::CheckInFrustrum(lo, hi, CTQVector3(-3, -3, 0), CTQVector3(3, 3, 0), id,
                                               eTQPicking_Intersect));
    EXPECT_TRUE(CTestQuadtree::CheckInFrustrum(lo, hi, CTQVector3(0, 0, 0), CTQVector3(1, 1, 1), id,
                                               eTQPicking_ReferencePoint))
        << "borders are inside";
    EXPECT_TRUE(CTestQuadtree::CheckInFrustrum(lo, hi, CTQVector3(50, 50, 50), CTQVector3(60, 60, 60), id,
                                               eTQPicking_All));
}

// ---- Display and visibility ----------------------------------------------------------

TEST_F(CTQObjectQuadtreeTest, DisplayShowsOnlyTheObjectsOfLeavesInView)
{
    const std::int32_t front = AddBox(CTQVector3(0, 20, 0));
    const std::int32_t behind = AddBox(CTQVector3(0, -20, 0));
    const std::int32_t aside = AddBox(CTQVector3(28, 4, 0));
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, (std::vector<std::int32_t>{sceneId, front}));
    std::set<int> visible;
    ASSERT_TRUE(tree->EnumerateVisibleObjects(visible, viewportId));
    EXPECT_EQ(visible, std::set<int>{front});

    camera->LookIntoDirection(CTQVector3(0, -1, 0), CTQVector3(0, 0, 1));
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, (std::vector<std::int32_t>{sceneId, behind}));
    camera->LookIntoDirection(CTQVector3(1, 0, 0), CTQVector3(0, 0, 1));
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, (std::vector<std::int32_t>{sceneId, aside}));

    tree->SetVisible(false);
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, std::vector<std::int32_t>{sceneId});
}

TEST_F(CTQObjectQuadtreeTest, AnObjectMovingIntoViewIsDisplayedAfterTheFramesUpdate)
{
    const std::int32_t mover = AddBox(CTQVector3(0, -20, 0));
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, std::vector<std::int32_t>{sceneId});
    Get<CTQVisual3d>(mover)->SetPos(CTQVector3(0, 20, 0));
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, (std::vector<std::int32_t>{sceneId, mover}));
}

TEST_F(CTQObjectQuadtreeTest, ForcedPrecachingRunsOnceAndBlindRequestsAreServedWhenUnseen)
{
    const std::int32_t seen = MakeBox(CTQVector3(0, 10, 0), kUnit, "CCountingVisual3d");
    const std::int32_t unseen = MakeBox(CTQVector3(0, -20, 0), kUnit, "CCountingVisual3d");
    tree->AddVisual(seen);
    tree->AddVisual(unseen);
    auto* a = Get<CCountingVisual3d>(seen);
    auto* b = Get<CCountingVisual3d>(unseen);
    tree->ForcePrecaching();
    a->RequestBlindDisplay(seen);
    b->RequestBlindDisplay(unseen);
    EXPECT_EQ(tree->GetBlindDisplayObjects(), (std::set<std::int32_t>{seen, unseen}));
    viewport->Render();
    viewport->Render();
    EXPECT_EQ(a->precached, 1);
    EXPECT_EQ(b->precached, 1);
    EXPECT_EQ(a->blindDisplayed, 0) << "it was displayed";
    EXPECT_EQ(b->blindDisplayed, 2);
    b->UnRequestBlindDisplay(unseen);
    viewport->Render();
    EXPECT_EQ(b->blindDisplayed, 2);
}

// ---- Stored form ---------------------------------------------------------------------

// A grid of 2 x 1 unit patches holding one box over patch (0, 0), with the
// user value 7 and a blind-display request.
class CTQObjectQuadtreeStoreTest : public SpatialFixture
{
protected:
    void SetUp() override
    {
        SpatialFixture::SetUp();
        tree = MakeQuadtree(treeId, 2, 1, 1.0f, 1.0f, 0.0f, 0.0f);
        box = MakeBox(CTQVector3(0.5f, 0.5f, 1.0f), CTQVector3(0.25f, 0.25f, 1.0f));
        ASSERT_TRUE(tree->AddObject(box, 7));
        tree->RequestBlindDisplay(box);
    }
    // The bytes the visual part of the tree takes, bracket included.
    Bytes VisualPart()
    {
        CTQDataStream s(CTQDataStream::eStoring);
        s.SerializeBegin(CTQVisual::GetDataFormatVersion());
        tree->CTQVisual::Serialize(s);
        s.SerializeEnd();
        return Bytes(s.GetBuffer(), s.GetBuffer() + s.GetSize());
    }
    // The stored form after the visual part, for an object count and one leaf
    // list of the caller's choosing.
    Bytes Expected(std::int32_t objects, std::int32_t leafId)
    {
        ByteWriter w;
        w.Raw(VisualPart());
        w.F32(1).F32(1).I32(2).I32(1).I32(2).I32(2).F32(2).F32(2).F32(0).F32(0);
        w.I32(objects);
        if (objects == 1)
            w.I32(box).U8(1).Zeros(3 + 4).F32(0.25f).F32(0.25f).F32(0).Zeros(4).F32(0.75f).F32(0.75f).F32(2);
        if (objects == 1)
            w.U8(0).U8(0).Zeros(2).I32(7);
        w.I32(0);                          // dirty set
        w.I32(1).I32(box);                 // blind-display set
        w.F32(0).F32(0).F32(2).F32(2).I32(0).U8(0x3); // root: rectangle, generation, children 0 and 1
        w.F32(0).F32(0).F32(1).F32(1).I32(1).U8(0);   // leaf (0, 0)
        w.F32(0).F32(2).U8(1).U8(0).I32(1).I32(leafId);
        w.F32(1).F32(0).F32(2).F32(1).I32(1).U8(0);   // leaf (1, 0), empty
        w.F32(0).F32(0).U8(0).U8(0).I32(0);
        w.F32(0).F32(2).U8(1).U8(0);                  // the root's Z range
        return w.Get();
    }

    std::int32_t treeId = -1;
    CTestQuadtree* tree = nullptr;
    std::int32_t box = -1;
};

TEST_F(CTQObjectQuadtreeStoreTest, TheStoredFormHasTheDocumentedBytes)
{
    const Bytes stored = Store(*tree);
    EXPECT_EQ(stored, Expected(1, box));
}

TEST_F(CTQObjectQuadtreeStoreTest, StoringAndLoadingGivesTheSameTreeAndTheSameBytes)
{
    const Bytes stored = Store(*tree);
    std::int32_t copyId = -1;
    CTestQuadtree* copy = New<CTestQuadtree>(copyId);
    ASSERT_TRUE(Load(*copy, stored));
    ASSERT_TRUE(copy->IsInitialised());
    EXPECT_EQ(copy->GetGridWidth(), 2);
    EXPECT_EQ(copy->GetLeaf(0, 0)->GetObjects(), std::set<std::int32_t>{box});
    EXPECT_EQ(copy->GetObjectEntry(box)->nUserValue, 7);
    EXPECT_EQ(copy->GetBlindDisplayObjects(), std::set<std::int32_t>{box});
    EXPECT_FLOAT_EQ(copy->GetRootNode()->GetMaxZ(), 2.0f);
    Bytes again = Store(*copy);
    // Only the visual part differs (the copy has its own id).
    const std::size_t visual = VisualPart().size();
    ASSERT_EQ(again.size(), stored.size());
    EXPECT_TRUE(std::equal(stored.begin() + static_cast<std::ptrdiff_t>(visual), stored.end(),
                           again.begin() + static_cast<std::ptrdiff_t>(visual)));
    tree->RemoveObject(box); // the copy holds the reference now
}

TEST_F(CTQObjectQuadtreeStoreTest, ATreeWithoutAGridStoresAndLoadsAsOne)
{
    std::int32_t id = -1;
    CTestQuadtree* empty = New<CTestQuadtree>(id);
    const Bytes stored = Store(*empty);
    std::int32_t copyId = -1;
    CTestQuadtree* copy = New<CTestQuadtree>(copyId);
    EXPECT_TRUE(Load(*copy, stored));
    EXPECT_FALSE(copy->IsInitialised());
}

// Fault: counts and sizes were taken from the data as they came.
TEST_F(CTQObjectQuadtreeStoreTest, AbsurdGridsAndCountsFailBeforeAnythingIsAllocated)
{
    const std::size_t header = VisualPart().size();
    const std::size_t objectCount = header + 40;
    struct sPatch
    {
        std::size_t at;
        std::int32_t value;
    };
    const sPatch patches[] = {{header + 8, 1000000}, {header + 8, 1024}, {header + 12, 1024}, {header + 8, -4},
                              {objectCount, 0x7FFFFFFF}, {objectCount, -1}, {objectCount + 4 + 48, 0x10000000}};
    for (const sPatch& patch : patches)
    {
        Bytes bytes = Store(*tree);
        for (int i = 0; i < 4; ++i)
            bytes[patch.at + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(patch.value) >> (8 * i));
        CWarningLog log;
        std::int32_t copyId = -1;
        CTestQuadtree* copy = New<CTestQuadtree>(copyId);
        EXPECT_FALSE(Load(*copy, bytes)) << "patch at " << patch.at << " with " << patch.value;
        EXPECT_LE(copy->GetLeafCount(), 2) << "no huge tree was built";
    }
}

// Fault: leaf ids were taken whether or not the tree held such an object.
TEST_F(CTQObjectQuadtreeStoreTest, LeafIdsTheMapDoesNotHoldAreDropped)
{
    Bytes bytes = Expected(0, 4242);
    std::int32_t copyId = -1;
    CTestQuadtree* copy = New<CTestQuadtree>(copyId);
    ASSERT_TRUE(Load(*copy, bytes));
    EXPECT_TRUE(copy->GetLeaf(0, 0)->GetObjects().empty());
    EXPECT_FALSE(copy->GetRootNode()->HasZRange()) << "Z ranges follow the leaves";
    EXPECT_TRUE(copy->GetBlindDisplayObjects().empty()) << "a request of an object not held is dropped too";
    // A leaf that lists an object the map holds where its box does not reach
    // is corrected from the map.
    bytes = Expected(1, box);
    const std::size_t secondLeafCount = bytes.size() - 10 - 4;
    ASSERT_EQ(bytes[secondLeafCount], 0);
    bytes[secondLeafCount] = 1;
    const Bytes id = ByteWriter().I32(box).Get();
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(secondLeafCount + 4), id.begin(), id.end());
    std::int32_t otherId = -1;
    CTestQuadtree* other = New<CTestQuadtree>(otherId);
    ASSERT_TRUE(Load(*other, bytes));
    EXPECT_TRUE(other->VerifyObject(box));
    EXPECT_FALSE(other->GetLeaf(1, 0)->HoldsObject(box));
    other->RemoveObject(box);
}

TEST_F(CTQObjectQuadtreeStoreTest, StoredNodesThatDoNotFitTheGridFailAndTheTreeIsRebuilt)
{
    const std::size_t header = VisualPart().size();
    // Header, one object, dirty and blind sets, then the root's rectangle and generation.
    const std::size_t rootMask = header + 40 + 4 + 48 + 4 + 8 + 20;
    Bytes bytes = Store(*tree);
    ASSERT_EQ(bytes[rootMask], 0x3);
    bytes[rootMask] = 0x7; // a child 2 the grid does not have
    CWarningLog log;
    std::int32_t copyId = -1;
    CTestQuadtree* copy = New<CTestQuadtree>(copyId);
    EXPECT_FALSE(Load(*copy, bytes));
    ASSERT_TRUE(copy->IsInitialised());
    EXPECT_EQ(copy->GetRootNode()->CountNodes(), 3);
    EXPECT_TRUE(copy->GetLeaf(0, 0)->HoldsObject(box)) << "rebuilt from the object map";
    bytes[rootMask] = 0x1; // leaf (1, 0) missing
    std::int32_t thirdId = -1;
    CTestQuadtree* third = New<CTestQuadtree>(thirdId);
    EXPECT_FALSE(Load(*third, bytes));
    EXPECT_EQ(third->GetRootNode()->CountNodes(), 3);
    copy->RemoveObject(box);
    third->RemoveObject(box);
}

TEST_F(CTQObjectQuadtreeStoreTest, EveryTruncationFailsCleanly)
{
    const Bytes stored = Store(*tree);
    for (std::size_t length = 0; length < stored.size(); ++length)
    {
        const Bytes cut(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(length));
        CWarningLog log;
        std::int32_t copyId = -1;
        CTestQuadtree* copy = New<CTestQuadtree>(copyId);
        EXPECT_FALSE(Load(*copy, cut)) << "cut at " << length;
        if (copy->IsInitialised())
        {
            EXPECT_EQ(copy->GetRootNode()->CountNodes(), 3);
        }
        copy->RemoveObject(box);
        m_oDatabase.DestroyObject(copyId);
    }
}

// ---- Threads --------------------------------------------------------------------------

TEST_F(CTQObjectQuadtreeTest, TwoThreadsPickAtOnceAndEachGetsItsOwnAnswer)
{
    std::vector<std::int32_t> boxes;
    for (int i = 0; i < 16; ++i)
        boxes.push_back(AddBox(CTQVector3(static_cast<float>(i - 8) * 2.0f, 20, 0), CTQVector3(0.5f, 1, 1)));
    // Pixel columns that look at box i: x = 400 + 400 * (2 (i - 8)) / 19.
    auto pixelOf = [](int i) { return 400 + static_cast<int>(400.0f * static_cast<float>(2 * (i - 8)) / 19.0f); };
    std::vector<std::int32_t> expected(16, -1);
    for (int i = 0; i < 16; ++i)
    {
        std::vector<_sTQPickingResultEntry> hits;
        ASSERT_TRUE(tree->PickObjectsAt(hits, viewportId, pixelOf(i), 300, eTQPicking_Nearest));
        expected[static_cast<std::size_t>(i)] = hits[0].nObjectId;
    }
    EXPECT_EQ(expected, boxes);
    std::atomic<int> mismatches{0};
    auto picker = [&](int first) {
        for (int round = 0; round < 200; ++round)
        {
            const int i = (first + round) % 16;
            std::vector<_sTQPickingResultEntry> hits;
            if (!tree->PickObjectsAt(hits, viewportId, pixelOf(i), 300, eTQPicking_Nearest) || hits.size() != 1 ||
                hits[0].nObjectId != boxes[static_cast<std::size_t>(i)])
                ++mismatches;
        }
    };
    std::thread one(picker, 0);
    std::thread two(picker, 7);
    // The game thread enumerates meanwhile: it shares no buffer with the picks.
    for (int round = 0; round < 50; ++round)
    {
        std::set<int> visible;
        tree->EnumerateVisibleObjects(visible, viewportId);
        if (visible.size() != boxes.size())
            ++mismatches;
    }
    one.join();
    two.join();
    EXPECT_EQ(mismatches.load(), 0);
}
} // namespace

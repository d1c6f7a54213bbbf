#include "SpatialTestSupport.h"

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>

using namespace SpatialTest;

namespace
{
// A level: posts (style 0x10, to the quadtree), lamps (style 0, to the octree),
// a resource that makes a camera (not a 3D visual), and an object list that
// places them on a grid of 8 x 8 patches of 8 units over [-32, 32]².
class CTQObjectListTest : public SpatialFixture
{
protected:
    void SetUp() override
    {
        SpatialFixture::SetUp();
        post = MakeResource("post", "CTQVisual3d", 0x10);
        lamp = MakeResource("lamp", "CTQVisual3d", 0);
        camera = MakeResource("camera", "CTQCamera", -1);
        listRes = resources.CreateResource("level", "CTQObjectListRes");
        auto* list = static_cast<CTQObjectListRes*>(resources.QueryResource(listRes));
        list->SetAssociatedClassType("CTQObjectList");
        list->SetAttribute("fCellResX", CTQProperty(2.0f));
        list->SetAttribute("fCellResY", CTQProperty(2.0f));
        list->SetAttribute("nCellsPerPatchX", CTQProperty(4));
        list->SetAttribute("nCellsPerPatchY", CTQProperty(4));
        list->SetAttribute("nPatchesX", CTQProperty(8));
        list->SetAttribute("nPatchesY", CTQProperty(8));
        list->SetAttribute("fLandscapeOffsetX", CTQProperty(-32.0f));
        list->SetAttribute("fLandscapeOffsetY", CTQProperty(-32.0f));
        list->AddObject(Placement(post, 0, 10, 0, CTQVector3(0, 0, 1.5f)));   // 0
        list->AddObject(Placement(lamp, 0, 20, 0, CTQVector3()));             // 1
        list->AddObject(Placement(camera, 0, 0, 0, CTQVector3()));            // 2
        list->AddObject(Placement(9999, 0, 0, 0, CTQVector3()));              // 3
        list->AddObject(Placement(post, -20, -20, 0, CTQVector3()));          // 4
        resources.ReleaseResource(listRes);
    }
    std::int32_t MakeResource(const char* name, const char* className, int style)
    {
        const std::int32_t id = resources.CreateResource(name, "CTQResource");
        CTQResource* res = resources.QueryResource(id);
        res->SetAssociatedClassType(className);
        for (const char* key : {"BoundsXMin", "BoundsYMin", "BoundsZMin"})
            res->SetAttribute(key, CTQProperty(-1.0f));
        for (const char* key : {"BoundsXMax", "BoundsYMax", "BoundsZMax"})
            res->SetAttribute(key, CTQProperty(1.0f));
        if (style >= 0)
            res->SetAttribute("VisualStyle", CTQProperty(style));
        resources.ReleaseResource(id);
        return id;
    }
    static sObjectList Placement(std::int32_t resource, float x, float y, float z, CTQVector3 rotation)
    {
        sObjectList entry;
        entry.nResourceId = resource;
        entry.fX = x;
        entry.fY = y;
        entry.fZ = z;
        entry.vRotation = rotation;
        return entry;
    }
    CTQObjectList* Build(std::int32_t& id)
    {
        id = m_oDatabase.CreateObjectFromResource(listRes);
        return Get<CTQObjectList>(id);
    }

    // Placements 2 and 3 are reported whenever the list is built.
    CWarningLog m_oQuiet;
    CTQResourceClassDatabase classes;
    CTQLocalResourceDatabase resources;
    std::int32_t post = -1;
    std::int32_t lamp = -1;
    std::int32_t camera = -1;
    std::int32_t listRes = -1;
};

TEST_F(CTQObjectListTest, EveryPlacementThatMakesA3dVisualIsPlacedTurnedAndFiled)
{
    CWarningLog log;
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    ASSERT_NE(list, nullptr);
    const std::map<int, std::int32_t> made = list->GetObjectAssociationMap();
    ASSERT_EQ(made.size(), 3u);
    ASSERT_TRUE(made.count(0) && made.count(1) && made.count(4));
    EXPECT_FALSE(made.count(2)) << "a camera is not a 3D visual";
    EXPECT_FALSE(made.count(3)) << "resource 9999 makes nothing";
    EXPECT_TRUE(log.Contains("makes no 3D visual"));
    EXPECT_TRUE(log.Contains("makes no object"));

    CTQObjectQuadtree* quadtree = list->GetObjectQuadtree();
    CTQObjectOcttree* octree = list->GetObjectOcttree();
    ASSERT_NE(quadtree, nullptr);
    ASSERT_NE(octree, nullptr);
    EXPECT_TRUE(quadtree->IsInitialised()) << "the grid comes from the list's resource";
    EXPECT_EQ(quadtree->GetGridWidth(), 8);
    EXPECT_FLOAT_EQ(quadtree->GetLeafWidth(), 8.0f);
    EXPECT_TRUE(quadtree->HasObject(made.at(0)));
    EXPECT_TRUE(quadtree->HasObject(made.at(4)));
    EXPECT_TRUE(octree->HasObject(made.at(1)));
    EXPECT_FALSE(octree->HasObject(made.at(0)));

    auto* first = Get<CTQVisual3d>(made.at(0));
    EXPECT_EQ(first->GetPos(), CTQVector3(0, 10, 0));
    EXPECT_EQ(first->GetRotation(), CTQVector4(0, 0, 1.5f, 0));
    EXPECT_EQ(first->GetParent(), quadtree->GetId());
    EXPECT_EQ(first->GetRoot(), listId) << "the list is the top of the tree";
    EXPECT_TRUE(list->IsChild(quadtree->GetId()));
    EXPECT_TRUE(list->IsChild(octree->GetId()));
    EXPECT_TRUE(quadtree->GetLeaf(1, 1)->HoldsObject(made.at(4)));
    // The camera made for placement 2 was given back again.
    EXPECT_EQ(m_oDatabase.GetCount(), 4 + 1 + 2 + 3) << "fixture objects, list, containers, three objects";
}

// Decision: a missing resource, or one that is not an object list, fails
// InitData, and the database keeps nothing of the attempt.
TEST_F(CTQObjectListTest, AMissingOrWrongResourceBuildsNothing)
{
    const std::int32_t before = m_oDatabase.GetCount();
    CWarningLog log;
    EXPECT_EQ(m_oDatabase.CreateObjectFromResource(post, "CTQObjectList"), -1);
    EXPECT_TRUE(log.Contains("not an object list"));
    std::int32_t listId = -1;
    CTQObjectList* list = New<CTQObjectList>(listId);
    EXPECT_FALSE(list->InitData(12345));
    EXPECT_TRUE(log.Contains("missing"));
    EXPECT_EQ(list->GetObjectQuadtree(), nullptr);
    EXPECT_FALSE(list->HasChildren());
    std::set<int> ids;
    EXPECT_FALSE(list->EnumerateObjectsInRect(ids, -100, -100, 100, 100, eTQPicking_All, 0x10));
    EXPECT_EQ(m_oDatabase.GetCount(), before + 1);
}

TEST_F(CTQObjectListTest, AListPlacedWithinItselfIsNotBuiltAgain)
{
    auto* res = static_cast<CTQObjectListRes*>(resources.QueryResource(listRes));
    res->AddObject(listRes);
    resources.ReleaseResource(listRes);
    CWarningLog log;
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetObjectAssociationMap().size(), 3u);
    EXPECT_TRUE(log.Contains("within itself"));
}

TEST_F(CTQObjectListTest, QueriesGoToTheContainerTheSelectorNames)
{
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    const std::map<int, std::int32_t> made = list->GetObjectAssociationMap();
    std::set<int> ids;
    ASSERT_TRUE(list->EnumerateObjectsInRect(ids, -40, -40, 40, 40, eTQPicking_Inside, 0));
    EXPECT_EQ(ids, std::set<int>{made.at(1)}) << "selector 0: the octree's objects only";
    ids.clear();
    ASSERT_TRUE(list->EnumerateObjectsInRect(ids, -40, -40, 40, 40, eTQPicking_Inside, 0x10 | 0x1));
    EXPECT_EQ(ids, (std::set<int>{made.at(0), made.at(4)}));

    ids.clear();
    ASSERT_TRUE(list->EnumerateVisibleObjects(ids, viewportId, 0x10));
    EXPECT_EQ(ids, std::set<int>{made.at(0)});
    ids.clear();
    ASSERT_TRUE(list->PickObjectsInRect(ids, viewportId, 0, 0, 800, 600, eTQPicking_Intersect, 0));
    EXPECT_EQ(ids, std::set<int>{made.at(1)});

    std::vector<_sTQPickingResultEntry> hits;
    ASSERT_TRUE(list->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_AllSorted, 0x10));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].nObjectId, made.at(0));
    ASSERT_TRUE(list->PickObjectsAt(hits, viewportId, 400, 300, eTQPicking_AllSorted, 0));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].nObjectId, made.at(1));
    EXPECT_FLOAT_EQ(hits[1].fDistance, CTQObjectOcttree::kUnmeasuredDistance);
}

TEST_F(CTQObjectListTest, DisplayShowsBothContainersSeenObjectsOctreeFirst)
{
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    const std::map<int, std::int32_t> made = list->GetObjectAssociationMap();
    scene->AddVisual(listId);
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, (std::vector<std::int32_t>{sceneId, made.at(1), made.at(0)}));
    list->SetVisible(false);
    viewport->Render();
    EXPECT_EQ(viewport->GetLastFrame().aDisplayed, std::vector<std::int32_t>{sceneId});
}

TEST_F(CTQObjectListTest, AddedVisualsAreRoutedByStyleAndLeaveTheAssociationsAlone)
{
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    const std::int32_t tall = MakeBox(CTQVector3(5, 5, 0), CTQVector3(1, 1, 1));
    const std::int32_t flat = MakeBox(CTQVector3(6, 6, 0), CTQVector3(1, 1, 1));
    Get<CTQVisual>(flat)->SetStyle(0);
    list->AddVisual(tall);
    list->AddVisual(flat);
    EXPECT_TRUE(list->GetObjectQuadtree()->HasObject(tall)) << "a new 3D visual has the style 0x10";
    EXPECT_TRUE(list->GetObjectOcttree()->HasObject(flat));
    EXPECT_EQ(list->GetObjectAssociationMap().size(), 3u);
}

// Fault: removal was routed by the style as it is now, so an object whose style
// changed went to the container that did not hold it; the one that did released
// it a second time when it was destroyed.
TEST_F(CTQObjectListTest, RemovalAfterAStyleChangeFindsTheContainerThatHoldsTheObject)
{
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    const std::int32_t id = list->GetObjectAssociationMap().at(0);
    Get<CTQVisual>(id)->SetStyle(0);
    list->RemoveVisual(id);
    EXPECT_FALSE(list->GetObjectQuadtree()->HasObject(id));
    EXPECT_FALSE(list->GetObjectOcttree()->HasObject(id));
    ASSERT_TRUE(IsAlive(id)) << "the reference went back to the caller";
    EXPECT_EQ(Get<CTQVisual>(id)->GetParent(), -1);
    const std::int32_t before = m_oDatabase.GetCount();
    m_oDatabase.DestroyObject(listId);
    EXPECT_TRUE(IsAlive(id)) << "nobody releases it again";
    EXPECT_EQ(m_oDatabase.GetCount(), before - 1 - 2 - 2);
    EXPECT_EQ(m_oDatabase.ReleaseObject(id), 0);
}

// Fault: the list destroyed its containers and then released them again
// through pointers that were already freed.
TEST_F(CTQObjectListTest, DestroyingTheListEndsItsContainersAndTheirObjectsOnce)
{
    const std::int32_t baseline = m_oDatabase.GetCount();
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    const std::int32_t quadtree = list->GetObjectQuadtreeId();
    const std::int32_t octree = list->GetObjectOcttreeId();
    const std::int32_t kept = list->GetObjectAssociationMap().at(1);
    m_oDatabase.QueryObject(kept);
    m_oDatabase.DestroyObject(listId);
    EXPECT_FALSE(IsAlive(listId));
    EXPECT_FALSE(IsAlive(quadtree));
    EXPECT_FALSE(IsAlive(octree));
    EXPECT_TRUE(IsAlive(kept));
    EXPECT_EQ(m_oDatabase.GetCount(), baseline + 1);
    EXPECT_EQ(m_oDatabase.ReleaseObject(kept), 0);
}

TEST_F(CTQObjectListTest, TheStoredFormIsTheTwoContainerIdsInBlocksOfTheListsVersion)
{
    std::int32_t listId = -1;
    CTQObjectList* list = Build(listId);
    CTQDataStream visual(CTQDataStream::eStoring);
    visual.SerializeBegin(CTQVisual::GetDataFormatVersion());
    list->CTQVisual::Serialize(visual);
    visual.SerializeEnd();
    const Bytes visualPart(visual.GetBuffer(), visual.GetBuffer() + visual.GetSize());
    ByteWriter expected;
    expected.Raw(visualPart).I32(0x200).I32(4).I32(list->GetObjectQuadtreeId());
    expected.I32(0x200).I32(4).I32(list->GetObjectOcttreeId());
    EXPECT_EQ(Store(*list), expected.Get());

    // Written before version 0x200: the quadtree's block only.
    ByteWriter old;
    old.Raw(visualPart).I32(0x100).I32(4).I32(9001);
    std::int32_t copyId = -1;
    CTQObjectList* copy = New<CTQObjectList>(copyId);
    ASSERT_TRUE(Load(*copy, old.Get()));
    EXPECT_EQ(copy->GetObjectQuadtreeId(), 9001);
    EXPECT_EQ(copy->GetObjectOcttreeId(), -1);
    ByteWriter current;
    current.Raw(visualPart).I32(0x200).I32(4).I32(9001).I32(0x200).I32(4).I32(9002);
    ASSERT_TRUE(Load(*copy, current.Get()));
    EXPECT_EQ(copy->GetObjectOcttreeId(), 9002);
    EXPECT_EQ(copy->GetObjectQuadtree(), nullptr) << "ids that name nothing are kept as ids";
}
} // namespace

#include "DisplayTestSupport.h"

using namespace DisplayTest;

namespace
{
// Counts the reports it receives from children and the blind-display
// requests that reach it, and records the order of its update hooks.
class CTestVisual : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestVisual)
    void SetDirty(int source) override
    {
        if (source >= 0)
            ++reports;
        CTQVisual::SetDirty(source);
    }
    void RequestBlindDisplay(std::int32_t id) override
    {
        if (handlesRequests)
            requests.push_back(id);
        else
            CTQVisual::RequestBlindDisplay(id);
    }
    void BeginUpdateState() override { hooks += "B"; }
    void UpdateState() override { hooks += IsUpdatingState() ? "U" : "u"; }
    void EndUpdateState() override { hooks += IsDirty() ? "e" : "E"; }

    int reports = 0;
    bool handlesRequests = false;
    std::vector<std::int32_t> requests;
    std::string hooks;
};
TQ_IMPLEMENT_CLASS_TYPE(CTestVisual, CTQVisual, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestVisual)

class CTQVisualTest : public DisplayFixture
{
protected:
    // A top visual with one child and one grandchild, all updated and clean.
    void BuildChain()
    {
        top = New<CTestVisual>(topId);
        middle = New<CTestVisual>(middleId);
        leaf = New<CTestVisual>(leafId);
        top->AddVisual(middleId);
        middle->AddVisual(leafId);
        top->Update();
        top->reports = middle->reports = leaf->reports = 0;
    }

    std::int32_t topId = -1;
    std::int32_t middleId = -1;
    std::int32_t leafId = -1;
    CTestVisual* top = nullptr;
    CTestVisual* middle = nullptr;
    CTestVisual* leaf = nullptr;
};
} // namespace

TEST_F(CTQVisualTest, ANewVisualIsADirtyVisibleRoot)
{
    CTQVisual* visual = New<CTQVisual>();
    ASSERT_NE(visual, nullptr);
    EXPECT_TRUE(visual->IsDirty());
    EXPECT_TRUE(visual->IsVisible());
    EXPECT_FALSE(visual->IsCulled());
    EXPECT_EQ(visual->GetParent(), -1);
    EXPECT_EQ(visual->GetRoot(), -1);
    EXPECT_EQ(visual->GetStyle(), 0u);
    EXPECT_EQ(visual->GetSerializationMode(), 3);
}

TEST_F(CTQVisualTest, AddingGivesTheChildItsParentAndTheTreesTop)
{
    BuildChain();
    EXPECT_EQ(middle->GetParent(), topId);
    EXPECT_EQ(middle->GetRoot(), topId);
    EXPECT_EQ(leaf->GetParent(), middleId);
    EXPECT_EQ(leaf->GetRoot(), topId) << "the root is the top of the tree, not the parent";
    EXPECT_EQ(top->GetRoot(), -1);
}

TEST_F(CTQVisualTest, SetRootOnARootGivesChildrenTheRootsOwnId)
{
    BuildChain();
    middle->SetRoot(-1);
    EXPECT_EQ(middle->GetRoot(), -1);
    EXPECT_EQ(leaf->GetRoot(), middleId);
}

TEST_F(CTQVisualTest, RemovingMakesTheChildARootAndMarksTheParent)
{
    BuildChain();
    top->RemoveVisual(middleId);
    EXPECT_EQ(middle->GetParent(), -1);
    EXPECT_EQ(middle->GetRoot(), -1);
    EXPECT_EQ(leaf->GetRoot(), middleId);
    EXPECT_TRUE(top->IsDirty());
    EXPECT_FALSE(top->IsChild(middleId));
}

TEST_F(CTQVisualTest, AVisualMovedToAnotherParentLeavesTheFirst)
{
    BuildChain();
    top->AddVisual(leafId);
    EXPECT_FALSE(middle->IsChild(leafId));
    EXPECT_EQ(leaf->GetParent(), topId);
}

TEST_F(CTQVisualTest, TwoReportsFromChildrenOfADirtyVisualReachItsParentOnce)
{
    BuildChain();
    CTestVisual* second = New<CTestVisual>();
    middle->AddVisual(second->GetId());
    top->Update();
    top->reports = middle->reports = 0;

    leaf->SetDirty(-1);
    second->SetDirty(-1);
    EXPECT_EQ(middle->reports, 2);
    EXPECT_EQ(top->reports, 1) << "the climb stops at a visual that is already dirty";
    EXPECT_TRUE(top->IsDirty());
}

TEST_F(CTQVisualTest, AChangeOfTheVisualItselfAlwaysClimbs)
{
    BuildChain();
    middle->SetDirty(-1);
    middle->SetDirty(-1);
    EXPECT_EQ(top->reports, 2);
}

TEST_F(CTQVisualTest, UpdateRunsTheHooksInOrderAndCleansTheDirtyTree)
{
    BuildChain();
    CTestVisual* clean = New<CTestVisual>();
    top->AddVisual(clean->GetId());
    top->Update();
    for (CTestVisual* v : {top, middle, leaf, clean})
        v->hooks.clear();

    leaf->SetRenderPriority(3);
    top->Update();
    EXPECT_EQ(top->hooks, "BUE");
    EXPECT_EQ(middle->hooks, "BUE");
    EXPECT_EQ(leaf->hooks, "BUE");
    EXPECT_EQ(clean->hooks, "") << "a clean child is not descended into";
    EXPECT_FALSE(top->IsDirty());
    EXPECT_FALSE(leaf->IsDirty());
    leaf->SetRenderPriority(3);
    EXPECT_FALSE(leaf->IsDirty()) << "an unchanged priority is no change";
}

TEST_F(CTQVisualTest, ARootIgnoresBlindDisplayRequests)
{
    CTestVisual* visual = New<CTestVisual>();
    visual->RequestBlindDisplay(5);
    EXPECT_EQ(visual->GetPendingBlindDisplay(), -1);
}

TEST_F(CTQVisualTest, BlindDisplayRequestsClimbToTheVisualThatHandlesThem)
{
    BuildChain();
    top->handlesRequests = true;
    leaf->RequestBlindDisplay(77);
    EXPECT_EQ(top->requests, std::vector<std::int32_t>{77});
}

TEST_F(CTQVisualTest, ARequestBelowAMissingParentWaitsForTheNextUpdate)
{
    CTestVisual* top2 = New<CTestVisual>();
    top2->handlesRequests = true;
    std::int32_t orphanId = -1;
    CTestVisual* orphan = New<CTestVisual>(orphanId);
    // The parent is not loaded yet: its id names no object.
    const std::int32_t future = m_oDatabase.CreateObject("CTestVisual") + 1;
    orphan->SetParent(future);
    orphan->RequestBlindDisplay(9);
    EXPECT_EQ(orphan->GetPendingBlindDisplay(), 9);

    orphan->Update();
    EXPECT_EQ(orphan->GetPendingBlindDisplay(), 9) << "a request that still cannot climb is kept";

    orphan->SetParent(top2->GetId());
    orphan->Update();
    EXPECT_EQ(orphan->GetPendingBlindDisplay(), -1);
    EXPECT_EQ(top2->requests, std::vector<std::int32_t>{9});
}

TEST_F(CTQVisualTest, StyleIsReplacedOrModifiedBitwise)
{
    CTQVisual* visual = New<CTQVisual>();
    visual->SetStyle(0xF0);
    visual->ModifyStyle(0x30, 0x05);
    EXPECT_EQ(visual->GetStyle(), 0xC5u);
}

TEST_F(CTQVisualTest, DisplayReachesVisibleUnculledVisualsOnly)
{
    BuildChain();
    CTestVisual* hidden = New<CTestVisual>();
    CTestVisual* hiddenChild = New<CTestVisual>();
    hidden->AddVisual(hiddenChild->GetId());
    CTestVisual* culled = New<CTestVisual>();
    top->AddVisual(hidden->GetId());
    top->AddVisual(culled->GetId());
    hidden->SetVisible(false);
    culled->SetCulled(true);
    std::int32_t viewportId = -1;
    CTQProbeViewport* viewport = New<CTQProbeViewport>(viewportId);
    top->Display(viewportId);
    EXPECT_EQ(viewport->displayed, (std::vector<std::int32_t>{topId, middleId, leafId}));
}

TEST_F(CTQVisualTest, ChildrenThatNameNoObjectAreSkipped)
{
    BuildChain();
    middle->AddChild(12345);
    std::int32_t viewportId = -1;
    CTQProbeViewport* viewport = New<CTQProbeViewport>(viewportId);
    leaf->SetDirty(-1);
    top->Update();
    top->Display(viewportId);
    EXPECT_EQ(viewport->displayed.size(), 3u);
    m_oDatabase.DestroyObject(leafId);
    top->Display(viewportId);
    EXPECT_EQ(viewport->displayed.size(), 5u) << "a destroyed child is skipped";
}

TEST_F(CTQVisualTest, StoredBytesFollowTheDisplayNodePart)
{
    BuildChain();
    leaf->SetStyle(0x11223344);
    leaf->SetRenderPriority(-2);
    leaf->SetVisible(false);
    leaf->SetCulled(true);
    leaf->RequestParentBlindDisplay(6);
    ByteWriter expected;
    expected.Bracket(0x100, [&](ByteWriter& w) { w.ObjectPart(leafId).U8('L').I32(0).U8('m').I32(0); });
    expected.U8(0).I32(middleId).I32(topId).I32(6).U8(0).U8(1).I32(-2).U8(1).I32(0x11223344);
    EXPECT_EQ(Store(*leaf), expected.Get());
}

TEST_F(CTQVisualTest, RoundTripRestoresEveryField)
{
    BuildChain();
    middle->SetStyle(7);
    middle->SetRenderPriority(4);
    middle->SetCulled(true);
    const Bytes bytes = Store(*middle);
    CTestVisual* copy = New<CTestVisual>();
    ASSERT_TRUE(Load(*copy, bytes));
    EXPECT_EQ(copy->GetParent(), topId);
    EXPECT_EQ(copy->GetRoot(), topId);
    EXPECT_EQ(copy->GetStyle(), 7u);
    EXPECT_EQ(copy->GetRenderPriority(), 4);
    EXPECT_TRUE(copy->IsCulled());
    EXPECT_TRUE(copy->IsDirty());
    EXPECT_TRUE(copy->IsChild(leafId));
    EXPECT_EQ(Store(*copy), bytes);
}

TEST_F(CTQVisualTest, OnlyReportedChildrenAreUpdatedAndInListOrder)
{
    CTestVisual* parent = New<CTestVisual>();
    std::vector<CTestVisual*> children;
    for (int i = 0; i < 8; ++i)
    {
        children.push_back(New<CTestVisual>());
        parent->AddVisual(children.back()->GetId());
    }
    parent->Update();
    for (CTestVisual* child : children)
        child->hooks.clear();

    // Reported in reverse order; updated in the order of the child list.
    children[5]->SetRenderPriority(1);
    children[2]->SetRenderPriority(1);
    std::string order;
    for (CTestVisual* child : children)
        child->hooks.clear();
    parent->Update();
    for (std::size_t i = 0; i < children.size(); ++i)
        if (!children[i]->hooks.empty())
            order += static_cast<char>('0' + i);
    EXPECT_EQ(order, "25");
    EXPECT_FALSE(parent->IsDirty());
}

TEST_F(CTQVisualTest, ADirtyChildAddedWithoutAddVisualIsStillUpdated)
{
    CTestVisual* parent = New<CTestVisual>();
    parent->Update();
    CTestVisual* child = New<CTestVisual>();
    parent->AddChild(child->GetId());
    parent->SetDirty(-1);
    parent->Update();
    EXPECT_FALSE(child->IsDirty()) << "a child that never reported is looked at after a direct AddChild";
}

TEST_F(CTQVisualTest, ADirtyVisualGivenAParentReportsToIt)
{
    BuildChain();
    leaf->SetParent(-1);
    leaf->SetRenderPriority(9);
    EXPECT_FALSE(middle->IsDirty());
    leaf->SetParent(middleId);
    EXPECT_TRUE(middle->IsDirty());
    EXPECT_TRUE(top->IsDirty());
    top->Update();
    EXPECT_FALSE(leaf->IsDirty());
}

TEST_F(CTQVisualTest, ALoadedVisualLooksAtEveryChildOnce)
{
    BuildChain();
    leaf->SetRenderPriority(5);
    const Bytes dirtyLeaf = Store(*leaf);
    const Bytes middleBytes = Store(*middle);
    top->Update();
    // Loading gives the leaf its dirty state back without any report.
    ASSERT_TRUE(Load(*leaf, dirtyLeaf));
    ASSERT_TRUE(leaf->IsDirty());
    ASSERT_TRUE(Load(*middle, middleBytes));
    middle->SetDirty(-1);
    middle->Update();
    EXPECT_FALSE(leaf->IsDirty()) << "after loading, every child is looked at";
}

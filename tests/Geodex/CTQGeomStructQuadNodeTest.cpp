#include <Geodex/CTQGeomStructQuadNode.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include "Plinth/CapturingLogSink.h"
#include "Support/StreamBytes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace
{
// Creates owned children down to `levels` more generations.
void Subdivide(CTQGeomStructQuadNode& node, int levels)
{
    if (levels == 0)
        return;
    for (int i = 0; i < CTQGeomStructQuadNode::kNumChildren; ++i)
        Subdivide(*node.CreateChild(i), levels - 1);
}

void ExpectRect(const CTQGeomStructQuadNode* node, float x0, float y0, float x1, float y1)
{
    ASSERT_NE(node, nullptr);
    EXPECT_FLOAT_EQ(node->GetMinX(), x0);
    EXPECT_FLOAT_EQ(node->GetMinY(), y0);
    EXPECT_FLOAT_EQ(node->GetMaxX(), x1);
    EXPECT_FLOAT_EQ(node->GetMaxY(), y1);
}

// A node class of a user of the library, with data of its own.
class CTaggedNode : public CTQGeomStructQuadNode
{
public:
    std::size_t GetNodeSize() const override { return sizeof(CTaggedNode); }
    int m_nTag = 0;

protected:
    CTQGeomStructQuadNode* NewNode() const override { return new CTaggedNode; }
};

std::vector<std::uint8_t> Stored(CTQGeomStructQuadNode& node)
{
    return TestSupport::Store(node);
}
} // namespace

TEST(CTQGeomStructQuadNodeTest, CreatedChildrenCoverTheirQuadrantsInIndexOrder)
{
    CTQGeomStructQuadNode root;
    root.SetBoundingBox(0, 0, 8, 4);
    Subdivide(root, 1);
    ExpectRect(root.GetChild(0), 0, 0, 4, 2);
    ExpectRect(root.GetChild(1), 4, 0, 8, 2);
    ExpectRect(root.GetChild(2), 0, 2, 4, 4);
    ExpectRect(root.GetChild(3), 4, 2, 8, 4);
    EXPECT_EQ(root.GetChild(4), nullptr);
    EXPECT_EQ(root.GetChild(-1), nullptr);
    EXPECT_TRUE(root.IsInner());
    EXPECT_TRUE(root.GetChild(0)->IsLeaf());
}

TEST(CTQGeomStructQuadNodeTest, PropagatedBoundingBoxSplitsCallerOwnedNodesAtMidpoints)
{
    // As a quadtree keeps its nodes: one array, children attached, not owned.
    std::vector<CTQGeomStructQuadNode> nodes(5);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(nodes[0].AddChild(i, &nodes[1 + i]));
    nodes[0].SetBoundingBox(10, 20, 14, 22, true);
    ExpectRect(&nodes[1], 10, 20, 12, 21);
    ExpectRect(&nodes[2], 12, 20, 14, 21);
    ExpectRect(&nodes[3], 10, 21, 12, 22);
    ExpectRect(&nodes[4], 12, 21, 14, 22);

    nodes[0].SetBoundingBox(0, 0, 1, 1);
    ExpectRect(&nodes[1], 10, 20, 12, 21);
}

TEST(CTQGeomStructQuadNodeTest, CountsCoverTheWholeSubtree)
{
    CTQGeomStructQuadNode root;
    root.SetBoundingBox(0, 0, 8, 8);
    Subdivide(root, 2);
    EXPECT_EQ(root.CountNodes(), 21);
    EXPECT_EQ(root.CountLeaves(), 16);
    EXPECT_EQ(root.CountBytes(), 21 * root.GetNodeSize());
    root.GetChild(3)->RemoveChild(0);
    EXPECT_EQ(root.CountNodes(), 20);
    EXPECT_EQ(root.CountLeaves(), 15);
    // A node with one child left is inner; its leaves count, it does not.
    for (int i = 1; i < 4; ++i)
        root.GetChild(3)->RemoveChild(i);
    EXPECT_EQ(root.CountLeaves(), 13);
}

TEST(CTQGeomStructQuadNodeTest, CountBytesUsesEachNodesOwnSize)
{
    CTaggedNode root;
    Subdivide(root, 1);
    EXPECT_EQ(root.CountBytes(), 5 * sizeof(CTaggedNode));
    EXPECT_NE(dynamic_cast<CTaggedNode*>(root.GetChild(2)), nullptr);
}

TEST(CTQGeomStructQuadNodeTest, GetNodeAtFindsTheDeepestNodeAndPrefersLowerIndexOnBorders)
{
    CTQGeomStructQuadNode root;
    root.SetBoundingBox(0, 0, 8, 8);
    Subdivide(root, 2);
    const CTQGeomStructQuadNode* hit = root.GetNodeAt(5.5f, 1.2f);
    EXPECT_EQ(hit, root.GetChild(1)->GetChild(0));
    ExpectRect(hit, 4, 0, 6, 2);
    // The centre lies in all four children; child 0 and its child 3 win.
    EXPECT_EQ(root.GetNodeAt(4, 4), root.GetChild(0)->GetChild(3));
    EXPECT_EQ(root.GetNodeAt(8, 8), root.GetChild(3)->GetChild(3));
    EXPECT_EQ(root.GetNodeAt(8.01f, 3), nullptr);
    root.GetChild(1)->RemoveChild(0);
    EXPECT_EQ(root.GetNodeAt(5.5f, 1.2f), root.GetChild(1));
}

TEST(CTQGeomStructQuadNodeTest, IsInAndIntersectsCountTouchingBorders)
{
    CTQGeomStructQuadNode node;
    node.SetBoundingBox(0, 0, 2, 2);
    EXPECT_TRUE(node.IsIn(2, 0));
    EXPECT_FALSE(node.IsIn(2.001f, 1));
    EXPECT_TRUE(node.Intersects(2, 2, 3, 3));
    EXPECT_TRUE(node.Intersects(3, 3, 1, 1)); // corners in either order
    EXPECT_TRUE(node.Intersects(-5, -5, 5, 5));
    EXPECT_FALSE(node.Intersects(2.5f, 0, 3, 1));
    EXPECT_FALSE(node.Intersects(0, -3, 1, -0.1f));
}

TEST(CTQGeomStructQuadNodeTest, GenerationsFollowDepth)
{
    CTQGeomStructQuadNode root;
    Subdivide(root, 2);
    EXPECT_EQ(root.GetGeneration(), 0);
    EXPECT_EQ(root.GetChild(2)->GetGeneration(), 1);
    EXPECT_EQ(root.GetChild(2)->GetChild(1)->GetGeneration(), 2);
    root.SetGeneration(5);
    EXPECT_EQ(root.GetChild(2)->GetChild(1)->GetGeneration(), 7);
    root.SetRoot();
    EXPECT_EQ(root.GetChild(2)->GetChild(1)->GetGeneration(), 2);

    CTQGeomStructQuadNode branch;
    Subdivide(branch, 1);
    CTQGeomStructQuadNode* grandChild = root.GetChild(0)->GetChild(0);
    EXPECT_FALSE(grandChild->RemoveChild(0)); // a leaf has nothing to remove
    ASSERT_TRUE(grandChild->AddChild(0, &branch));
    EXPECT_EQ(branch.GetGeneration(), 3);
    EXPECT_EQ(branch.GetChild(3)->GetGeneration(), 4);
    EXPECT_TRUE(grandChild->RemoveChild(0));
}

TEST(CTQGeomStructQuadNodeTest, AddChildRefusesAnythingThatWouldNotBeATree)
{
    CapturingLogSink log;
    CTQGeomStructQuadNode root;
    CTQGeomStructQuadNode a;
    CTQGeomStructQuadNode b;
    EXPECT_FALSE(root.AddChild(4, &a));
    EXPECT_FALSE(root.AddChild(-1, &a));
    EXPECT_FALSE(root.AddChild(0, nullptr));
    EXPECT_FALSE(root.AddChild(0, &root));
    ASSERT_TRUE(root.AddChild(0, &a));
    EXPECT_FALSE(root.AddChild(0, &b));     // slot taken
    EXPECT_FALSE(root.AddChild(1, &a));     // a has a parent
    EXPECT_FALSE(a.AddChild(0, &root));     // its own ancestor
    EXPECT_EQ(log.Texts().size(), 7u);
    EXPECT_EQ(root.CountNodes(), 2);
    EXPECT_TRUE(root.RemoveChild(0));
    EXPECT_TRUE(b.AddChild(2, &a));         // detached, so free again
    EXPECT_TRUE(b.RemoveChild(2));
}

TEST(CTQGeomStructQuadNodeTest, DestroyingAParentLeavesCallerOwnedChildrenAlone)
{
    auto child = std::make_unique<CTQGeomStructQuadNode>();
    auto parent = std::make_unique<CTQGeomStructQuadNode>();
    ASSERT_TRUE(parent->AddChild(1, child.get()));
    Subdivide(*child, 1);
    // The child goes first, as in an array destroyed back to front; the parent
    // must not look at it afterwards (AddressSanitizer would report it).
    child.reset();
    parent.reset();
    SUCCEED();
}

TEST(CTQGeomStructQuadNodeTest, InitResetsEverything)
{
    int payload = 0;
    CTQGeomStructQuadNode root;
    root.SetBoundingBox(1, 2, 3, 4);
    root.SetClient(&payload);
    Subdivide(root, 2);
    root.SetGeneration(3);
    root.Init();
    EXPECT_TRUE(root.IsLeaf());
    EXPECT_EQ(root.CountNodes(), 1);
    EXPECT_EQ(root.GetClient(), nullptr);
    EXPECT_EQ(root.GetGeneration(), 0);
    ExpectRect(&root, 0, 0, 0, 0);
}

TEST(CTQGeomStructQuadNodeTest, LeafStoresRectGenerationAndAnEmptyChildMask)
{
    CTQGeomStructQuadNode leaf;
    leaf.SetBoundingBox(1, 2, 3, 4);
    leaf.SetGeneration(7);
    const std::vector<std::uint8_t> expected = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x40,
                                                0x40, 0x00, 0x00, 0x80, 0x40, 0x07, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Stored(leaf), expected);
}

TEST(CTQGeomStructQuadNodeTest, TreeRoundTripsIntoAnEmptyNodeOfTheSameShape)
{
    CTQGeomStructQuadNode root;
    root.SetBoundingBox(0, 0, 16, 16);
    Subdivide(root, 2);
    root.GetChild(1)->RemoveChild(2);
    root.GetChild(3)->RemoveChild(0);
    std::vector<std::uint8_t> bytes = Stored(root);
    EXPECT_EQ(bytes.size(), 19u * 21u);

    CTaggedNode loaded;
    CTQDataStream in(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    loaded.Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(loaded.CountNodes(), 19);
    EXPECT_EQ(loaded.GetChild(1)->GetChild(2), nullptr);
    EXPECT_NE(dynamic_cast<CTaggedNode*>(loaded.GetChild(3)->GetChild(1)), nullptr);
    ExpectRect(loaded.GetChild(3)->GetChild(1), 12, 8, 16, 12);
    EXPECT_EQ(loaded.GetChild(3)->GetChild(1)->GetGeneration(), 2);
    EXPECT_EQ(Stored(loaded), bytes);
}

TEST(CTQGeomStructQuadNodeTest, LoadingReusesPresentChildrenAndRemovesMissingOnes)
{
    CTQGeomStructQuadNode source;
    source.SetBoundingBox(0, 0, 4, 4);
    source.CreateChild(0);
    std::vector<std::uint8_t> bytes = Stored(source);

    std::vector<CTQGeomStructQuadNode> nodes(3);
    ASSERT_TRUE(nodes[0].AddChild(0, &nodes[1]));
    ASSERT_TRUE(nodes[0].AddChild(3, &nodes[2]));
    CTQDataStream in(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    nodes[0].Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(nodes[0].GetChild(0), &nodes[1]);
    EXPECT_EQ(nodes[0].GetChild(3), nullptr);
    ExpectRect(&nodes[1], 0, 0, 2, 2);
}

TEST(CTQGeomStructQuadNodeTest, TruncatedStreamLoadsSafelyAndFails)
{
    CTQGeomStructQuadNode root;
    Subdivide(root, 2);
    std::vector<std::uint8_t> bytes = Stored(root);
    for (std::uint32_t cut : {0u, 5u, 21u, 22u, 100u, static_cast<std::uint32_t>(bytes.size() - 1)})
    {
        CTQGeomStructQuadNode loaded;
        CTQDataStream in(CTQDataStream::eLoading, bytes.data(), cut);
        loaded.Serialize(in);
        EXPECT_TRUE(in.IsFailed()) << cut;
        EXPECT_LE(loaded.CountNodes(), 21) << cut;
    }
}

TEST(CTQGeomStructQuadNodeTest, BadChildMaskFailsTheStream)
{
    CapturingLogSink log;
    std::vector<std::uint8_t> bytes(21, 0);
    bytes[20] = 0x10;
    CTQGeomStructQuadNode loaded;
    CTQDataStream in(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    loaded.Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_TRUE(loaded.IsLeaf());
    EXPECT_EQ(log.Texts().size(), 1u);
}

TEST(CTQGeomStructQuadNodeTest, DataNestedDeeperThanTheLimitIsRefused)
{
    CapturingLogSink log;
    // 100 nodes each claiming one child: a chain far deeper than any quadtree.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 100; ++i)
    {
        bytes.insert(bytes.end(), 20, 0);
        bytes.push_back(0x01);
    }
    CTQGeomStructQuadNode loaded;
    CTQDataStream in(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    loaded.Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(loaded.CountNodes(), CTQGeomStructQuadNode::kMaxLoadDepth + 1);
    EXPECT_GE(log.Texts().size(), 1u);
}

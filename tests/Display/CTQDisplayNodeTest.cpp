#include "DisplayTestSupport.h"

using namespace DisplayTest;

namespace
{
std::vector<std::int32_t> Iterate(CTQDisplayNode& node)
{
    std::vector<std::int32_t> ids;
    std::int32_t id = -1;
    std::int32_t cursor = -1;
    for (bool more = node.GetFirstChild(id, cursor); more; more = node.GetNextChild(id, cursor))
        ids.push_back(id);
    return ids;
}

// The stored form of a node with the object id 7 and the given sections.
Bytes NodeBytes(const std::vector<std::int32_t>* list, const std::vector<std::pair<std::int32_t, std::int32_t>>* index)
{
    ByteWriter w;
    w.ObjectPart(7);
    if (list)
    {
        w.U8('L').I32(static_cast<std::int32_t>(list->size()));
        for (std::int32_t id : *list)
            w.I32(id);
    }
    if (index)
    {
        w.U8('m').I32(static_cast<std::int32_t>(index->size()));
        for (const auto& [id, place] : *index)
            w.I32(id).I32(place);
    }
    return w.Get();
}
} // namespace

TEST(CTQDisplayNodeTest, RemovingTheFirstOfThreeKeepsTheOtherTwoInOrder)
{
    CTQDisplayNode node;
    node.AddChild(10);
    node.AddChild(20);
    node.AddChild(30);
    node.RemoveChild(10);
    EXPECT_EQ(Iterate(node), (std::vector<std::int32_t>{20, 30}));
    EXPECT_EQ(node.GetChildCount(), 2);
    // The places recorded when they were added are not renumbered.
    EXPECT_EQ(node.GetChildIndex().at(20), 1);
    EXPECT_EQ(node.GetChildIndex().at(30), 2);
}

TEST(CTQDisplayNodeTest, RemovingAnIdThatIsNoChildChangesNothing)
{
    CTQDisplayNode node;
    node.AddChild(4);
    node.RemoveChild(5);
    EXPECT_EQ(Iterate(node), std::vector<std::int32_t>{4});
    EXPECT_TRUE(node.HasChildren());
}

TEST(CTQDisplayNodeTest, AddingAChildTwiceKeepsListAndIndexTheSame)
{
    CTQDisplayNode node;
    node.AddChild(4);
    node.AddChild(4);
    EXPECT_EQ(Iterate(node), std::vector<std::int32_t>{4});
    EXPECT_EQ(node.GetChildCount(), 1);
    node.RemoveChild(4);
    EXPECT_FALSE(node.HasChildren());
    EXPECT_TRUE(Iterate(node).empty()) << "a second copy would survive the removal";
}

TEST(CTQDisplayNodeTest, IterationOfAnEmptyNodeStopsAtOnce)
{
    CTQDisplayNode node;
    std::int32_t id = 99;
    std::int32_t cursor = 5;
    EXPECT_FALSE(node.GetFirstChild(id, cursor));
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(id, 99);
}

TEST(CTQDisplayNodeTest, StoredBytesAreTheListThenTheIndexInIdOrder)
{
    CTQDisplayNode node;
    node.AddChild(30);
    node.AddChild(10);
    node.AddChild(20);
    node.RemoveChild(30);
    // List 10, 20; index (10 -> 1), (20 -> 2), ascending by id.
    ByteWriter expected;
    expected.ObjectPart(-1).U8('L').I32(2).I32(10).I32(20).U8('m').I32(2).I32(10).I32(1).I32(20).I32(2);
    EXPECT_EQ(Store(node), expected.Get());
    EXPECT_EQ(node.GetSerializationMode(), 3);
}

TEST(CTQDisplayNodeTest, RoundTripKeepsOrderAndPlaces)
{
    CTQDisplayNode node;
    for (std::int32_t id : {5, 3, 9})
        node.AddChild(id);
    node.RemoveChild(5);
    Bytes bytes = Store(node);
    CTQDisplayNode loaded;
    ASSERT_TRUE(Load(loaded, bytes));
    EXPECT_EQ(Iterate(loaded), (std::vector<std::int32_t>{3, 9}));
    EXPECT_EQ(loaded.GetChildIndex(), node.GetChildIndex());
}

TEST(CTQDisplayNodeTest, LoadingOnlyTheListRebuildsTheIndex)
{
    CTQDisplayNode node;
    node.AddChild(1);
    const std::vector<std::int32_t> list{8, 6};
    ASSERT_TRUE(Load(node, NodeBytes(&list, nullptr)));
    EXPECT_EQ(Iterate(node), (std::vector<std::int32_t>{8, 6}));
    EXPECT_EQ(node.GetChildCount(), 2) << "the count comes from the index, which must follow the list";
    EXPECT_FALSE(node.IsChild(1));
    EXPECT_EQ(node.GetChildIndex().at(6), 1);
}

TEST(CTQDisplayNodeTest, LoadingOnlyTheIndexRebuildsTheListInPlaceOrder)
{
    CTQDisplayNode node;
    node.AddChild(1);
    const std::vector<std::pair<std::int32_t, std::int32_t>> index{{4, 2}, {7, 0}, {9, 1}};
    ASSERT_TRUE(Load(node, NodeBytes(nullptr, &index)));
    EXPECT_EQ(Iterate(node), (std::vector<std::int32_t>{7, 9, 4}));
    EXPECT_EQ(node.GetChildCount(), 3);
}

TEST(CTQDisplayNodeTest, ALoadedListAndIndexThatDisagreeAreMadeToAgree)
{
    CWarningLog log;
    CTQDisplayNode node;
    const std::vector<std::int32_t> list{2, 3, 2};
    const std::vector<std::pair<std::int32_t, std::int32_t>> index{{2, 0}, {5, 1}};
    ASSERT_TRUE(Load(node, NodeBytes(&list, &index)));
    EXPECT_EQ(Iterate(node), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(node.GetChildCount(), 2);
    EXPECT_TRUE(node.IsChild(3));
    EXPECT_FALSE(node.IsChild(5));
    EXPECT_EQ(node.GetChildIndex().at(2), 0) << "a stored place is kept for an id both knew";
    EXPECT_TRUE(log.Contains("disagreed"));
}

TEST(CTQDisplayNodeTest, AStreamWithNeitherSectionKeepsTheChildren)
{
    CTQDisplayNode node;
    node.AddChild(12);
    ASSERT_TRUE(Load(node, NodeBytes(nullptr, nullptr)));
    EXPECT_EQ(Iterate(node), std::vector<std::int32_t>{12});
}

TEST(CTQDisplayNodeTest, ACountLargerThanTheBytesLeftFailsWithoutChangingTheNode)
{
    CTQDisplayNode node;
    node.AddChild(12);
    ByteWriter w;
    w.ObjectPart(7).U8('L').I32(1000000).I32(1);
    EXPECT_FALSE(Load(node, w.Get()));
    EXPECT_EQ(Iterate(node), std::vector<std::int32_t>{12});
    ByteWriter negative;
    negative.ObjectPart(7).U8('m').I32(-1);
    EXPECT_FALSE(Load(node, negative.Get()));
    EXPECT_EQ(node.GetChildCount(), 1);
}

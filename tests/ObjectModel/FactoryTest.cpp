#include "TestNodes.h"

#include <Framekit/ObjectModel/CTQNodeFactory.h>

#include <gtest/gtest.h>

#include <optional>

TEST(CTQNodeFactory, CreatesRegisteredClassesByName)
{
    CTQNode* node = CTQNodeFactory::New("CTestCountedNode");
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->IsOfType(CTQNode::GetClassType()));
    EXPECT_EQ(&node->GetType(), &CTestCountedNode::GetClassType());
    EXPECT_EQ(node->GetRefCount(), 1);
    CTQNodeFactory::Delete(node);
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
    CTQNodeFactory::Delete(nullptr);
    EXPECT_EQ(CTQNodeFactory::New("CNoSuchClass"), nullptr);
}

TEST(CTQNodeFactory, AnswersQuestionsAboutClasses)
{
    EXPECT_TRUE(CTQNodeFactory::IsValidClassType("CTQNode"));
    EXPECT_FALSE(CTQNodeFactory::IsValidClassType("ctqnode"));
    EXPECT_TRUE(CTQNodeFactory::IsClassOfType("CTestCountedNode", CTQNode::GetClassType()));
    EXPECT_FALSE(CTQNodeFactory::IsClassOfType("CTQNode", CTestCountedNode::GetClassType()));
    EXPECT_FALSE(CTQNodeFactory::IsClassOfType("CNoSuchClass", CTQNode::GetClassType()));
    EXPECT_EQ(&CTQNodeFactory::GetClassType("CTestPickyNode"), &CTestPickyNode::GetClassType());
    EXPECT_STREQ(CTQNodeFactory::GetClassType("CNoSuchClass").GetName(), "");
    EXPECT_STREQ(CTQNodeFactory::GetFactoryName(), "CTQNodeFactory");
}

TEST(CTQNodeFactory, EnumeratesNamesInOrder)
{
    std::vector<std::string> names;
    CTQString name;
    for (bool ok = CTQNodeFactory::GetFirst(name); ok; ok = CTQNodeFactory::GetNext(CTQString(name), name))
        names.emplace_back(name.GetString());
    ASSERT_GE(names.size(), 3u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_NE(std::find(names.begin(), names.end(), "CTQNode"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "CTestCountedNode"), names.end());
}

namespace
{
class CTestTransientNode : public CTQNode
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestTransientNode)
};
TQ_IMPLEMENT_CLASS_TYPE(CTestTransientNode, CTQNode, 0x100)
} // namespace

TEST(CTQNodeFactory, DestroyingOneEntryLeavesTheOthersRegistered)
{
    const std::size_t before = CTQNodeFactory::GetRegistry().size();
    {
        std::optional<CTQNodeFactoryT<CTestTransientNode>> entry;
        entry.emplace();
        EXPECT_TRUE(CTQNodeFactory::IsValidClassType("CTestTransientNode"));
        EXPECT_EQ(CTQNodeFactory::GetRegistry().size(), before + 1);
    }
    EXPECT_FALSE(CTQNodeFactory::IsValidClassType("CTestTransientNode"));
    EXPECT_EQ(CTQNodeFactory::GetRegistry().size(), before);
    EXPECT_TRUE(CTQNodeFactory::IsValidClassType("CTestCountedNode"));
}

TEST(CTQNodeFactory, ASecondEntryUnderATakenNameNeitherReplacesNorRemovesTheFirst)
{
    {
        CTQNodeFactoryT<CTestCountedNode> duplicate;
    }
    CTQNode* node = CTQNodeFactory::New("CTestCountedNode");
    ASSERT_NE(node, nullptr);
    node->Release();
}

TEST(CTQClassType, IsDerivedFromWalksTheParents)
{
    EXPECT_TRUE(CTestCountedNode::GetClassType().IsDerivedFrom(CTQNode::GetClassType()));
    EXPECT_TRUE(CTQNode::GetClassType().IsDerivedFrom(CTQNode::GetClassType()));
    EXPECT_FALSE(CTQNode::GetClassType().IsDerivedFrom(CTestCountedNode::GetClassType()));
    EXPECT_STREQ(CTestCountedNode::GetClassType().GetName(), "CTestCountedNode");
    EXPECT_EQ(CTQNode::GetDataFormatVersion(), 0x100);
}

#include "TestNodes.h"

#include <Framekit/ObjectModel/CTQNamespace.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQPath.h>

#include <gtest/gtest.h>

namespace
{
// Each test works below its own top-level node and removes it afterwards, so
// the static namespace is empty again between tests.
class NamespaceTest : public ::testing::Test
{
protected:
    CTQNamespace& ns = CTQNamespace::Instance();

    void TearDown() override
    {
        CTQString name;
        while (ns.GetRoot()->GetFirstChild(name))
        {
            CTQNode* child = ns.GetRoot()->FindChild(name);
            while (child->Release() > 0)
            {
            }
        }
        EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
        EXPECT_EQ(CTestPickyNode::s_nAlive, 0);
    }

    CTQNode* At(const char* path) { return ns.GetRoot() ? Find(path) : nullptr; }

    CTQNode* Find(const char* path)
    {
        CTQNode* node = ns.Query(CTQPath(path));
        if (node)
            node->Release();
        return node;
    }
};
} // namespace

TEST_F(NamespaceTest, CreatingByPathMakesEveryMissingNodeOnce)
{
    EXPECT_TRUE(ns.New(CTQPath("$/a/b"), "CTQNode"));
    CTQNode* b = Find("a/b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Find("$/a/b"), b);
    EXPECT_EQ(b->GetRefCount(), 1);
    EXPECT_TRUE(ns.New(CTQPath("$/a/b"), "CTestCountedNode"));
    EXPECT_EQ(Find("a/b"), b); // left as it was, whatever the class
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
}

TEST_F(NamespaceTest, LeafGetsTheClassAndIntermediatesArePlainNodes)
{
    EXPECT_TRUE(ns.New(CTQPath("$/net/db"), "CTestCountedNode"));
    EXPECT_TRUE(Find("$/net")->IsOfType(CTQNode::GetClassType()));
    EXPECT_FALSE(Find("$/net")->IsOfType(CTestCountedNode::GetClassType()));
    EXPECT_TRUE(Find("$/net/db")->IsOfType(CTestCountedNode::GetClassType()));
}

TEST_F(NamespaceTest, AnUnknownClassFailsButKeepsWhatWasMadeOnTheWay)
{
    EXPECT_FALSE(ns.New(CTQPath("$/x/y"), "CNoSuchClass"));
    EXPECT_NE(Find("$/x"), nullptr);
    EXPECT_EQ(Find("$/x/y"), nullptr);
}

TEST_F(NamespaceTest, ARefusedAttachReleasesTheNewNodeAndFails)
{
    ASSERT_TRUE(ns.New(CTQPath("$/picky"), "CTestPickyNode"));
    EXPECT_FALSE(ns.New(CTQPath("$/picky/child"), "CTestCountedNode"));
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
    EXPECT_EQ(Find("$/picky/child"), nullptr);
}

TEST_F(NamespaceTest, PathsAreAbsoluteWithATrailingSeparator)
{
    CTQPath path;
    ns.GetRoot()->GetPath(path);
    EXPECT_STREQ(path.GetPath(), "$/");
    ASSERT_TRUE(ns.New(CTQPath("$/net/db"), "CTQNode"));
    Find("$/net/db")->GetPath(path);
    EXPECT_STREQ(path.GetPath(), "$/net/db/");
}

TEST_F(NamespaceTest, MissingPathsGiveNullAndZero)
{
    EXPECT_EQ(ns.Query(CTQPath("$/nothing/here")), nullptr);
    EXPECT_EQ(ns.Release(CTQPath("$/nothing")), 0);
    EXPECT_EQ(Find(""), ns.GetRoot());
    EXPECT_EQ(Find("$"), ns.GetRoot());
}

TEST_F(NamespaceTest, ReleaseAtZeroDetachesFromTheParentAndDeletes)
{
    ASSERT_TRUE(ns.New(CTQPath("$/p/c"), "CTestCountedNode"));
    CTQNode* c = ns.Query(CTQPath("$/p/c"));
    EXPECT_EQ(c->GetRefCount(), 2);
    EXPECT_EQ(ns.Release(CTQPath("$/p/c")), 1);
    EXPECT_EQ(c->Release(), 0);
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
    EXPECT_EQ(Find("$/p")->GetNumChildren(), 0);
}

TEST_F(NamespaceTest, ReleasingTheStaticRootNeverDeletesIt)
{
    CTQNode* root = ns.GetRoot();
    EXPECT_EQ(root->Release(), 1);
    EXPECT_EQ(root->Release(), 1);
    EXPECT_STREQ(root->GetName(), "$");
    EXPECT_TRUE(ns.New(CTQPath("$/still/works"), "CTQNode"));
}

TEST_F(NamespaceTest, DestroyingAParentReleasesChildrenWithoutTheirDetachingFromIt)
{
    ASSERT_TRUE(ns.New(CTQPath("$/tree/a"), "CTestCountedNode"));
    ASSERT_TRUE(ns.New(CTQPath("$/tree/b"), "CTestCountedNode"));
    ASSERT_TRUE(ns.New(CTQPath("$/tree/b/deep"), "CTestCountedNode"));
    EXPECT_EQ(CTestCountedNode::s_nAlive, 3);
    EXPECT_EQ(ns.Release(CTQPath("$/tree")), 0);
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
}

TEST_F(NamespaceTest, AChildHeldElsewhereOutlivesItsParent)
{
    ASSERT_TRUE(ns.New(CTQPath("$/t/kept"), "CTestCountedNode"));
    CTQNode* kept = ns.Query(CTQPath("$/t/kept"));
    ns.Release(CTQPath("$/t"));
    EXPECT_EQ(CTestCountedNode::s_nAlive, 1);
    EXPECT_EQ(kept->GetRefCount(), 1);
    EXPECT_EQ(kept->Release(), 0);
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
}

TEST(CTQNode, ChildrenEnumerateInNameOrder)
{
    CTQNode* parent = new CTQNode();
    CTQString name("x");
    EXPECT_FALSE(parent->GetFirstChild(name));
    EXPECT_TRUE(name.IsEmpty());
    for (const char* n : {"delta", "alpha", "Charlie", "bravo"})
        ASSERT_TRUE(parent->New(n, "CTQNode"));
    std::vector<std::string> seen;
    for (bool ok = parent->GetFirstChild(name); ok; ok = parent->GetNextChild(CTQString(name), name))
        seen.emplace_back(name.GetString());
    EXPECT_EQ(seen, (std::vector<std::string>{"Charlie", "alpha", "bravo", "delta"}));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_EQ(parent->GetNumChildren(), 4);
    EXPECT_TRUE(parent->HasChildren());
    parent->Release();
}

TEST(CTQNode, NewWithAnUnknownClassOrNullTypeFails)
{
    CTQNode* parent = new CTQNode();
    EXPECT_FALSE(parent->New("a", "CNoSuchClass"));
    EXPECT_FALSE(parent->New("a", static_cast<const CTQClassType*>(nullptr)));
    EXPECT_TRUE(parent->New("a", &CTestCountedNode::GetClassType()));
    EXPECT_EQ(parent->GetNumChildren(), 1);
    parent->Release();
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
}

TEST(CTQNode, NewOverAnExistingNameReleasesTheReplacedChild)
{
    CTQNode* parent = new CTQNode();
    ASSERT_TRUE(parent->New("same", "CTestCountedNode"));
    ASSERT_TRUE(parent->New("same", "CTestCountedNode"));
    EXPECT_EQ(CTestCountedNode::s_nAlive, 1);
    EXPECT_EQ(parent->GetNumChildren(), 1);
    parent->Release();
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
}

TEST(CTQNode, RenamingMovesTheNodeInItsParent)
{
    CTQNode* parent = new CTQNode();
    ASSERT_TRUE(parent->New("old", "CTQNode"));
    CTQNode* child = parent->FindChild("old");
    EXPECT_TRUE(child->SetName("new"));
    EXPECT_EQ(parent->FindChild("old"), nullptr);
    EXPECT_EQ(parent->FindChild("new"), child);
    EXPECT_STREQ(child->GetName(), "new");
    EXPECT_EQ(child->GetRefCount(), 1);
    parent->Release();
}

TEST(CTQNode, RenamingUnderARefusingParentKeepsTheNodeUnderItsOldName)
{
    CTestPickyNode* parent = new CTestPickyNode();
    ASSERT_TRUE(parent->New("kid", "CTQNode"));
    CTQNode* kid = parent->FindChild("kid");
    EXPECT_FALSE(kid->SetName("#reserved"));
    EXPECT_EQ(parent->FindChild("kid"), kid);
    EXPECT_STREQ(kid->GetName(), "kid");
    EXPECT_EQ(parent->GetNumChildren(), 1);
    EXPECT_TRUE(kid->SetName("renamed"));
    EXPECT_EQ(parent->FindChild("renamed"), kid);
    parent->Release();
    EXPECT_EQ(CTestPickyNode::s_nAlive, 0);
}

TEST(CTQNode, ParentsRefuseClassesTheyDoNotAccept)
{
    CTestPickyNode* parent = new CTestPickyNode();
    EXPECT_FALSE(parent->New("c", "CTestCountedNode"));
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
    parent->Release();
}

TEST(CTQNode, NamesCompareBytewise)
{
    CTQNode a;
    a.SetName("net");
    EXPECT_TRUE(a == CTQString("net"));
    EXPECT_TRUE(a != CTQString("Net"));
    EXPECT_LT(a.Compare("o"), 0);
    CTQNode b;
    b.SetName("net");
    EXPECT_TRUE(a == b);
}

TEST(CTQNode, CopiesNeverShareChildren)
{
    CTQNode* original = new CTQNode();
    original->SetName("orig");
    ASSERT_TRUE(original->New("child", "CTestCountedNode"));
    CTQNode* copy = new CTQNode(*original);
    EXPECT_STREQ(copy->GetName(), "orig");
    EXPECT_EQ(copy->GetNumChildren(), 0);
    EXPECT_EQ(copy->GetRefCount(), 1);
    copy->Release();
    EXPECT_EQ(CTestCountedNode::s_nAlive, 1);
    original->Release();
    EXPECT_EQ(CTestCountedNode::s_nAlive, 0);
}

TEST(CTQNode, TheNodeTreeIsNotSerialised)
{
    CTQDataStream s;
    CTQNode node;
    node.Serialize(s);
    CTQNamespace::Instance().Serialize(s);
    EXPECT_EQ(s.GetSize(), 0u);
}

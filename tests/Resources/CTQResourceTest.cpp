#include "ResourceFixture.h"

#include <Framekit/ObjectModel/CTQObjectFactory.h>

#include <vector>

namespace
{
using CTQResourceTest = ResourceFixture;

std::vector<std::int32_t> Dependencies(const CTQResource* resource)
{
    std::vector<std::int32_t> ids;
    std::int32_t id = -1;
    std::int32_t cursor = 0;
    for (bool more = resource->GetFirstDependency(id, cursor); more; more = resource->GetNextDependency(id, cursor))
        ids.push_back(id);
    return ids;
}

// Record of resource 5 "ab", class "C", singleton, attribute n = 7, reference
// "r" to 9 of class "X", dependency 2: every byte by hand.
Bytes SmallRecord(std::uint16_t version = 2)
{
    CByteBuilder b;
    b.U16(0).U16(version).I32(5).Str("ab").Str("C").Bool(true);
    b.I32(1).Str("n").U16(1).I32(7);
    b.I32(1).Str("r").I32(9).Str("X");
    if (version >= 2)
        b.I32(1).I32(2);
    return b.Get();
}
} // namespace

TEST_F(CTQResourceTest, TypeAndRegistration)
{
    CTQResource resource;
    EXPECT_TRUE(resource.IsOfType(CTQObject::GetClassType()));
    EXPECT_STREQ(CTQResourceFactory::GetFactoryName(), "CTQResourceFactory");
    EXPECT_TRUE(CTQResourceFactory::IsValidClassType("CTQResource"));
    EXPECT_FALSE(CTQObjectFactory::IsValidClassType("CTQResource"));
    EXPECT_EQ(resource.GetAssociatedCommandObjectNode(), "CTQResourceInstanceCommandObject");
}

TEST_F(CTQResourceTest, ReferenceAddsAndRemovesTheBackLink)
{
    CTQResource* a = Make(3);
    CTQResource* b = Make(7);
    EXPECT_TRUE(a->AddReference("refB", 7, "Cls"));
    EXPECT_EQ(Dependencies(b), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(b->GetRefCount(), 1) << "the query made for the back-link was not given back";
    EXPECT_TRUE(a->RemoveReference("refB"));
    EXPECT_FALSE(b->HasDependencies());
    EXPECT_FALSE(a->RemoveReference("refB"));
    EXPECT_EQ(a->GetReferenceId("refB"), -1);
}

TEST_F(CTQResourceTest, SelfReferenceIsRefusedAndMinusOneTouchesNothing)
{
    CTQResource* a = Make(3);
    EXPECT_FALSE(a->AddReference("self", 3, ""));
    EXPECT_FALSE(a->HasReference("self"));
    EXPECT_TRUE(a->AddReference("none", -1, "X"));
    EXPECT_EQ(a->GetReferenceId("none"), -1);
    EXPECT_FALSE(a->HasDependencies());
    EXPECT_FALSE(a->SetReference("none", 3)) << "SetReference made a self-reference";
}

// The old form queried the new target and never gave the query back.
TEST_F(CTQResourceTest, SetReferenceMovesTheBackLinkAndLeaksNoReference)
{
    CTQResource* a = Make(1);
    CTQResource* b = Make(2);
    CTQResource* c = Make(3);
    a->AddReference("ref", 2, "");
    EXPECT_TRUE(a->SetReference("ref", 3));
    EXPECT_FALSE(b->DoesDependOn(1));
    EXPECT_TRUE(c->DoesDependOn(1));
    EXPECT_EQ(b->GetRefCount(), 1);
    EXPECT_EQ(c->GetRefCount(), 1);
    EXPECT_FALSE(a->SetReference("absent", 2));
}

TEST_F(CTQResourceTest, BackLinkStaysWhileAnotherReferencePointsAtTheTarget)
{
    CTQResource* a = Make(1);
    CTQResource* b = Make(2);
    a->AddReference("x", 2, "");
    a->AddReference("y", 2, "");
    a->RemoveReference("x");
    EXPECT_TRUE(b->DoesDependOn(1));
    a->AddReference("y", -1, "") /* overwriting moves the last link away */;
    EXPECT_FALSE(b->DoesDependOn(1));
    a->AddReference("z", 2, "");
    a->RemoveAllReferences();
    EXPECT_FALSE(b->HasDependencies());
    EXPECT_EQ(a->GetNumReferences(), 0);
}

TEST_F(CTQResourceTest, EnumerationsAreOrdered)
{
    CTQResource* a = Make(1);
    a->AddReference("b", -1, "B");
    a->AddReference("a", -1, "A");
    for (std::int32_t id : {9, 4, 6})
        a->AddDependency(id);
    a->AddDependency(4);
    CTQString name, cls;
    std::int32_t id = 0, cursor = 0;
    ASSERT_TRUE(a->GetFirstReference(name, id, cls, cursor));
    EXPECT_EQ(name, "a");
    ASSERT_TRUE(a->GetNextReference(name, id, cls, cursor));
    EXPECT_EQ(cls, "B");
    EXPECT_FALSE(a->GetNextReference(name, id, cls, cursor));
    EXPECT_EQ(Dependencies(a), (std::vector<std::int32_t>{4, 6, 9}));
}

TEST_F(CTQResourceTest, RecordBytesAreExact)
{
    CTQResource* target = Make(9);
    CTQResource* r = Make(5, "ab");
    r->SetAssociatedClassType("C");
    r->SetSingleton(true);
    (*r)["n"] = 7;
    r->AddReference("r", 9, "X");
    r->AddDependency(2);
    CTempPath path;
    ASSERT_TRUE(SaveTo(*r, path));
    EXPECT_EQ(ReadFileBytes(path), SmallRecord());
    EXPECT_TRUE(target->DoesDependOn(5));
}

// A version-2 record carries its dependency list: reading its references must not
// add back-links anywhere.
TEST_F(CTQResourceTest, Version2LoadRestoresListsWithoutAddingBackLinks)
{
    CTQResource* target = Make(9);
    CTempPath path;
    WriteFileBytes(path, SmallRecord());
    CTQResource r;
    ASSERT_TRUE(LoadFrom(r, path));
    EXPECT_EQ(r.GetId(), 5);
    EXPECT_EQ(r.GetName(), "ab");
    EXPECT_EQ(r.GetAssociatedClassType(), "C");
    EXPECT_TRUE(r.IsSingleton());
    EXPECT_EQ(r["n"].GetInt(), 7);
    EXPECT_EQ(r.GetReferenceId("r"), 9);
    EXPECT_EQ(Dependencies(&r), (std::vector<std::int32_t>{2}));
    EXPECT_FALSE(target->HasDependencies());
    // After the load back-links work again.
    r.AddReference("again", 9, "");
    EXPECT_TRUE(target->DoesDependOn(5));
}

TEST_F(CTQResourceTest, Version1LoadRebuildsBackLinks)
{
    CTQResource* target = Make(9);
    CTempPath path;
    WriteFileBytes(path, SmallRecord(1));
    CTQResource r;
    ASSERT_TRUE(LoadFrom(r, path));
    EXPECT_FALSE(r.HasDependencies());
    EXPECT_EQ(Dependencies(target), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(target->GetRefCount(), 1);
}

TEST_F(CTQResourceTest, LoadRejectsAMarkerOtherThanZero)
{
    Bytes bytes = SmallRecord();
    bytes[0] = 1;
    CTempPath path;
    WriteFileBytes(path, bytes);
    CTQResource r;
    EXPECT_FALSE(LoadFrom(r, path));
    EXPECT_EQ(r.GetId(), -1) << "read past a bad marker";
}

// The old form left the flag set when a record failed, so back-links stayed off.
TEST_F(CTQResourceTest, FailedLoadClearsTheLoadingFlagAtEveryLength)
{
    CTQResource* target = Make(9);
    const Bytes full = SmallRecord();
    for (std::size_t length = 0; length < full.size(); ++length)
    {
        CTempPath path;
        WriteFileBytes(path, Bytes(full.begin(), full.begin() + static_cast<long>(length)));
        auto* r = new CTestCountedRes();
        EXPECT_FALSE(LoadFrom(*r, path)) << length;
        r->RemoveAllReferences();
        r->AddReference("probe", 9, "");
        EXPECT_EQ(target->DoesDependOn(r->GetId()), r->GetId() >= 0) << length;
        r->RemoveAllReferences();
        r->Release();
    }
}

TEST_F(CTQResourceTest, AbsurdCountsFailWithoutAllocating)
{
    CTQResource r;
    CTempPath path;
    CByteBuilder b;
    b.U16(0).U16(2).I32(1).Str("").Str("").Bool(false).I32(0).I32(0x7fffffff);
    WriteFileBytes(path, b.Get());
    EXPECT_FALSE(LoadFrom(r, path));
    CByteBuilder c;
    c.U16(0).U16(2).I32(1).Str("").Str("").Bool(false).I32(0).I32(0).I32(-1);
    WriteFileBytes(path, c.Get());
    EXPECT_FALSE(LoadFrom(r, path));
}

TEST_F(CTQResourceTest, CopyTakesContentButNotIdentity)
{
    CTQResource* target = Make(9);
    CTQResource* from = Make(1, "from");
    CTQResource* to = Make(2, "to");
    (*from)["a"] = 1;
    from->SetAssociatedClassType("CObj");
    from->SetSingleton(true);
    from->AddReference("t", 9, "X");
    from->AddDependency(4);
    (*to)["keep"] = "k";
    EXPECT_TRUE(to->Copy(from));
    EXPECT_EQ((*to)["a"].GetInt(), 1);
    EXPECT_EQ((*to)["keep"].GetString(), "k");
    EXPECT_EQ(to->GetAssociatedClassType(), "CObj");
    EXPECT_EQ(to->GetReferenceId("t"), 9);
    EXPECT_TRUE(target->DoesDependOn(2)) << "copied reference made no back-link";
    EXPECT_EQ(to->GetName(), "to");
    EXPECT_EQ(to->GetId(), 2);
    EXPECT_FALSE(to->IsSingleton());
    EXPECT_FALSE(to->HasDependencies());
    EXPECT_FALSE(to->Copy(nullptr));
}

TEST_F(CTQResourceTest, UpdateResourceAMatchesThePrototypesNames)
{
    CTQResource* oldTarget = Make(8);
    CTQResource* newTarget = Make(9);
    CTQResource proto;
    proto["kept"] = 100;
    proto["added"] = 2.5f;
    proto["retyped"] = "text";
    proto.AddReference("shared", 8, "P");
    proto.AddReference("fresh", 9, "F");
    proto.SetAssociatedClassType("CNew");
    CTQResource* r = Make(1);
    (*r)["kept"] = 1;
    (*r)["retyped"] = 5;
    (*r)["dropped"] = 3;
    r->AddReference("shared", 8, "Own");
    r->AddReference("gone", 8, "G");
    EXPECT_TRUE(r->UpdateResourceA(&proto));
    EXPECT_EQ(r->GetAttributeCount(), 3);
    EXPECT_EQ((*r)["kept"].GetInt(), 1);
    EXPECT_FLOAT_EQ((*r)["added"].GetFloat(), 2.5f);
    EXPECT_EQ((*r)["retyped"].GetString(), "text");
    EXPECT_FALSE(r->HasAttribute("dropped"));
    EXPECT_EQ(r->GetNumReferences(), 2);
    CTQString cls;
    EXPECT_TRUE(r->GetReferenceResourceClassType("shared", cls));
    EXPECT_EQ(cls, "Own");
    EXPECT_FALSE(r->HasReference("gone"));
    EXPECT_TRUE(oldTarget->DoesDependOn(1)) << "still referenced through 'shared'";
    EXPECT_TRUE(newTarget->DoesDependOn(1));
    EXPECT_EQ(r->GetAssociatedClassType(), "CNew");
}

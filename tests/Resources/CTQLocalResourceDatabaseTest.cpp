#include "ResourceFixture.h"

#include <vector>

namespace
{
using CTQLocalResourceDatabaseTest = ResourceFixture;

// The file of a database holding one resource: id 0 "a" of CTestCountedRes,
// entry class "K", attribute x = 1; every byte by hand.
Bytes OneResourceFile()
{
    CByteBuilder record;
    record.U16(0).U16(2).I32(0).Str("a").Str("").Bool(false).I32(1).Str("x").U16(1).I32(1).I32(0).I32(0);
    CByteBuilder file;
    file.U16(0).U16(0).I32(0).I32(1).Str("CTestCountedRes").Str("K");
    file.I32(static_cast<std::int32_t>(record.Get().size())).Raw(record.Get());
    return file.Get();
}

// The frame of one entry around a record.
Bytes Entry(const std::string& type, const Bytes& record, std::int32_t statedLength)
{
    CByteBuilder b;
    b.Str(type).Str("").I32(statedLength).Raw(record);
    return b.Get();
}

Bytes Record(std::int32_t id, const std::string& name)
{
    CByteBuilder b;
    b.U16(0).U16(2).I32(id).Str(name).Str("").Bool(false).I32(0).I32(0).I32(0);
    return b.Get();
}

Bytes FileOf(const std::vector<Bytes>& entries)
{
    CByteBuilder b;
    b.U16(0).U16(0).I32(0).I32(static_cast<std::int32_t>(entries.size()));
    for (const Bytes& e : entries)
        b.Raw(e);
    return b.Get();
}
} // namespace

TEST_F(CTQLocalResourceDatabaseTest, IdsCountUpAndTheCounterCanBeSet)
{
    EXPECT_TRUE(db->IsLocal());
    EXPECT_FALSE(db->IsRemote());
    EXPECT_EQ(db->GetType().GetName(), "CTQLocalResourceDatabase");
    EXPECT_TRUE(db->IsOfType(CTQResourceDatabase::GetClassType()));
    EXPECT_EQ(db->CreateResource("a", "CTestCountedRes"), 0);
    EXPECT_EQ(db->CreateResource("b", "CTestCountedRes"), 1);
    EXPECT_EQ(db->CreateResource("c", "NoSuchType"), -1);
    EXPECT_EQ(db->CreateResource("d", "CTestCountedRes"), 3) << "a failed creation consumes its id";
    db->SetIdCounter(100);
    EXPECT_EQ(db->CreateResource("e", "CTestCountedRes"), 100);
    EXPECT_EQ(db->GetCount(), 4);
}

// The old form overwrote a taken id and lost the resource there.
TEST_F(CTQLocalResourceDatabaseTest, TakenIdsAreNeverOverwritten)
{
    CTQResource* five = Make(5);
    EXPECT_EQ(db->CreateResourceWithFixedId(5, "other", "CTestCountedRes"), -1);
    EXPECT_EQ(db->CreateResourceWithFixedId(-2, "neg", "CTestCountedRes"), -1);
    db->SetIdCounter(5);
    EXPECT_EQ(db->CreateResource("next", "CTestCountedRes"), 6);
    EXPECT_EQ(db->QueryResource(5), five);
    db->ReleaseResource(5);
}

TEST_F(CTQLocalResourceDatabaseTest, QueryReleaseAndDestroyCountReferences)
{
    const std::int32_t id = db->CreateResource("a", "CTestCountedRes");
    db->QueryResource(id);
    db->QueryResource(id);
    EXPECT_EQ(db->ReleaseResource(id), 2);
    EXPECT_EQ(db->ReleaseResource(id), 1);
    EXPECT_EQ(db->ReleaseResource(id), 0);
    EXPECT_FALSE(db->IsResourceIdValid(id));
    EXPECT_EQ(db->ReleaseResource(id), -1);
    EXPECT_EQ(Alive(), 0);

    const std::int32_t held = db->CreateResource("b", "CTestCountedRes");
    CTQResource* holder = db->QueryResource(held);
    db->DestroyResource(held);
    EXPECT_FALSE(db->IsResourceIdValid(held));
    EXPECT_EQ(holder->GetRefCount(), 1) << "destroy gave back exactly the table's reference";
    holder->Release();
}

TEST_F(CTQLocalResourceDatabaseTest, CreateResourceFromClassCopiesThePrototype)
{
    ASSERT_TRUE(classes->CreateResourceClass("Tree", "CTestSpecialRes"));
    CTQResource* proto = classes->QueryResourceClass("Tree");
    (*proto)["fHeight"] = 3.0f;
    proto->SetAssociatedClassType("CTreeObject");
    const std::int32_t id = db->CreateResourceFromClass("oak", "Tree");
    ASSERT_GE(id, 0);
    CTQResource* oak = db->QueryResource(id);
    EXPECT_TRUE(oak->IsOfType(CTestSpecialRes::GetClassType()));
    EXPECT_EQ(oak->GetName(), "oak");
    EXPECT_FLOAT_EQ((*oak)["fHeight"].GetFloat(), 3.0f);
    EXPECT_EQ(oak->GetAssociatedClassType(), "CTreeObject");
    CTQString rc;
    EXPECT_TRUE(db->GetResourceClassType(id, rc));
    EXPECT_EQ(rc, "Tree");
    db->ReleaseResource(id);
    EXPECT_EQ(proto->GetRefCount(), 2) << "the prototype's query was not given back";
    classes->ReleaseResourceClass("Tree");
    EXPECT_EQ(db->CreateResourceFromClass("x", "NoClass"), -1);
}

TEST_F(CTQLocalResourceDatabaseTest, ChangeResourceClassRemakesTheResourceInPlace)
{
    ASSERT_TRUE(classes->CreateResourceClass("Special", "CTestSpecialRes"));
    CTQResource* proto = classes->QueryResourceClass("Special");
    (*proto)["fromProto"] = 1;
    (*proto)["both"] = 1;
    classes->ReleaseResourceClass("Special");
    CTQResource* target = Make(9);
    CTQResource* old = Make(4, "mine");
    (*old)["both"] = 2;
    old->AddReference("t", 9, "");
    old->AddDependency(7);

    EXPECT_TRUE(db->ChangeResourceClass(4, "Special"));
    CTQResource* now = db->QueryResource(4);
    EXPECT_TRUE(now->IsOfType(CTestSpecialRes::GetClassType()));
    EXPECT_EQ(now->GetName(), "mine");
    EXPECT_EQ((*now)["fromProto"].GetInt(), 1);
    EXPECT_EQ((*now)["both"].GetInt(), 2);
    EXPECT_TRUE(now->DoesDependOn(7));
    EXPECT_TRUE(target->DoesDependOn(4));
    CTQString rc;
    db->GetResourceClassType(4, rc);
    EXPECT_EQ(rc, "Special");
    EXPECT_EQ(now->GetRefCount(), 2);
    EXPECT_FALSE(db->ChangeResourceClass(4, "Special")) << "changed a resource someone holds";
    db->ReleaseResource(4);
    // The target, the remade resource and the prototype (a counted type too).
    EXPECT_EQ(Alive(), 3) << "the old resource was not released";
}

// The old form removed the entry first: an absent prototype or a failed creation
// lost the resource.
TEST_F(CTQLocalResourceDatabaseTest, FailedChangeResourceClassKeepsTheResource)
{
    CTQResource* old = Make(4);
    EXPECT_FALSE(db->ChangeResourceClass(4, "NoClass"));
    EXPECT_FALSE(db->ChangeResourceClass(99, "NoClass"));
    {
        CTQResourceFactoryT<CTestTransientRes> entry;
        ASSERT_TRUE(classes->CreateResourceClass("Gone", "CTestTransientRes"));
    }
    EXPECT_FALSE(db->ChangeResourceClass(4, "Gone"));
    EXPECT_EQ(db->QueryResource(4), old);
    db->ReleaseResource(4);
}

TEST_F(CTQLocalResourceDatabaseTest, EnumerationFollowsIdsAndResourceClasses)
{
    ASSERT_TRUE(classes->CreateResourceClass("K", "CTestCountedRes"));
    db->SetIdCounter(10);
    db->CreateResourceFromClass("k1", "K");
    Make(3);
    db->CreateResourceFromClass("k2", "K");
    std::vector<std::int32_t> all, ofK;
    std::int32_t id = -1, cursor = 0;
    CTQString rc;
    for (bool more = db->GetFirstResource(id, rc, cursor); more; more = db->GetNextResource(id, rc, cursor))
        all.push_back(id);
    for (bool more = db->GetFirstResourceOfResourceClassType("K", id, cursor); more;
         more = db->GetNextResourceOfResourceClassType("K", id, cursor))
        ofK.push_back(id);
    EXPECT_EQ(all, (std::vector<std::int32_t>{3, 10, 11}));
    EXPECT_EQ(ofK, (std::vector<std::int32_t>{10, 11}));
}

TEST_F(CTQLocalResourceDatabaseTest, SourceControlIsInert)
{
    bool changed = false;
    CTQString path = "x";
    EXPECT_TRUE(db->Startup());
    EXPECT_FALSE(db->Login("a", "b", "c", "d"));
    EXPECT_FALSE(db->CheckOut(0));
    EXPECT_FALSE(db->CheckInFile("f", changed));
    EXPECT_TRUE(db->ReadResourceTreeFile(path));
    EXPECT_TRUE(db->WriteResourceTreeFile(path));
    EXPECT_TRUE(path.IsEmpty());
}

TEST_F(CTQLocalResourceDatabaseTest, SavedFileBytesAreExact)
{
    ASSERT_TRUE(classes->CreateResourceClass("K", "CTestCountedRes"));
    const std::int32_t id = db->CreateResourceFromClass("a", "K");
    (*db->QueryResource(id))["x"] = 1;
    db->ReleaseResource(id);
    CTempPath path;
    ASSERT_TRUE(SaveTo(*db, path));
    EXPECT_EQ(ReadFileBytes(path), OneResourceFile());
}

TEST_F(CTQLocalResourceDatabaseTest, RoundTripRestoresEntriesLinksAndMovesTheCounter)
{
    Make(2, "two");
    CTQResource* seven = Make(7, "seven");
    seven->AddReference("two", 2, "C");
    (*seven)["s"] = "text";
    CTempPath path;
    ASSERT_TRUE(SaveTo(*db, path));

    CTQLocalResourceDatabase loaded;
    ASSERT_TRUE(LoadFrom(loaded, path));
    EXPECT_EQ(loaded.GetCount(), 2);
    CTQResource* two = loaded.QueryResource(2);
    CTQResource* again = loaded.QueryResource(7);
    EXPECT_EQ(two->GetName(), "two");
    EXPECT_TRUE(two->DoesDependOn(7));
    EXPECT_EQ(again->GetReferenceId("two"), 2);
    EXPECT_EQ((*again)["s"].GetString(), "text");
    loaded.ReleaseResource(2);
    loaded.ReleaseResource(7);
    // The old form left the counter at 0, so new resources overwrote loaded ones.
    EXPECT_EQ(loaded.CreateResource("new", "CTestCountedRes"), 8);
}

// The old form dropped the replaced resource without releasing it.
TEST_F(CTQLocalResourceDatabaseTest, LoadReplacesAnEntryAndReleasesIt)
{
    CTempPath path;
    WriteFileBytes(path, OneResourceFile());
    Make(0, "before");
    ASSERT_TRUE(LoadFrom(*db, path));
    EXPECT_EQ(Alive(), 1);
    CTQString rc;
    EXPECT_TRUE(db->GetResourceClassType(0, rc));
    EXPECT_EQ(rc, "K");
}

TEST_F(CTQLocalResourceDatabaseTest, LoadSkipsUnknownTypesAndRecordsWithoutId)
{
    Bytes unknown;
    {
        CTQResourceFactoryT<CTestTransientRes> entry;
        CTQLocalResourceDatabase other;
        other.CreateResourceWithFixedId(3, "t", "CTestTransientRes");
        CTempPath path;
        SaveTo(other, path);
        const Bytes saved = ReadFileBytes(path);
        unknown = Bytes(saved.begin() + 12, saved.end());
    }
    const Bytes noId = Record(-1, "x");
    CTempPath path;
    WriteFileBytes(path, FileOf({unknown, Entry("CTestCountedRes", noId, static_cast<std::int32_t>(noId.size())),
                                        Entry("CTestCountedRes", Record(4, "b"), 30)}));
    ASSERT_TRUE(LoadFrom(*db, path));
    EXPECT_EQ(db->GetCount(), 1);
    EXPECT_TRUE(db->IsResourceIdValid(4));
    EXPECT_EQ(Alive(), 1) << "the record with id -1 was not released";
}

TEST_F(CTQLocalResourceDatabaseTest, LoadContinuesAtTheStatedLength)
{
    Bytes padded = Record(1, "a");
    const auto stated = static_cast<std::int32_t>(padded.size() + 5);
    padded.insert(padded.end(), 5, 0xEE);
    const Bytes next = Record(2, "b");
    CTempPath path;
    WriteFileBytes(path, FileOf({Entry("CTestCountedRes", padded, stated),
                                        Entry("CTestCountedRes", next, static_cast<std::int32_t>(next.size()))}));
    ASSERT_TRUE(LoadFrom(*db, path));
    EXPECT_EQ(db->GetCount(), 2);

    // A stated length shorter than the record: the record read into its neighbour.
    const Bytes whole = Record(5, "c");
    const auto size = static_cast<std::int32_t>(whole.size());
    WriteFileBytes(path, FileOf({Entry("CTestCountedRes", whole, 10), Entry("CTestCountedRes", whole, size)}));
    CTQLocalResourceDatabase other;
    EXPECT_FALSE(LoadFrom(other, path));
    EXPECT_FALSE(other.IsResourceIdValid(5));
}

TEST_F(CTQLocalResourceDatabaseTest, LoadRejectsMarkersVersionsAndImpossibleCounts)
{
    CTempPath path;
    for (std::size_t at : {0u, 2u})
    {
        Bytes bytes = OneResourceFile();
        bytes[at] = 1;
        WriteFileBytes(path, bytes);
        EXPECT_FALSE(LoadFrom(*db, path)) << at;
    }
    CByteBuilder absurd;
    absurd.U16(0).U16(0).I32(0).I32(0x7fffffff);
    WriteFileBytes(path, absurd.Get());
    EXPECT_FALSE(LoadFrom(*db, path));
    CByteBuilder longString;
    longString.U16(0).U16(0).I32(0).I32(1).I32(1000).Raw(Bytes(40, 0));
    WriteFileBytes(path, longString.Get());
    EXPECT_FALSE(LoadFrom(*db, path));
    EXPECT_EQ(db->GetCount(), 0);
}

TEST_F(CTQLocalResourceDatabaseTest, EveryTruncationFailsCleanlyAndLeavesTheDatabaseUsable)
{
    CTQResource* a = Make(1, "a");
    Make(2, "b")->AddReference("a", 1, "C");
    (*a)["v"] = "value";
    CTempPath full;
    ASSERT_TRUE(SaveTo(*db, full));
    const Bytes bytes = ReadFileBytes(full);
    for (std::size_t length = 0; length < bytes.size(); ++length)
    {
        CTempPath cut;
        WriteFileBytes(cut, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        CTQLocalResourceDatabase loaded;
        EXPECT_FALSE(LoadFrom(loaded, cut)) << length;
        const std::int32_t id = loaded.CreateResource("after", "CTestCountedRes");
        EXPECT_TRUE(loaded.IsResourceIdValid(id)) << length;
    }
}

TEST_F(CTQLocalResourceDatabaseTest, DestroyingADatabaseClearsOnlyItsOwnCurrentPointer)
{
    auto first = std::make_unique<CTQLocalResourceDatabase>();
    auto second = std::make_unique<CTQLocalResourceDatabase>();
    first->CreateResource("x", "CTestCountedRes");
    first.reset();
    EXPECT_EQ(TQGetResourceDatabase(), second.get());
    EXPECT_EQ(Alive(), 0);
    second.reset();
    EXPECT_EQ(TQGetResourceDatabase(), nullptr);
    db.reset();
}

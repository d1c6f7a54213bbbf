#include "ResourceFixture.h"

#include "Plinth/CapturingLogSink.h"

#include <string>
#include <vector>

namespace
{
using CTQResourceClassDatabaseTest = ResourceFixture;

const std::string kCantCreate = "Can't create a resource of type 'NoSuchType'.\n";
const std::string kStillHeld = "Reference counter of this resource should be 0!\n";

std::vector<std::string> Names(const CTQResourceClassDatabase& classes)
{
    std::vector<std::string> names;
    CTQString name;
    std::int32_t cursor = 0;
    for (bool more = classes.GetFirstResourceClass(name, cursor); more; more = classes.GetNextResourceClass(name, cursor))
        names.push_back(name.str());
    return names;
}

// A class file with prototype "P" of CTestCountedRes holding attribute a = 1.
Bytes OneClassFile()
{
    CByteBuilder b;
    b.U16(0).U16(0).I32(1).Str("CTestCountedRes");
    b.U16(0).U16(2).I32(-1).Str("P").Str("").Bool(false).I32(1).Str("a").U16(1).I32(1).I32(0).I32(0);
    return b.Get();
}
} // namespace

TEST_F(CTQResourceClassDatabaseTest, CreateRefusesTakenNamesSilentlyAndWarnsOnUnknownTypes)
{
    CapturingLogSink log;
    EXPECT_TRUE(classes->CreateResourceClass("A", "CTestCountedRes"));
    EXPECT_FALSE(classes->CreateResourceClass("A", "CTestCountedRes"));
    EXPECT_TRUE(log.Texts().empty());
    EXPECT_FALSE(classes->CreateResourceClass("B", "NoSuchType"));
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{kCantCreate}));
    EXPECT_TRUE(classes->HasClass("A"));
    EXPECT_FALSE(classes->HasClass("B"));
}

TEST_F(CTQResourceClassDatabaseTest, QueryReleaseAndDestroyCountReferences)
{
    CapturingLogSink log;
    classes->CreateResourceClass("A", "CTestCountedRes");
    CTQResource* a = classes->QueryResourceClass("A");
    EXPECT_EQ(a->GetRefCount(), 2);
    classes->ReleaseResourceClass("A");
    classes->ReleaseResourceClass("A");
    EXPECT_FALSE(classes->HasClass("A"));
    EXPECT_EQ(Alive(), 0);

    classes->CreateResourceClass("Held", "CTestCountedRes");
    CTQResource* held = classes->QueryResourceClass("Held");
    classes->DestroyResourceClass("Held");
    EXPECT_FALSE(classes->HasClass("Held"));
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{kStillHeld}));
    held->Release();
    classes->CreateResourceClass("Free", "CTestCountedRes");
    classes->DestroyResourceClass("Free");
    EXPECT_EQ(log.Texts().size(), 1u);
}

// The old form left the prototype under its old name: saving and loading undid
// the rename.
TEST_F(CTQResourceClassDatabaseTest, RenameRenamesThePrototypeAndRefusesATakenName)
{
    classes->CreateResourceClass("Old", "CTestCountedRes");
    classes->CreateResourceClass("Taken", "CTestCountedRes");
    EXPECT_FALSE(classes->RenameResourceClass("Old", "Taken"));
    EXPECT_FALSE(classes->RenameResourceClass("Absent", "X"));
    EXPECT_TRUE(classes->RenameResourceClass("Old", "New"));
    CTempPath path;
    ASSERT_TRUE(SaveTo(*classes, path));
    CTQResourceClassDatabase loaded;
    ASSERT_TRUE(LoadFrom(loaded, path));
    EXPECT_EQ(Names(loaded), (std::vector<std::string>{"New", "Taken"}));
}

TEST_F(CTQResourceClassDatabaseTest, ChangeResourceClassTypeKeepsContentAndReleasesTheOld)
{
    CapturingLogSink log;
    classes->CreateResourceClass("P", "CTestCountedRes");
    CTQResource* old = classes->QueryResourceClass("P");
    (*old)["a"] = 5;
    old->SetAssociatedClassType("CObj");
    EXPECT_FALSE(classes->ChangeResourceClassType("P", "CTestSpecialRes")) << "changed a held prototype";
    classes->ReleaseResourceClass("P");
    EXPECT_FALSE(classes->ChangeResourceClassType("Absent", "CTestSpecialRes"));

    EXPECT_FALSE(classes->ChangeResourceClassType("P", "NoSuchType"));
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{kCantCreate}));
    EXPECT_TRUE(classes->HasClass("P")) << "a failed change lost the prototype";

    EXPECT_TRUE(classes->ChangeResourceClassType("P", "CTestSpecialRes"));
    CTQResource* now = classes->QueryResourceClass("P");
    EXPECT_TRUE(now->IsOfType(CTestSpecialRes::GetClassType()));
    EXPECT_EQ(now->GetName(), "P");
    EXPECT_EQ((*now)["a"].GetInt(), 5);
    EXPECT_EQ(now->GetAssociatedClassType(), "CObj");
    classes->ReleaseResourceClass("P");
    EXPECT_EQ(Alive(), 1) << "the old prototype was not released";
}

TEST_F(CTQResourceClassDatabaseTest, SavedBytesAreExactAndLoadBack)
{
    classes->CreateResourceClass("P", "CTestCountedRes");
    (*classes->QueryResourceClass("P"))["a"] = 1;
    classes->ReleaseResourceClass("P");
    CTempPath path;
    ASSERT_TRUE(SaveTo(*classes, path));
    EXPECT_EQ(ReadFileBytes(path), OneClassFile());

    CTQResourceClassDatabase loaded;
    ASSERT_TRUE(LoadFrom(loaded, path));
    CTQResource* p = loaded.QueryResourceClass("P");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ((*p)["a"].GetInt(), 1);
    loaded.ReleaseResourceClass("P");
}

TEST_F(CTQResourceClassDatabaseTest, OtherMarkersOrVersionsLoadAsEmpty)
{
    CTempPath path;
    for (std::size_t at : {0u, 2u})
    {
        Bytes bytes = OneClassFile();
        bytes[at] = 1;
        WriteFileBytes(path, bytes);
        EXPECT_TRUE(LoadFrom(*classes, path)) << at;
        EXPECT_TRUE(classes->IsEmpty());
    }
}

TEST_F(CTQResourceClassDatabaseTest, UnknownTypeStopsTheLoad)
{
    Bytes bytes;
    {
        CTQResourceFactoryT<CTestTransientRes> entry;
        CTQResourceClassDatabase other;
        other.CreateResourceClass("T", "CTestTransientRes");
        other.CreateResourceClass("Z", "CTestCountedRes");
        CTempPath path;
        SaveTo(other, path);
        bytes = ReadFileBytes(path);
    }
    CTempPath path;
    WriteFileBytes(path, bytes);
    EXPECT_FALSE(LoadFrom(*classes, path));
    EXPECT_TRUE(classes->IsEmpty());
}

TEST_F(CTQResourceClassDatabaseTest, EveryTruncationFailsWithoutLeaks)
{
    classes->CreateResourceClass("A", "CTestCountedRes");
    classes->CreateResourceClass("B", "CTestSpecialRes");
    classes->QueryResourceClass("B")->AddReference("r", 3, "C");
    classes->ReleaseResourceClass("B");
    CTempPath full;
    ASSERT_TRUE(SaveTo(*classes, full));
    const Bytes bytes = ReadFileBytes(full);
    for (std::size_t length = 0; length < bytes.size(); ++length)
    {
        CTempPath cut;
        WriteFileBytes(cut, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        CTQResourceClassDatabase loaded;
        EXPECT_FALSE(LoadFrom(loaded, cut)) << length;
    }
    classes.reset();
    EXPECT_EQ(Alive(), 0);
}

#include "VisualResTestSupport.h"

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQMeshVisualRes.h>
#include <Framekit/Resources/CTQResourceFactory.h>

#include <gtest/gtest.h>

using namespace VisualResTest;

namespace
{
// Resource 4 "crate" with its files and a reference; every byte by hand.
Bytes ExpectedRecord()
{
    ByteWriter b;
    b.U16(0).U16(2).I32(4).Str("crate").Str("CGameCrate").Bool(false);
    b.I32(0); // attributes
    b.I32(1).Str("refLid").I32(-1).Str("Lid");
    b.I32(0); // dependencies
    b.U16(0).U16(0).Str("crate.vb").Str("crate.png");
    b.F32(0).F32(0).F32(0).F32(1).F32(1).F32(2);
    b.I32(24).I32(12);
    b.U16(0).U16(0).Str("crate.mesh");
    return b.Get();
}

CTQMeshVisualRes* MakeCrate()
{
    return static_cast<CTQMeshVisualRes*>(CTQResourceFactory::New("CTQMeshVisualRes"));
}
} // namespace

TEST(CTQMeshVisualResTest, RegisteredUnderItsNameWithItsCommandObject)
{
    EXPECT_TRUE(CTQResourceFactory::IsValidClassType("CTQMeshVisualRes"));
    EXPECT_TRUE(CTQResourceFactory::IsClassOfType("CTQMeshVisualRes", CTQ3DVisualRes::GetClassType()));
    CTQMeshVisualRes* res = MakeCrate();
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(res->GetAssociatedCommandObjectNode(), "CTQMeshVisualResEditorComObj");
    EXPECT_EQ(res->GetRefCount(), 1);
    res->Release();
}

TEST(CTQMeshVisualResTest, RecordBytesAreExactAndLoadBack)
{
    TempPath path;
    {
        CTQLocalResourceDatabase db;
        ASSERT_EQ(db.CreateResourceWithFixedId(4, "crate", "CTQMeshVisualRes"), 4);
        auto* res = static_cast<CTQMeshVisualRes*>(db.QueryResource(4));
        res->SetAssociatedClassType("CGameCrate");
        res->AddReference("refLid", -1, "Lid");
        res->SetTextureFilename("crate.png");
        res->SetVertexbuffer("crate.vb", CTQVector3(0, 0, 0), CTQVector3(1, 1, 2), 24, 12);
        res->SetMeshFilename("crate.mesh");
        ASSERT_TRUE(SaveTo(*res, path));
        db.ReleaseResource(4);
    }
    EXPECT_EQ(TestSupport::ReadFileBytes(path), ExpectedRecord());

    CTQMeshVisualRes loaded;
    ASSERT_TRUE(LoadFrom(loaded, path));
    EXPECT_EQ(loaded.GetId(), 4);
    EXPECT_EQ(loaded.GetMeshFilename(), "crate.mesh");
    EXPECT_EQ(loaded.GetVertexbufferFilename(), "crate.vb");
    EXPECT_EQ(loaded.GetTextureFilename(), "crate.png");
    EXPECT_EQ(loaded.GetVertexCount(), 24);
    EXPECT_EQ(loaded.GetTriangleCount(), 12);
    EXPECT_EQ(loaded.GetReferenceId("refLid"), -1);
}

TEST(CTQMeshVisualResTest, MeshPartWithOtherMarkerOrVersionIsRejected)
{
    const Bytes full = ExpectedRecord();
    const std::size_t meshPart = full.size() - (2 + 2 + 4 + 10);
    for (std::size_t at : {meshPart, meshPart + 2})
    {
        Bytes bytes = full;
        bytes[at] = 1;
        TempPath path;
        TestSupport::WriteFileBytes(path, bytes);
        CTQMeshVisualRes res;
        EXPECT_FALSE(LoadFrom(res, path)) << "byte " << at;
        EXPECT_TRUE(res.GetMeshFilename().IsEmpty());
        // The 3D visual part before it was read and stays read.
        EXPECT_EQ(res.GetVertexbufferFilename(), "crate.vb");
    }
}

TEST(CTQMeshVisualResTest, TruncatedRecordFailsAtEveryLength)
{
    const Bytes full = ExpectedRecord();
    for (std::size_t length = 0; length < full.size(); ++length)
    {
        TempPath path;
        TestSupport::WriteFileBytes(path, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)));
        CTQMeshVisualRes res;
        EXPECT_FALSE(LoadFrom(res, path)) << "length " << length;
    }
}

// The database dispatches on the stored type name: the mesh part must come back
// through a whole database file, and a mesh record cut short inside its frame
// must not take the database down with it.
TEST(CTQMeshVisualResTest, ThroughADatabaseFile)
{
    TempPath path;
    {
        CTQLocalResourceDatabase db;
        ASSERT_EQ(db.CreateResourceWithFixedId(2, "crate", "CTQMeshVisualRes"), 2);
        ASSERT_EQ(db.CreateResourceWithFixedId(3, "plain", "CTQResource"), 3);
        auto* res = static_cast<CTQMeshVisualRes*>(db.QueryResource(2));
        res->SetMeshFilename("crate.mesh");
        res->SetVertexbuffer("crate.vb", CTQVector3(-1, -1, -1), CTQVector3(1, 1, 1), 8, 12);
        db.ReleaseResource(2);
        ASSERT_TRUE(SaveTo(db, path));
    }
    CTQLocalResourceDatabase db;
    ASSERT_TRUE(LoadFrom(db, path));
    ASSERT_EQ(db.GetCount(), 2);
    CTQResource* res = db.QueryResource(2);
    ASSERT_NE(res, nullptr);
    ASSERT_TRUE(res->IsOfType(CTQMeshVisualRes::GetClassType()));
    auto* mesh = static_cast<CTQMeshVisualRes*>(res);
    EXPECT_EQ(mesh->GetMeshFilename(), "crate.mesh");
    EXPECT_EQ(mesh->GetTriangleCount(), 12);
    db.ReleaseResource(2);
}

#include "SpatialTestSupport.h"
#include "Support/TempPath.h"

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Plinth/CFileIO.h>

using namespace SpatialTest;
using TestSupport::TempPath;

namespace
{
bool SaveTo(CTQResource& res, const TempPath& path)
{
    CFileIO file;
    return file.Open(path.c_str(), CFileIO::eWrite) && res.Save(&file);
}

bool LoadFrom(CTQResource& res, const TempPath& path)
{
    CFileIO file;
    return file.Open(path.c_str(), CFileIO::eRead) && res.Load(&file);
}

// The bytes of the resource part of res's record.
Bytes ResourcePart(CTQObjectListRes& res)
{
    TempPath path(".base");
    {
        CFileIO file;
        file.Open(path.c_str(), CFileIO::eWrite);
        res.CTQResource::Save(&file);
    }
    return TestSupport::ReadFileBytes(path);
}

sObjectList Placement(std::int32_t resource, float x, float y, float z, CTQVector3 rotation, std::uint16_t flags)
{
    sObjectList entry;
    entry.nResourceId = resource;
    entry.fX = x;
    entry.fY = y;
    entry.fZ = z;
    entry.vRotation = rotation;
    entry.nFlags = flags;
    return entry;
}

// Three placements, the middle one removed: indices 0 and 2, next index 3.
class CTQObjectListResTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        res.SetName("scenery");
        res.AddObject(Placement(7, 1, 2, 3, CTQVector3(0.5f, 0, 1.5f), 0x8001));
        res.AddObject(8);
        res.AddObject(Placement(9, -4, 5.5f, 0, CTQVector3(0, 0.25f, 0), 2));
        res.RemoveObject(1);
    }
    Bytes Record(std::uint16_t version, std::int32_t count, bool fullRotation)
    {
        ByteWriter w;
        w.Raw(ResourcePart(res));
        w.U16(version).U16(0);
        w.I32(count);
        w.I32(7).F32(1).F32(2).F32(3);
        fullRotation ? w.F32(0.5f).F32(0).F32(1.5f) : w.F32(1.5f);
        w.U16(0x8001);
        w.I32(9).F32(-4).F32(5.5f).F32(0);
        fullRotation ? w.F32(0).F32(0.25f).F32(0) : w.F32(0.25f);
        w.U16(2);
        w.I32(3);
        return w.Get();
    }

    CTQObjectListRes res;
};

TEST_F(CTQObjectListResTest, TheRecordHasTheDocumentedBytes)
{
    TempPath path;
    ASSERT_TRUE(SaveTo(res, path));
    EXPECT_EQ(TestSupport::ReadFileBytes(path), Record(4, 2, true));
}

TEST_F(CTQObjectListResTest, LoadingRenumbersThePlacementsAndSetsTheNextIndexToTheCount)
{
    EXPECT_EQ(res.AddObject(10), 3);
    res.RemoveObject(3);
    TempPath path;
    ASSERT_TRUE(SaveTo(res, path));
    CTQObjectListRes copy;
    ASSERT_TRUE(LoadFrom(copy, path));
    EXPECT_EQ(copy.GetObjectCount(), 2);
    EXPECT_EQ(copy.GetResourceId(0), 7);
    EXPECT_EQ(copy.GetResourceId(1), 9);
    EXPECT_EQ(copy.GetResourceId(2), -1);
    EXPECT_EQ(copy.GetNextIndex(), 2);
    EXPECT_EQ(copy.AddObject(11), 2);
    EXPECT_EQ(copy.GetObjectFlags(0), 0x8001);
    EXPECT_TRUE(copy.IsObjectHeightFixed(0));
    EXPECT_FALSE(copy.IsObjectHeightFixed(1));
    EXPECT_EQ(copy.GetRotation(0), CTQVector3(0.5f, 0, 1.5f));
    EXPECT_EQ(copy.GetName(), CTQString("scenery"));
}

TEST_F(CTQObjectListResTest, AfterARemovalTheNextAddGoesPastTheGapAndSaveLoadCloseIt)
{
    res.AddObject(10); // index 3: indices 0, 2, 3
    TempPath path;
    ASSERT_TRUE(SaveTo(res, path));
    CTQObjectListRes copy;
    ASSERT_TRUE(LoadFrom(copy, path));
    std::vector<int> indices;
    for (const auto& [index, entry] : copy.GetObjects())
        indices.push_back(index);
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(copy.GetResourceId(2), 10);
    EXPECT_EQ(copy.GetNextIndex(), 3);
}

TEST_F(CTQObjectListResTest, AVersion3RecordTurnsAboutZAndIsSavedAsVersion4)
{
    TempPath path;
    TestSupport::WriteFileBytes(path, Record(3, 2, false));
    CTQObjectListRes old;
    ASSERT_TRUE(LoadFrom(old, path));
    EXPECT_EQ(old.GetRotation(0), CTQVector3(0, 0, 1.5f));
    EXPECT_EQ(old.GetRotation(1), CTQVector3(0, 0, 0.25f));
    EXPECT_EQ(old.GetObjectFlags(0), 0x8001);
    TempPath again;
    ASSERT_TRUE(SaveTo(old, again));
    const Bytes saved = TestSupport::ReadFileBytes(again);
    const Bytes base = ResourcePart(old);
    ASSERT_GT(saved.size(), base.size() + 2);
    EXPECT_EQ(saved[base.size()], 4);
    EXPECT_EQ(saved.size(), base.size() + 4 + 4 + 2 * 30 + 4) << "three rotation floats per placement";
}

TEST_F(CTQObjectListResTest, AReservedValueOtherThanZeroIsRefused)
{
    Bytes bytes = Record(4, 2, true);
    bytes[ResourcePart(res).size() + 2] = 1;
    TempPath path;
    TestSupport::WriteFileBytes(path, bytes);
    CTQObjectListRes other;
    EXPECT_FALSE(LoadFrom(other, path));
}

// Fault: an unchecked count and a short record left a half-replaced list that
// reported success.
TEST_F(CTQObjectListResTest, AbsurdCountsAndCutRecordsKeepThePlacementsThereWere)
{
    const Bytes good = Record(4, 2, true);
    const std::size_t countAt = ResourcePart(res).size() + 4;
    for (std::int32_t count : {0x7FFFFFFF, -1, 3})
    {
        Bytes bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[countAt + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(count) >> (8 * i));
        TempPath path;
        TestSupport::WriteFileBytes(path, bytes);
        CWarningLog log;
        CTQObjectListRes other;
        other.AddObject(42);
        EXPECT_FALSE(LoadFrom(other, path)) << count;
        EXPECT_EQ(other.GetObjectCount(), 1);
        EXPECT_EQ(other.GetResourceId(0), 42);
        EXPECT_EQ(other.GetNextIndex(), 1);
    }
    for (std::size_t length = countAt; length < good.size(); ++length)
    {
        TempPath path;
        TestSupport::WriteFileBytes(path, Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
        CWarningLog log;
        CTQObjectListRes other;
        other.AddObject(42);
        EXPECT_FALSE(LoadFrom(other, path)) << "cut at " << length;
        EXPECT_EQ(other.GetObjectCount(), 1);
        EXPECT_EQ(other.GetResourceId(0), 42);
    }
}

// Fault: the getters made placements that Save then stored.
TEST_F(CTQObjectListResTest, GettersCreateNothing)
{
    EXPECT_EQ(res.GetObjectFlags(1), 0);
    EXPECT_FALSE(res.IsObjectHeightFixed(1));
    EXPECT_EQ(res.GetResourceId(1), -1);
    EXPECT_EQ(res.GetRotation(5), CTQVector3(0, 0, 0));
    EXPECT_EQ(res.GetObjectCount(), 2);
    TempPath path;
    ASSERT_TRUE(SaveTo(res, path));
    EXPECT_EQ(TestSupport::ReadFileBytes(path), Record(4, 2, true));
}

// Fault: a setter made a placement under an index that AddObject later handed
// out again, overwriting it.
TEST_F(CTQObjectListResTest, ASetterPlacementIsNeverOverwrittenByAnAdd)
{
    res.SetPos(5, 1, 2, 3);
    EXPECT_EQ(res.GetResourceId(5), -1) << "made empty: no resource";
    EXPECT_EQ(res.GetObjectCount(), 3);
    const int added = res.AddObject(12);
    EXPECT_EQ(added, 6);
    EXPECT_EQ(res.GetObjects().at(5).fY, 2.0f);
    res.SetObjectFlags(1, 1); // below the next index: fills the gap
    EXPECT_TRUE(res.IsObjectHeightFixed(1));
    EXPECT_EQ(res.AddObject(13), 7);
    res.SetRotation(-2, CTQVector3(1, 1, 1));
    res.UpdateObject(-1, 0, 0, CTQVector3());
    EXPECT_EQ(res.GetObjectCount(), 6) << "negative indices are refused";
    res.UpdateObject(0, 8, 9, CTQVector3(0, 0, 2));
    EXPECT_EQ(res.GetObjects().at(0).fZ, 0.0f);
    EXPECT_EQ(res.GetResourceId(0), 7) << "resource and flags stay";
    EXPECT_EQ(res.GetObjectFlags(0), 0x8001);
}

TEST_F(CTQObjectListResTest, RemovingByResourceIdRemovesEveryPlacementOfIt)
{
    res.AddObject(9);
    res.AddObject(7);
    res.RemoveObjectWithSpecificId(9);
    EXPECT_EQ(res.GetObjectCount(), 2);
    EXPECT_EQ(res.GetResourceId(0), 7);
    EXPECT_EQ(res.GetResourceId(4), 7);
    res.RemoveAllObjects();
    EXPECT_EQ(res.GetObjectCount(), 0);
    EXPECT_EQ(res.AddObject(1), 5) << "the next index is not reset";
}

TEST_F(CTQObjectListResTest, IterationFollowsTheIndicesAndStopsWithoutTouchingTheOutputs)
{
    sObjectList entry;
    int index = -1;
    std::int32_t cursor = 0;
    ASSERT_TRUE(res.GetFirstObject(entry, index, cursor));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(entry.nResourceId, 7);
    ASSERT_TRUE(res.GetNextObject(entry, index, cursor));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(entry.nResourceId, 9);
    EXPECT_FALSE(res.GetNextObject(entry, index, cursor));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(entry.nResourceId, 9);
    CTQObjectListRes empty;
    EXPECT_FALSE(empty.GetFirstObject(entry, index, cursor));
}

TEST_F(CTQObjectListResTest, ACopyTakesThePlacements)
{
    CTQObjectListRes copy;
    ASSERT_TRUE(copy.Copy(&res));
    EXPECT_EQ(copy.GetObjects().size(), 2u);
    EXPECT_EQ(copy.GetNextIndex(), 3);
    EXPECT_EQ(copy.GetAssociatedCommandObjectNode(), CTQString("CTQObjectListResEditorComObj"));
}

// The record is read by the resource database through a file of its own bytes.
TEST_F(CTQObjectListResTest, AResourceFileCarriesObjectLists)
{
    TempPath path(".res");
    {
        CTQResourceClassDatabase classes;
        CTQLocalResourceDatabase db;
        const std::int32_t id = db.CreateResource("scenery", "CTQObjectListRes");
        auto* list = static_cast<CTQObjectListRes*>(db.QueryResource(id));
        ASSERT_NE(list, nullptr);
        list->AddObject(Placement(3, 1, 2, 3, CTQVector3(0, 0, 1), 1));
        list->SetAttribute("nPatchesX", CTQProperty(16));
        db.ReleaseResource(id);
        db.CreateResource("after", "CTQResource");
        CFileIO file;
        ASSERT_TRUE(file.Open(path.c_str(), CFileIO::eWrite));
        ASSERT_TRUE(db.Save(&file));
    }
    CTQResourceClassDatabase classes;
    CTQLocalResourceDatabase db;
    CFileIO file;
    ASSERT_TRUE(file.Open(path.c_str(), CFileIO::eRead));
    ASSERT_TRUE(db.Load(&file));
    EXPECT_EQ(db.GetCount(), 2);
    auto* list = static_cast<CTQObjectListRes*>(db.QueryResource(0));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->IsOfType(CTQObjectListRes::GetClassType()));
    EXPECT_EQ(list->GetObjectCount(), 1);
    EXPECT_EQ(list->GetObjects().at(0).fY, 2.0f);
    EXPECT_EQ(list->GetAttribute("nPatchesX").GetInt(), 16);
    db.ReleaseResource(0);
}
} // namespace

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/ITQDeviceClassInfixSource.h>
#include <Plinth/CFileIO.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include "Plinth/CapturingLogSink.h"
#include "Support/StreamBytes.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
// Counts its lives and the database's calls, and carries one field of state.
class CTestLifeObject : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestLifeObject)
    CTestLifeObject() { ++s_nAlive; }
    ~CTestLifeObject() override { --s_nAlive; }
    void OnConstruct() override { ++constructs; }
    void OnDestruct() override
    {
        ++destructs;
        ++s_nDestructs;
    }
    std::int32_t GetSerializationMode() const override { return s_nMode; }
    void Serialize(CTQDataStream& s) override
    {
        CTQObject::Serialize(s);
        s.Serialize(state);
    }

    int constructs = 0;
    int destructs = 0;
    std::int32_t state = 0;
    static int s_nAlive;
    static int s_nDestructs;
    static std::int32_t s_nMode;
};
TQ_IMPLEMENT_CLASS_TYPE(CTestLifeObject, CTQObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestLifeObject)
int CTestLifeObject::s_nAlive = 0;
int CTestLifeObject::s_nDestructs = 0;
std::int32_t CTestLifeObject::s_nMode = kTQSerializationModeNone;

class CTestDerivedLife : public CTestLifeObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestDerivedLife)
};
TQ_IMPLEMENT_CLASS_TYPE(CTestDerivedLife, CTestLifeObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestDerivedLife)

// Only its device-layer name is registered, as a device layer would do.
class CTQGadget : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQGadget)
};
TQ_IMPLEMENT_CLASS_TYPE(CTQGadget, CTQObject, 0x100)

class CTQHeadlessGadget : public CTQGadget
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessGadget)
};
TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessGadget, CTQGadget, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessGadget)

// Stands in for a display server of a device layer whose classes carry "Headless".
class CTestDisplayStandIn : public ITQDeviceClassInfixSource
{
public:
    CTestDisplayStandIn() { m_pPrevious = TQSetDeviceClassInfixSource(this); }
    ~CTestDisplayStandIn() { TQSetDeviceClassInfixSource(m_pPrevious); }
    const char* GetDeviceClassInfix() const override { return "Headless"; }

private:
    ITQDeviceClassInfixSource* m_pPrevious = nullptr;
};

class ObjectDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { CTestLifeObject::s_nMode = kTQSerializationModeNone; }
    void TearDown() override
    {
        delete db;
        db = nullptr;
        EXPECT_EQ(CTestLifeObject::s_nAlive, 0) << "the database's destructor gives every object back";
        EXPECT_EQ(TQGetObjectDatabase(), nullptr);
    }

    CTestLifeObject* Life(std::int32_t id)
    {
        CTQObject* o = db->QueryObject(id);
        if (!o)
            return nullptr;
        o->Release();
        return static_cast<CTestLifeObject*>(o);
    }

    std::vector<std::uint8_t> Saved()
    {
        CTQDataStream s;
        db->Serialize(s);
        return std::vector<std::uint8_t>(s.GetBuffer(), s.GetBuffer() + s.GetSize());
    }

    void LoadInto(CTQObjectDatabase& target, const std::vector<std::uint8_t>& bytes, bool expectOk)
    {
        CTQDataStream s(CTQDataStream::eLoading, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        target.Serialize(s);
        EXPECT_EQ(!s.IsFailed(), expectOk);
    }

    CTQObjectDatabase* db = new CTQObjectDatabase();
};

using TestSupport::ByteWriter;
} // namespace

TEST_F(ObjectDatabaseTest, IdsCountFromZeroAndAreNeverReused)
{
    EXPECT_EQ(TQGetObjectDatabase(), db);
    EXPECT_TRUE(db->IsEmpty());
    EXPECT_EQ(db->CreateObject("CTestLifeObject"), 0);
    EXPECT_EQ(db->CreateObject("CTestLifeObject"), 1);
    EXPECT_EQ(db->GetCount(), 2);
    EXPECT_EQ(db->CreateObject("CNoSuchClass"), -1);
    EXPECT_EQ(db->CreateObject(""), -1);
    db->DestroyObject(0);
    EXPECT_EQ(db->CreateObject("CTestLifeObject"), 4); // 2 and 3 were consumed by the failures
    EXPECT_EQ(db->GetCount(), 2);
}

TEST_F(ObjectDatabaseTest, TheTableGrowsInStepsOf1024)
{
    db->SetNextUniqueObjectId(1500);
    EXPECT_EQ(db->CreateObject("CTestLifeObject"), 1500);
    EXPECT_EQ(db->GetTableSize(), 2048);
    EXPECT_EQ(db->QueryObject(5000), nullptr);
    EXPECT_EQ(db->QueryObject(-1), nullptr);
    db->SetNextUniqueObjectId(2048);
    EXPECT_EQ(db->CreateObject("CTestLifeObject"), 2048);
    EXPECT_EQ(db->GetTableSize(), 3072);
}

TEST_F(ObjectDatabaseTest, CreatedObjectsKnowTheirIdAndAreConstructedOnce)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTestLifeObject* o = Life(id);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->GetId(), id);
    EXPECT_EQ(o->GetLocalId(), id);
    EXPECT_EQ(o->GetRefCount(), 1);
    EXPECT_EQ(o->constructs, 1);
    EXPECT_EQ(o->destructs, 0);
    EXPECT_EQ(o->GetAssociatedResourceId(), -1);
    EXPECT_EQ(o->GetNetworkId(), -1);
}

TEST_F(ObjectDatabaseTest, QueryThenReleaseLeavesTheCountAsItWas)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTQObject* o = db->QueryObject(id);
    EXPECT_EQ(o->GetRefCount(), 2);
    EXPECT_EQ(db->ReleaseObject(id), 1);
    EXPECT_EQ(static_cast<CTestLifeObject*>(o)->destructs, 0);
    EXPECT_EQ(db->ReleaseObject(12345), -1);
}

TEST_F(ObjectDatabaseTest, ReleasingTheLastReferenceDestructsAndRemoves)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    const int before = CTestLifeObject::s_nDestructs;
    EXPECT_EQ(db->ReleaseObject(id), 0);
    EXPECT_EQ(CTestLifeObject::s_nDestructs, before + 1);
    EXPECT_EQ(CTestLifeObject::s_nAlive, 0);
    EXPECT_EQ(db->QueryObject(id), nullptr);
    EXPECT_EQ(db->GetCount(), 0);
}

TEST_F(ObjectDatabaseTest, DestroyCallsOnDestructButKeepsAnObjectOthersHold)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTQObject* held = db->QueryObject(id);
    db->DestroyObject(id);
    EXPECT_EQ(static_cast<CTestLifeObject*>(held)->destructs, 1);
    EXPECT_EQ(db->QueryObject(id), held);
    held->Release();
    EXPECT_EQ(held->Release(), 0);
    EXPECT_EQ(db->GetCount(), 0);
    db->DestroyObject(id); // unknown now: nothing happens
}

TEST_F(ObjectDatabaseTest, AnObjectReleasedToZeroDirectlyTakesItsEntryWithIt)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTQObject* o = db->QueryObject(id);
    o->Release();
    EXPECT_EQ(o->Release(), 0);
    EXPECT_EQ(db->QueryObject(id), nullptr);
    EXPECT_EQ(db->GetCount(), 0);
}

TEST_F(ObjectDatabaseTest, SingletonsAreFoundByClassAndRegistered)
{
    std::int32_t id = db->CreateObject("CTestDerivedLife");
    CTQObject* first = db->QuerySingletonObject("CTestLifeObject"); // found through derivation
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetId(), id);
    EXPECT_EQ(first->GetRefCount(), 2);
    db->CreateObject("CTestLifeObject");
    EXPECT_EQ(db->QuerySingletonObject("CTestLifeObject"), first); // through the registration
    EXPECT_EQ(first->GetRefCount(), 3);
    EXPECT_EQ(db->ReleaseSingletonObject("CTestLifeObject"), 2);
    EXPECT_EQ(db->ReleaseSingletonObject("CTestLifeObject"), 1);
    EXPECT_EQ(static_cast<CTestLifeObject*>(first)->destructs, 0);
    EXPECT_EQ(db->ReleaseSingletonObject("CTestLifeObject"), 0);
    EXPECT_EQ(db->ReleaseSingletonObject("CTestLifeObject"), -1);
    EXPECT_EQ(db->QueryObject(id), nullptr);
    EXPECT_EQ(db->QuerySingletonObject("CNoSuchClass"), nullptr);
}

TEST_F(ObjectDatabaseTest, ADestroyedSingletonIsNoLongerRegistered)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTQObject* s = db->QuerySingletonObject("CTestLifeObject");
    s->Release();
    db->DestroyObject(id);
    std::int32_t second = db->CreateObject("CTestLifeObject");
    CTQObject* again = db->QuerySingletonObject("CTestLifeObject");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetId(), second);
    again->Release();
}

TEST_F(ObjectDatabaseTest, WithoutADisplayServerThereIsNoInfixRetry)
{
    ASSERT_EQ(TQGetDeviceClassInfixSource(), nullptr);
    EXPECT_EQ(db->CreateObject("CTQGadget"), -1);
    EXPECT_EQ(db->QuerySingletonObject("CTQGadget"), nullptr);
    EXPECT_EQ(db->ReleaseSingletonObject("CTQGadget"), -1);
}

TEST_F(ObjectDatabaseTest, TheDeviceInfixGoesAfterTheFirstThreeCharacters)
{
    CTestDisplayStandIn display;
    std::int32_t id = db->CreateObject("CTQGadget");
    ASSERT_NE(id, -1);
    CTQObject* o = db->QueryObject(id);
    EXPECT_STREQ(o->GetType().GetName(), "CTQHeadlessGadget");
    o->Release();
    CTQObject* single = db->QuerySingletonObject("CTQGadget");
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->GetId(), id);
    EXPECT_EQ(db->ReleaseSingletonObject("CTQGadget"), 1);
}

TEST_F(ObjectDatabaseTest, ObjectTypesEnumerateTheObjectFactory)
{
    CTQString name;
    std::vector<std::string> names;
    for (bool ok = db->GetFirstObjectType(name); ok; ok = db->GetNextObjectType(CTQString(name), name))
        names.emplace_back(name.GetString());
    EXPECT_NE(std::find(names.begin(), names.end(), "CTestLifeObject"), names.end());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

TEST_F(ObjectDatabaseTest, ModeZeroObjectsSaveOnlyClassIdAndMode)
{
    db->CreateObject("CTestLifeObject");
    db->CreateObject("CTestLifeObject");
    ByteWriter expected;
    expected.I32(2).I32(2); // live count, next unique id
    expected.Str("CTestLifeObject").I32(0).I32(0).Str("CTestLifeObject").I32(1).I32(0);
    EXPECT_EQ(Saved(), expected.Get());
}

TEST_F(ObjectDatabaseTest, SerializedObjectsCarryTheirStateInABracket)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize;
    std::int32_t id = db->CreateObject("CTestLifeObject");
    Life(id)->state = 0x11223344;
    ByteWriter expected;
    expected.I32(1).I32(1).Str("CTestLifeObject").I32(0).I32(1);
    expected.I32(0x100).I32(12); // bracket: version, then 12 bytes of state
    expected.I32(0).I32(-1).I32(0x11223344); // object id, associated resource id, state
    EXPECT_EQ(Saved(), expected.Get());
}

TEST_F(ObjectDatabaseTest, LoadingAVolatileRecordCreatesTheObjectUnderItsId)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    db->SetNextUniqueObjectId(7);
    std::int32_t id = db->CreateObject("CTestLifeObject");
    Life(id)->state = 99;
    std::vector<std::uint8_t> bytes = Saved();
    delete db;
    db = new CTQObjectDatabase();
    LoadInto(*db, bytes, true);
    CTestLifeObject* loaded = Life(7);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->state, 99);
    EXPECT_EQ(loaded->GetId(), 7);
    EXPECT_EQ(loaded->constructs, 0);
    EXPECT_EQ(db->GetCount(), 1);
    EXPECT_EQ(db->CreateObject("CTestLifeObject"), 8);
}

TEST_F(ObjectDatabaseTest, LoadingIntoExistingObjectsRestoresTheirState)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize;
    std::int32_t id = db->CreateObject("CTestLifeObject");
    Life(id)->state = 5;
    std::vector<std::uint8_t> bytes = Saved();
    Life(id)->state = 6;
    LoadInto(*db, bytes, true);
    EXPECT_EQ(Life(id)->state, 5);
    EXPECT_EQ(db->GetCount(), 1);
}

TEST_F(ObjectDatabaseTest, ModeZeroRecordsDoNotChangeTheLiveCount)
{
    db->CreateObject("CTestLifeObject");
    db->CreateObject("CTestLifeObject");
    std::vector<std::uint8_t> bytes = Saved();
    delete db;
    db = new CTQObjectDatabase();
    LoadInto(*db, bytes, true);
    EXPECT_EQ(db->GetCount(), 0); // mode 0 creates nothing, so nothing is live
    EXPECT_TRUE(db->IsEmpty());
}

TEST_F(ObjectDatabaseTest, AMissingNonVolatileObjectStopsTheLoad)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize;
    db->CreateObject("CTestLifeObject");
    std::vector<std::uint8_t> bytes = Saved();
    delete db;
    db = new CTQObjectDatabase();
    LoadInto(*db, bytes, false);
    EXPECT_EQ(db->GetCount(), 0);
}

TEST_F(ObjectDatabaseTest, AClassMismatchStopsTheLoadWithEarlierRecordsApplied)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    ByteWriter bytes;
    bytes.I32(3).I32(3);
    bytes.Str("CTestLifeObject").I32(2).I32(2);  // volatile, no state
    bytes.Str("CTestDerivedLife").I32(0).I32(2); // id 0 exists as another class
    bytes.Str("CTestLifeObject").I32(1).I32(2);
    db->CreateObject("CTestLifeObject"); // id 0
    LoadInto(*db, bytes.Get(), false);
    EXPECT_NE(Life(2), nullptr);
    EXPECT_EQ(Life(1), nullptr);
    EXPECT_EQ(db->GetCount(), 2);
}

TEST_F(ObjectDatabaseTest, AnUnregisteredClassStopsTheLoad)
{
    LoadInto(*db, ByteWriter().I32(1).I32(1).Str("CNoSuchClass").I32(0).I32(3).Get(), false);
    EXPECT_TRUE(db->IsEmpty());
}

TEST_F(ObjectDatabaseTest, AnAbsurdRecordCountFailsAtOnce)
{
    LoadInto(*db, ByteWriter().I32(0x7FFFFFFF).I32(0).Get(), false);
    EXPECT_TRUE(db->IsEmpty());
}

TEST_F(ObjectDatabaseTest, EveryTruncationOfASaveLoadsCleanly)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    for (int i = 0; i < 3; ++i)
        db->CreateObject("CTestLifeObject");
    const std::vector<std::uint8_t> full = Saved();
    delete db;
    db = nullptr;
    for (std::size_t n = 0; n < full.size(); ++n)
    {
        CTQObjectDatabase target;
        LoadInto(target, std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)),
                 false);
        EXPECT_LE(target.GetCount(), 3);
    }
    EXPECT_EQ(CTestLifeObject::s_nAlive, 0);
}

TEST_F(ObjectDatabaseTest, AnObjectReadingPastItsBracketStopsTheLoad)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    ByteWriter bytes;
    bytes.I32(2).I32(2).Str("CTestLifeObject").I32(0).I32(3);
    bytes.I32(0x100).I32(4).I32(0); // the object wants 12 bytes
    bytes.Str("CTestLifeObject").I32(1).I32(2);
    LoadInto(*db, bytes.Get(), false);
    EXPECT_EQ(Life(1), nullptr);
    ASSERT_NE(Life(0), nullptr);
    EXPECT_EQ(Life(0)->GetId(), 0);
}

TEST_F(ObjectDatabaseTest, SaveFilesRoundTripThroughCFileIO)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    std::int32_t id = db->CreateObject("CTestLifeObject");
    Life(id)->state = 1234;
    const std::string path =
        (std::filesystem::temp_directory_path() / ("fk_objdb_" + std::to_string(::getpid()) + ".sav")).string();
    {
        CFileIO file;
        ASSERT_TRUE(file.Open(path.c_str(), CFileIO::eWrite));
        EXPECT_TRUE(db->Save(&file));
    }
    delete db;
    db = new CTQObjectDatabase();
    {
        CFileIO file;
        ASSERT_TRUE(file.Open(path.c_str(), CFileIO::eRead));
        EXPECT_TRUE(db->Load(&file));
    }
    ASSERT_NE(Life(id), nullptr);
    EXPECT_EQ(Life(id)->state, 1234);
    // A file cut short is refused before anything is read.
    std::filesystem::resize_file(path, 10);
    {
        CFileIO file;
        ASSERT_TRUE(file.Open(path.c_str(), CFileIO::eRead));
        EXPECT_FALSE(db->Load(&file));
    }
    EXPECT_FALSE(db->Load(nullptr));
    std::filesystem::remove(path);
}

TEST_F(ObjectDatabaseTest, DumpShowsTheRealCountAndMode)
{
    CTestLifeObject::s_nMode = kTQSerializationModeSerialize | kTQSerializationModeVolatile;
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTQObject* held = db->QueryObject(id);
    {
        CapturingLogSink log;
        db->Dump();
        EXPECT_EQ(log.Texts(), std::vector<std::string>{
                                   "ObjId 0, Class CTestLifeObject (RefCount 2): SerialMode: Serialize - Volatile\n"});
    }
    held->Release();
}

TEST_F(ObjectDatabaseTest, DestroyingANonCurrentDatabaseLeavesTheCurrentOne)
{
    CTQObjectDatabase* other = new CTQObjectDatabase();
    EXPECT_EQ(TQGetObjectDatabase(), other);
    CTQObjectDatabase* third = new CTQObjectDatabase();
    delete other;
    EXPECT_EQ(TQGetObjectDatabase(), third);
    delete third;
    EXPECT_EQ(TQGetObjectDatabase(), nullptr);
    delete db;
    db = nullptr;
}

TEST_F(ObjectDatabaseTest, TheHandleReachesTheCurrentDatabase)
{
    CTQObjectDatabaseRef ref;
    EXPECT_EQ(static_cast<CTQObjectDatabase*>(ref), db);
    EXPECT_EQ(ref->GetCount(), 0);
    db->CreateObject("CTestLifeObject");
    CTQDataStream s;
    ref.Serialize(s);
    std::vector<std::uint8_t> inner = Saved();
    ASSERT_EQ(s.GetSize(), inner.size() + 8);
    EXPECT_EQ(s.GetBuffer()[1], 0x01); // the database's version 0x100
}

TEST_F(ObjectDatabaseTest, AnObjectLeavesTheDatabaseThatHoldsItEvenWhenAnotherIsCurrent)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTQObject* o = db->QueryObject(id);
    auto* other = new CTQObjectDatabase(); // now current
    other->CreateObject("CTestLifeObject"); // id 0 there too
    db->ReleaseObject(id);
    EXPECT_EQ(o->Release(), 0);
    EXPECT_EQ(db->GetCount(), 0);
    EXPECT_EQ(other->GetCount(), 1); // the other database's object with the same id stays
    delete other;
}

TEST_F(ObjectDatabaseTest, AnObjectNeverEnteredLeavesEveryTableAlone)
{
    std::int32_t id = db->CreateObject("CTestLifeObject");
    CTQObject* loose = CTQObjectFactory::New("CTestLifeObject");
    CTQObjectFactory::Delete(loose);
    EXPECT_NE(db->QueryObject(id), nullptr);
    db->ReleaseObject(id);
    EXPECT_EQ(db->GetCount(), 1);
}

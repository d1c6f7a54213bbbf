#include "ResourceFixture.h"

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/Resources/CTQResourceRef.h>

#include <Plinth/CTQDataStream.h>

namespace
{
using CTQResourceRefTest = ResourceFixture;

// Built from resources the usual way: reads "nValue" through a resource handle.
class CTestBuiltObject : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestBuiltObject)
    CTestBuiltObject() { ++s_nAlive; }
    ~CTestBuiltObject() override { --s_nAlive; }
    bool InitData(std::int32_t resourceId) override
    {
        CTQResourceRef res(resourceId);
        if (res.IsValid() && res->HasAttribute("nValue"))
            value = (*res)["nValue"];
        s_nHeldDuringInit = res.IsValid() ? res->GetRefCount() : 0;
        CTQObject::InitData(resourceId);
        return !s_bFail;
    }
    std::int32_t value = -1;
    static int s_nAlive;
    static int s_nHeldDuringInit;
    static bool s_bFail;
};
TQ_IMPLEMENT_CLASS_TYPE(CTestBuiltObject, CTQObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestBuiltObject)
int CTestBuiltObject::s_nAlive = 0;
int CTestBuiltObject::s_nHeldDuringInit = 0;
bool CTestBuiltObject::s_bFail = false;

class CTQResourceObjectTest : public ResourceFixture
{
protected:
    void SetUp() override
    {
        ResourceFixture::SetUp();
        objects = std::make_unique<CTQObjectDatabase>();
        CTestBuiltObject::s_bFail = false;
        resource = Make(4);
        (*resource)["nValue"] = 42;
        resource->SetAssociatedClassType("CTestBuiltObject");
    }
    void TearDown() override
    {
        objects.reset();
        EXPECT_EQ(CTestBuiltObject::s_nAlive, 0);
        ResourceFixture::TearDown();
    }
    std::unique_ptr<CTQObjectDatabase> objects;
    CTQResource* resource = nullptr;
};
} // namespace

TEST_F(CTQResourceRefTest, HoldsOneReferenceForItsLifetime)
{
    CTQResource* r = Make(3);
    {
        CTQResourceRef ref(3);
        EXPECT_EQ(ref.Get(), r);
        EXPECT_EQ(ref.GetId(), 3);
        EXPECT_EQ(r->GetRefCount(), 2);
        CTQResourceRef copy(ref);
        EXPECT_EQ(r->GetRefCount(), 3);
        copy = ref;
        EXPECT_EQ(r->GetRefCount(), 3);
    }
    EXPECT_EQ(r->GetRefCount(), 1);
    CTQResourceRef none(-1);
    EXPECT_FALSE(none.IsValid());
}

// A handle whose query found nothing must not give back a reference it never took.
TEST_F(CTQResourceRefTest, AFailedQueryReleasesNothing)
{
    {
        CTQResourceRef ref(8);
        EXPECT_FALSE(ref.IsValid());
        Make(8);
    }
    EXPECT_TRUE(db->IsResourceIdValid(8));
}

// The handle's reference outlives the entry: it must still be given back.
TEST_F(CTQResourceRefTest, AResourceDestroyedUnderTheHandleIsStillReleased)
{
    Make(5);
    {
        CTQResourceRef ref(5);
        db->DestroyResource(5);
        EXPECT_EQ(ref->GetRefCount(), 1);
    }
    EXPECT_EQ(Alive(), 0);
}

TEST_F(CTQResourceRefTest, SerializesAsTheIdAndQueriesAgainOnLoad)
{
    CTQResource* r = Make(6);
    CTQDataStream out(CTQDataStream::eStoring);
    CTQResourceRef ref(6);
    ref.Serialize(out);
    ASSERT_EQ(out.GetSize(), 4u);
    EXPECT_EQ(out.GetBuffer()[0], 6);
    CTQResourceRef loaded;
    CTQDataStream in(CTQDataStream::eLoading, out.GetBuffer(), out.GetSize());
    loaded.Serialize(in);
    EXPECT_EQ(loaded.Get(), r);
    EXPECT_EQ(r->GetRefCount(), 3);
}

TEST_F(CTQResourceObjectTest, BuildsTheAssociatedClassAndGivesTheResourceBack)
{
    const std::int32_t id = objects->CreateObjectFromResource(4);
    ASSERT_GE(id, 0);
    auto* object = static_cast<CTestBuiltObject*>(objects->QueryObject(id));
    EXPECT_EQ(object->value, 42);
    EXPECT_EQ(object->GetAssociatedResourceId(), 4);
    EXPECT_EQ(CTestBuiltObject::s_nHeldDuringInit, 3) << "table, the creation's query and the handle";
    EXPECT_EQ(resource->GetRefCount(), 1);
    objects->ReleaseObject(id);

    resource->SetAssociatedClassType("NoSuchClass");
    EXPECT_EQ(objects->CreateObjectFromResource(4), -1);
    EXPECT_GE(objects->CreateObjectFromResource(4, "CTestBuiltObject"), 0);
    EXPECT_EQ(resource->GetRefCount(), 1);
}

TEST_F(CTQResourceObjectTest, FailuresLeaveNothingBehind)
{
    EXPECT_EQ(objects->CreateObjectFromResource(99), -1);
    EXPECT_EQ(objects->CreateObjectFromResource(-1), -1);
    CTestBuiltObject::s_bFail = true;
    EXPECT_EQ(objects->CreateObjectFromResource(4), -1);
    EXPECT_EQ(CTestBuiltObject::s_nAlive, 0);
    EXPECT_EQ(objects->GetCount(), 0);
    EXPECT_EQ(resource->GetRefCount(), 1);
    db.reset();
    EXPECT_EQ(objects->CreateObjectFromResource(4), -1) << "no current resource database";
}

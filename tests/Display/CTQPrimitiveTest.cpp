#include "DisplayTestSupport.h"

using namespace DisplayTest;

namespace
{
class CTestPrimitive : public CTQPrimitive
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestPrimitive)
    using CTQPrimitive::GetComponent;
    using CTQPrimitive::GetComponentCount;
    using CTQPrimitive::HasComponents;
    using CTQPrimitive::RemoveAllComponents;
};
TQ_IMPLEMENT_CLASS_TYPE(CTestPrimitive, CTQPrimitive, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestPrimitive)

class CTestTextureSet : public CTQTextureSet
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestTextureSet)
    bool Select(std::uint32_t) override { return true; }
};
TQ_IMPLEMENT_CLASS_TYPE(CTestTextureSet, CTQTextureSet, 0x100)

class CTestShader : public CTQShader
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestShader)
    bool Activate() override { return true; }
    void Deactivate() override {}
};
TQ_IMPLEMENT_CLASS_TYPE(CTestShader, CTQShader, 0x100)

using CTQPrimitiveTest = DisplayFixture;
} // namespace

TEST_F(CTQPrimitiveTest, ComponentsAreKeptInCallOrder)
{
    CTestPrimitive* primitive = New<CTestPrimitive>();
    EXPECT_FALSE(primitive->HasComponents());
    primitive->Coord(1, 2, 3);
    primitive->Rgba(0.1f, 0.2f, 0.3f, 0.4f);
    primitive->Coord(4, 5, 6);
    primitive->Norm(0, 0, 1);
    primitive->Uv(2, 0.25f, 0.75f);
    ASSERT_EQ(primitive->GetComponentCount(), 5);
    const std::int32_t kinds[] = {0, 2, 0, 1, 3};
    for (std::int32_t i = 0; i < 5; ++i)
        EXPECT_EQ(primitive->GetComponent(i).nKind, kinds[i]);
    EXPECT_EQ(primitive->GetComponent(2).afValue[1], 5.0f);
    EXPECT_EQ(primitive->GetComponent(1).afValue[3], 0.4f);
    EXPECT_EQ(primitive->GetComponent(4).anValue[0], 2u);
    EXPECT_EQ(primitive->GetComponent(4).afValue[2], 0.75f);
    primitive->RemoveAllComponents();
    EXPECT_EQ(primitive->GetComponentCount(), 0);
}

TEST_F(CTQPrimitiveTest, ComponentsAreNotStored)
{
    CTestPrimitive* primitive = New<CTestPrimitive>();
    primitive->Coord(1, 2, 3);
    primitive->Coord(1, 2, 3);
    primitive->Coord(1, 2, 3);
    primitive->Rgba(1, 1, 1, 1);
    EXPECT_EQ(primitive->GetComponentCount(), 4);
    const Bytes bytes = Store(*primitive);
    CTQDataStream visualOnly(CTQDataStream::eStoring);
    primitive->CTQVisual::Serialize(visualOnly);
    EXPECT_EQ(bytes.size(), visualOnly.GetSize());
    CTestPrimitive* loaded = New<CTestPrimitive>();
    loaded->Coord(0, 0, 0);
    ASSERT_TRUE(Load(*loaded, bytes));
    EXPECT_EQ(loaded->GetComponentCount(), 1) << "loading neither adds nor drops components";
    EXPECT_EQ(primitive->GetSerializationMode(), 3);
}

TEST_F(CTQPrimitiveTest, DisplayAsksTheViewportToDrawThePrimitiveOnly)
{
    std::int32_t primitiveId = -1;
    CTestPrimitive* primitive = New<CTestPrimitive>(primitiveId);
    std::int32_t childId = -1;
    New<CTQVisual>(childId);
    primitive->AddVisual(childId);
    std::int32_t viewportId = -1;
    CTQProbeViewport* viewport = New<CTQProbeViewport>(viewportId);
    primitive->Display(viewportId);
    EXPECT_EQ(viewport->displayed, std::vector<std::int32_t>{primitiveId});
    primitive->SetVisible(false);
    primitive->Display(viewportId);
    EXPECT_EQ(viewport->displayed.size(), 1u);
}

TEST(CTQTextureSetAndShaderTest, TheyReadNothingAndAreNotStored)
{
    CTestTextureSet textures;
    CTestShader shader;
    EXPECT_TRUE(textures.InitData(5));
    EXPECT_TRUE(shader.InitData(5));
    EXPECT_EQ(textures.GetSerializationMode(), 0);
    EXPECT_EQ(shader.GetSerializationMode(), 0);
    EXPECT_TRUE(textures.IsOfType(CTQObject::GetClassType()));
    EXPECT_FALSE(shader.IsOfType(CTQDisplayNode::GetClassType()));
    EXPECT_EQ(CTQTextureSet::GetClassType().GetParent(), &CTQObject::GetClassType());
}

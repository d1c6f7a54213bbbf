#include "DisplayTestSupport.h"

using namespace DisplayTest;

namespace
{
using CTQSceneTest = DisplayFixture;

const CTQMatrix44 kMove(1, 0, 0, 5, 0, 1, 0, -2, 0, 0, 1, 3, 0, 0, 0, 1);
const CTQMatrix44 kScaleTwo(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1);
const CTQMatrix44 kTurn(0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
} // namespace

TEST_F(CTQSceneTest, ASingularMatrixInvalidatesTheInverseUntilAnInvertibleOne)
{
    CTQScene* scene = New<CTQScene>();
    ASSERT_NE(scene, nullptr);
    EXPECT_TRUE(scene->HasValidInvMatrix());
    scene->SetMatrix(CTQMatrix44(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    EXPECT_FALSE(scene->HasValidInvMatrix());
    scene->SetMatrix(kMove);
    EXPECT_TRUE(scene->HasValidInvMatrix());
    ExpectMatrixNear(scene->GetInvMatrix(), CTQMatrix44(1, 0, 0, -5, 0, 1, 0, 2, 0, 0, 1, -3, 0, 0, 0, 1));
}

TEST_F(CTQSceneTest, ApplyMultipliesOnTheRight)
{
    CTQScene* scene = New<CTQScene>();
    scene->SetMatrix(kMove);
    scene->ApplyMatrix(kScaleTwo);
    // Scaled first, then moved.
    ExpectVectorNear(scene->MapVirtualToWorld(CTQVector3(1, 1, 1)), CTQVector3(7, 0, 5));
}

TEST_F(CTQSceneTest, PushApplyPopRestoresMatrixAndInverseExactly)
{
    CTQScene* scene = New<CTQScene>();
    scene->SetMatrix(kTurn);
    const CTQMatrix44 matrix = scene->GetMatrix();
    const CTQMatrix44 inverse = scene->GetInvMatrix();
    scene->PushMatrix();
    scene->ApplyMatrix(kMove);
    EXPECT_NE(scene->GetMatrix(), matrix);
    EXPECT_TRUE(scene->PopMatrix());
    EXPECT_EQ(scene->GetMatrix(), matrix);
    EXPECT_EQ(scene->GetInvMatrix(), inverse);
    EXPECT_EQ(scene->GetMatrixStackDepth(), 0u);
}

TEST_F(CTQSceneTest, PoppingAnEmptyStackFailsAndKeepsTheMatrix)
{
    CWarningLog log;
    CTQScene* scene = New<CTQScene>();
    scene->SetMatrix(kMove);
    EXPECT_FALSE(scene->PopMatrix());
    EXPECT_EQ(scene->GetMatrix(), kMove);
    EXPECT_TRUE(scene->HasValidInvMatrix());
    EXPECT_TRUE(log.Contains("PopMatrix"));
}

TEST_F(CTQSceneTest, VirtualAndWorldSpacesMapBothWays)
{
    CTQScene* scene = New<CTQScene>();
    scene->SetMatrix(kTurn * kMove * kScaleTwo);
    const CTQVector3 v(0.5f, -3, 8);
    ExpectVectorNear(scene->MapWorldToVirtual(scene->MapVirtualToWorld(v)), v);
    ExpectVectorNear(scene->MapVirtualToWorld(CTQVector3(1, 0, 0)), CTQVector3(2, 7, 3));
}

TEST_F(CTQSceneTest, DisplayWalksTheSceneLikeAVisual)
{
    std::int32_t sceneId = -1;
    CTQScene* scene = New<CTQScene>(sceneId);
    std::int32_t childId = -1;
    New<CTQVisual>(childId);
    scene->AddVisual(childId);
    std::int32_t viewportId = -1;
    CTQProbeViewport* viewport = New<CTQProbeViewport>(viewportId);
    scene->Display(viewportId);
    EXPECT_EQ(viewport->displayed, (std::vector<std::int32_t>{sceneId, childId}));
    EXPECT_EQ(scene->GetSerializationMode(), 1);
}

TEST_F(CTQSceneTest, AStoredStackLoadsInTheSameOrder)
{
    CTQScene* scene = New<CTQScene>();
    for (const CTQMatrix44& m : {kMove, kScaleTwo, kTurn})
    {
        scene->SetMatrix(m);
        scene->PushMatrix();
    }
    scene->SetMatrix(kMove * kTurn);
    const Bytes bytes = Store(*scene);

    // After the visual part: matrix and inverse, the valid flag, 'S', 'd', the count.
    CTQDataStream visualPart(CTQDataStream::eStoring);
    scene->CTQVisual::Serialize(visualPart);
    const std::size_t tagAt = 8 + visualPart.GetSize() + 2 * (8 + 64) + 1;
    ASSERT_GT(bytes.size(), tagAt + 6);
    EXPECT_EQ(bytes[tagAt], 'S');
    EXPECT_EQ(bytes[tagAt + 1], 'd');
    EXPECT_EQ(bytes[tagAt + 2], 3);
    EXPECT_EQ(bytes.size(), tagAt + 2 + 4 + 3 * (8 + 64));

    CTQScene* loaded = New<CTQScene>();
    ASSERT_TRUE(Load(*loaded, bytes));
    EXPECT_EQ(loaded->GetMatrix(), kMove * kTurn);
    ASSERT_EQ(loaded->GetMatrixStackDepth(), 3u);
    for (const CTQMatrix44& m : {kTurn, kScaleTwo, kMove})
    {
        ASSERT_TRUE(loaded->PopMatrix());
        EXPECT_EQ(loaded->GetMatrix(), m);
    }
}

TEST_F(CTQSceneTest, AStackCountBeyondTheDataFailsAndKeepsTheStack)
{
    CTQScene* scene = New<CTQScene>();
    scene->PushMatrix();
    Bytes bytes = Store(*scene);
    // The count is the last 4 bytes before the one stored matrix.
    const std::size_t countAt = bytes.size() - (8 + 64) - 4;
    bytes[countAt] = 0xFF;
    bytes[countAt + 1] = 0xFF;
    CTQScene* loaded = New<CTQScene>();
    loaded->PushMatrix();
    loaded->PushMatrix();
    EXPECT_FALSE(Load(*loaded, bytes));
    EXPECT_EQ(loaded->GetMatrixStackDepth(), 2u);
}

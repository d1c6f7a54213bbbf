#include "DisplayTestSupport.h"

#include <cmath>
#include <numbers>

using namespace DisplayTest;

namespace
{
constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

class CTQCameraTest : public DisplayFixture
{
protected:
    void SetUp() override { camera = New<CTQCamera>(cameraId); }
    void ExpectInverseKept()
    {
        ExpectMatrixNear(camera->GetViewMatrix() * camera->GetInvViewMatrix(), CTQMatrix44::Identity);
    }

    std::int32_t cameraId = -1;
    CTQCamera* camera = nullptr;
};
} // namespace

TEST_F(CTQCameraTest, ANewCameraLooksAlongYWithZUp)
{
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->GetViewMatrix(), CTQCamera::sm_oCoordSystemCorrection);
    EXPECT_EQ(camera->GetInvViewMatrix(), CTQCamera::sm_oInvCoordSystemCorrection);
    ExpectMatrixNear(CTQCamera::sm_oCoordSystemCorrection * CTQCamera::sm_oInvCoordSystemCorrection,
                     CTQMatrix44::Identity);
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, 1, 0));
    ExpectVectorNear(camera->GetUpDirection(), CTQVector3(0, 0, 1));
    ExpectVectorNear(camera->GetRightDirection(), CTQVector3(1, 0, 0));
    EXPECT_TRUE(camera->IsDirty());
    camera->ResetDirty();
    EXPECT_FALSE(camera->IsDirty());
    EXPECT_EQ(camera->GetSerializationMode(), 3);
}

TEST_F(CTQCameraTest, EulerRotationPlacesTheCameraAsComputedByHand)
{
    camera->SetPosition(CTQVector3(1, 2, 3));
    camera->SetRotation(CTQVector3(0, 0, kHalfPi));
    // T(1, 2, 3) × RotZ(90°) × C.
    ExpectMatrixNear(camera->GetViewMatrix(), CTQMatrix44(0, 0, 1, 1, 1, 0, 0, 2, 0, 1, 0, 3, 0, 0, 0, 1));
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(-1, 0, 0));
    ExpectVectorNear(camera->GetPosition(), CTQVector3(1, 2, 3));
    ExpectInverseKept();
    EXPECT_TRUE(camera->IsDirty());
}

TEST_F(CTQCameraTest, AQuaternionGivesTheSamePlacementAsItsAngle)
{
    const float s = std::sqrt(0.5f);
    camera->SetRotation(CTQQuaternion(0, 0, s, s));
    const CTQMatrix44 byQuaternion = camera->GetViewMatrix();
    camera->SetRotation(CTQVector3(0, 0, kHalfPi));
    ExpectMatrixNear(byQuaternion, camera->GetViewMatrix());
}

TEST_F(CTQCameraTest, ZeroAnglesAfterALookRestoreTheForwardViewAndKeepThePosition)
{
    camera->SetPosition(CTQVector3(4, 5, 6));
    camera->LookIntoDirection(CTQVector3(1, 1, -1), CTQVector3(0, 0, 1));
    camera->SetRotation(CTQVector3(0, 0, 0));
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, 1, 0));
    ExpectVectorNear(camera->GetPosition(), CTQVector3(4, 5, 6));
}

TEST_F(CTQCameraTest, LookAtAimsFromThePositionAtTheTarget)
{
    camera->SetPosition(CTQVector3(0, 0, 10));
    camera->LookAt(CTQVector3(0, 10, 0), CTQVector3(0, 0, 1));
    const float h = std::sqrt(0.5f);
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, h, -h));
    ExpectVectorNear(camera->GetUpDirection(), CTQVector3(0, h, h));
    ExpectVectorNear(camera->GetRightDirection(), CTQVector3(1, 0, 0));
    ExpectInverseKept();
}

TEST_F(CTQCameraTest, LookOnPlaneLooksAlongTheAxis)
{
    camera->LookOnPlane(eTQCameraAxisAlignedLookat_Down, CTQVector3(1, 2, 50));
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, 0, -1));
    ExpectVectorNear(camera->GetUpDirection(), CTQVector3(0, -1, 0));
    ExpectVectorNear(camera->GetPosition(), CTQVector3(1, 2, 50));
    camera->LookOnPlane(eTQCameraAxisAlignedLookat_Up, CTQVector3(0, 0, 0));
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, 0, 1));
    camera->LookOnPlane(eTQCameraAxisAlignedLookat_Forward, CTQVector3(0, 0, 0));
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, 1, 0));
    ExpectVectorNear(camera->GetUpDirection(), CTQVector3(0, 0, -1));
    camera->LookOnPlane(static_cast<eTQCameraAxisAlignedLookat>(7), CTQVector3(9, 9, 9));
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, 1, 0)); // another value only moves
    ExpectVectorNear(camera->GetPosition(), CTQVector3(9, 9, 9));
}

TEST_F(CTQCameraTest, RotateTurnsAboutWorldAxesAndKeepsThePosition)
{
    const float s = std::sqrt(0.5f);
    const CTQQuaternion quarterAboutZ(0, 0, s, s);
    camera->SetPosition(CTQVector3(3, 0, 0));
    camera->Rotate(quarterAboutZ);
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(-1, 0, 0));
    camera->Rotate(quarterAboutZ);
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, -1, 0));
    ExpectVectorNear(camera->GetUpDirection(), CTQVector3(0, 0, 1));
    ExpectVectorNear(camera->GetPosition(), CTQVector3(3, 0, 0));
    // Looking down, a turn about Z keeps looking down but turns the screen's up.
    camera->LookIntoDirection(CTQVector3(0, 0, -1), CTQVector3(0, 1, 0));
    camera->Rotate(quarterAboutZ);
    ExpectVectorNear(camera->GetViewDirection(), CTQVector3(0, 0, -1));
    ExpectVectorNear(camera->GetUpDirection(), CTQVector3(-1, 0, 0));
    ExpectInverseKept();
}

TEST_F(CTQCameraTest, MovesFollowTheCamerasOwnAxes)
{
    camera->SetRotation(CTQVector3(0, 0, kHalfPi)); // looking along -X, right is +Y
    camera->MoveForward(2);
    camera->MoveRight(3);
    camera->MoveUp(4);
    camera->Translate(CTQVector3(1, 1, 1));
    ExpectVectorNear(camera->GetPosition(), CTQVector3(-1, 4, 5));
    ExpectInverseKept();
}

TEST_F(CTQCameraTest, StoredFormRoundTrips)
{
    camera->SetPosition(CTQVector3(1, 2, 3));
    camera->LookIntoDirection(CTQVector3(1, 0, 0), CTQVector3(0, 0, 1));
    camera->ResetDirty();
    const Bytes bytes = Store(*camera);
    EXPECT_EQ(bytes.size(), (8 + 8) + 2 * (8 + 64) + 1 + (8 + 12));
    EXPECT_EQ(bytes[16 + 2 * 72], 0) << "the dirty flag";
    CTQCamera* copy = New<CTQCamera>();
    ASSERT_TRUE(Load(*copy, bytes));
    EXPECT_EQ(copy->GetViewMatrix(), camera->GetViewMatrix());
    EXPECT_EQ(copy->GetInvViewMatrix(), camera->GetInvViewMatrix());
    EXPECT_FALSE(copy->IsDirty());
}

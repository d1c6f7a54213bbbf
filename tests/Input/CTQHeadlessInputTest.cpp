#include <FramekitHeadless/HeadlessInput.h>

#include "InputTestSupport.h"

namespace
{
using CTQHeadlessInputTest = InputTest;
} // namespace

TEST_F(CTQHeadlessInputTest, MousePositionStaysWithinTheField)
{
    Mouse().MoveTo(3, 700);
    Mouse().MoveBy(-5, 100);
    EXPECT_EQ(Mouse().GetXPos(), 0);
    EXPECT_EQ(Mouse().GetYPos(), 767);
    Mouse().MoveTo(1020, 0);
    Mouse().MoveBy(10, 0);
    EXPECT_EQ(Mouse().GetXPos(), 1023);
    Mouse().MoveTo(-2000000000, 2000000000);
    Mouse().MoveBy(2147483647, -2147483647);
    EXPECT_EQ(Mouse().GetXPos(), 1023);
    EXPECT_EQ(Mouse().GetYPos(), 0);
    const std::vector<sSeenEvent> moves = DrainQueue();
    ASSERT_EQ(moves.size(), 6u);
    EXPECT_EQ(moves[1].nX, 0);
    EXPECT_EQ(moves[1].nY, 767);
}

TEST_F(CTQHeadlessInputTest, ClicksWheelAndDoubleClicksQueueTheirEventsInOrder)
{
    const std::int32_t m = Mouse().GetDeviceId();
    Mouse().DoubleClick(eMouseButtonLeft, 5, 6);
    Mouse().Wheel(3);
    const std::vector<sSeenEvent> expected = {
        {eInputEventButtonDown, m, eMouseButtonLeft, 5, 6, 0.0f, 0},
        {eInputEventButtonUp, m, eMouseButtonLeft, 5, 6, 0.0f, 0},
        {eInputEventButtonDblClick, m, eMouseButtonLeft, 5, 6, 0.0f, 0},
        {eInputEventButtonUp, m, eMouseButtonLeft, 5, 6, 0.0f, 0},
        {eInputEventMouseWheel, m, 3, 5, 6, 3.0f, 0},
    };
    EXPECT_EQ(DrainQueue(), expected);
}

TEST_F(CTQHeadlessInputTest, KeyEventsCarryTheHeldModifierKeys)
{
    const std::int32_t k = Keyboard().GetDeviceId();
    Keyboard().PressKey(eKeyShift);
    Keyboard().TapKey(eKeyA);
    Keyboard().ReleaseKey(eKeyShift);
    Keyboard().TypeText("hi");
    const std::vector<sSeenEvent> expected = {
        {eInputEventKeyDown, k, eKeyShift, 0, 0, 0.0f, kInputEventFlagShift},
        {eInputEventKeyDown, k, eKeyA, 0, 0, 0.0f, kInputEventFlagShift},
        {eInputEventKeyUp, k, eKeyA, 0, 0, 0.0f, kInputEventFlagShift},
        {eInputEventKeyUp, k, eKeyShift, 0, 0, 0.0f, 0},
        {eInputEventKeyChar, k, 'h', 0, 0, 0.0f, 0},
        {eInputEventKeyChar, k, 'i', 0, 0, 0.0f, 0},
    };
    EXPECT_EQ(DrainQueue(), expected);
}

TEST_F(CTQHeadlessInputTest, JoystickReportsAxesAndButtons)
{
    const std::int32_t j = Joystick().GetDeviceId();
    Joystick().PushAxis(2, -1.0f);
    Joystick().PressButton(4);
    const std::vector<sSeenEvent> expected = {
        {eInputEventAxis, j, 2, 0, 0, -1.0f, 0},
        {eInputEventButtonDown, j, 4, 0, 0, 0.0f, 0},
    };
    EXPECT_EQ(DrainQueue(), expected);
}

TEST_F(CTQHeadlessInputTest, DestroyDevicesTakesThemOutOfServerAndDatabase)
{
    const std::int32_t mouseObject = Mouse().GetId();
    m_pServer->DestroyDevices();
    EXPECT_EQ(m_pServer->GetNumDevices(), 0);
    EXPECT_EQ(m_pServer->GetMouse(), nullptr);
    EXPECT_EQ(m_pDatabase->QueryObject(mouseObject), nullptr);
    EXPECT_TRUE(m_pServer->CreateDevices());
    EXPECT_EQ(m_pServer->GetNumDevices(), 3);
}

TEST(CTQHeadlessInputServer, CreateDevicesFailsWithoutAnObjectDatabase)
{
    CTQHeadlessInputServer server;
    EXPECT_FALSE(server.CreateDevices());
    EXPECT_EQ(server.GetNumDevices(), 0);
}

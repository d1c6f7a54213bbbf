#include <Framekit/Input/CTQInputEvent.h>

#include <Framekit/Input/CTQInputDevice.h>
#include <Framekit/Input/CTQInputRecorder.h>
#include <Framekit/Input/CTQInputServer.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/TimeSource.h>

#include <gtest/gtest.h>

#include "Support/StreamBytes.h"

#include <vector>

namespace
{
class CTQInputEventTest : public ::testing::Test
{
protected:
    void SetUp() override { m_pPrevious = TQSetTimeSource(&m_oClock); }
    void TearDown() override { TQSetTimeSource(m_pPrevious); }

    CTQManualClock m_oClock{12.5};
    ITQTimeSource* m_pPrevious = nullptr;
};

// Hand-written: a wheel event on device 7 with every field set.
const std::vector<std::uint8_t> kStoredWheelEvent = {
    0x00, 0x01, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00,             // CTQInputObject bracket: version 256, 24 bytes
    0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00,             //   CTQObject bracket: version 256, 8 bytes
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,             //     object id -1, resource id -1
    0x11, 0x00, 0x00, 0x00, 0x22, 0x00, 0x00, 0x00,             //   user values
    0x05, 0x00, 0x00, 0x00,                                     // type: mouse wheel
    0x02, 0x00, 0x00, 0x00,                                     // flags
    0x07, 0x00, 0x00, 0x00,                                     // device id
    0xFD, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, // value -3, five times
    0xFF, 0xFF, 0xFD, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0xFF, 0xFF, //
    0x00, 0x00, 0xC0, 0x3F,                                     // axis value 1.5
    0xFF, 0x03, 0x00, 0x00, 0xFF, 0x02, 0x00, 0x00,             // x 1023, y 767
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x29, 0x40,             // time stamp 12.5
};
} // namespace

TEST_F(CTQInputEventTest, NewEventStartsEmptyAndStampedByTheTimeSource)
{
    CTQInputEvent event;
    EXPECT_EQ(event.GetEventType(), eInputEventNone);
    EXPECT_EQ(event.GetFlags(), 0u);
    EXPECT_EQ(event.GetDeviceId(), -1);
    EXPECT_EQ(event.GetKey(), 0);
    EXPECT_EQ(event.GetTimeStamp(), 12.5);
}

TEST_F(CTQInputEventTest, KeyButtonAxisAndPovShareOneValue)
{
    CTQInputEvent event;
    event.SetKey(eKeyA);
    event.SetButton(eMouseButtonMiddle);
    EXPECT_EQ(event.GetKey(), eMouseButtonMiddle);
    EXPECT_EQ(event.GetChar(), eMouseButtonMiddle);
    EXPECT_EQ(event.GetAxis(), eMouseButtonMiddle);
    EXPECT_EQ(event.GetPov(), eMouseButtonMiddle);
}

TEST_F(CTQInputEventTest, StoredFormHasTheValueFiveTimesAfterTheBracket)
{
    CTQInputEvent event;
    event.SetUserValue1(0x11);
    event.SetUserValue2(0x22);
    event.SetEventType(eInputEventMouseWheel);
    event.SetFlags(kInputEventFlagControl);
    event.SetDeviceId(7);
    event.SetKey(-3);
    event.SetAxisValue(1.5f);
    event.SetXPos(1023);
    event.SetYPos(767);
    EXPECT_EQ(TestSupport::Store(event), kStoredWheelEvent);
}

TEST_F(CTQInputEventTest, LoadingKeepsTheLastOfTheFiveValueCopies)
{
    std::vector<std::uint8_t> bytes = kStoredWheelEvent;
    // The fifth copy, the POV, becomes 9.
    bytes[60] = 0x09;
    bytes[61] = bytes[62] = bytes[63] = 0x00;
    CTQInputEvent event;
    ASSERT_TRUE(TestSupport::Load(event, bytes));
    EXPECT_EQ(event.GetKey(), 0x09);
    EXPECT_EQ(event.GetEventType(), eInputEventMouseWheel);
    EXPECT_EQ(event.GetUserValue2(), 0x22);
    EXPECT_EQ(event.GetYPos(), 767);
    EXPECT_EQ(event.GetTimeStamp(), 12.5);
}

TEST_F(CTQInputEventTest, LoadingATruncatedEventFailsTheStream)
{
    CTQInputEvent event;
    EXPECT_FALSE(TestSupport::Load(event, {kStoredWheelEvent.begin(), kStoredWheelEvent.begin() + 50}));
}

TEST(InputRegistration, EventsAndRecordersAreCreatableByNameServersAndDevicesAreNot)
{
    EXPECT_TRUE(CTQObjectFactory::IsClassOfType("CTQInputEvent", CTQInputObject::GetClassType()));
    EXPECT_TRUE(CTQObjectFactory::IsClassOfType("CTQInputRecorder", CTQInputModifier::GetClassType()));
    // Abstract: the device layer's classes are registered instead.
    EXPECT_FALSE(CTQObjectFactory::IsValidClassType("CTQInputServer"));
    EXPECT_FALSE(CTQObjectFactory::IsValidClassType("CTQMouse"));
    EXPECT_TRUE(CTQObjectFactory::IsClassOfType("CTQHeadlessInputServer", CTQInputServer::GetClassType()));
    EXPECT_TRUE(CTQObjectFactory::IsClassOfType("CTQHeadlessMouse", CTQInputDevice::GetClassType()));
}

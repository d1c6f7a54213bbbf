#include <Framekit/Input/CTQInputRecorder.h>

#include "InputTestSupport.h"

#include <Plinth/SystemHooks.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace
{
std::vector<std::pair<int, int>> s_aCursor;

bool CaptureCursor(int x, int y)
{
    s_aCursor.emplace_back(x, y);
    return true;
}

class CTQInputRecorderTest : public InputTest
{
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        s_aCursor.clear();
        m_pfnPreviousCursorHook = SYS_SetCursorPosHook(&CaptureCursor);
        m_oDir = std::filesystem::temp_directory_path() /
                 ("framekit-recorder-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_oDir);
        m_nRecorderId = m_pDatabase->CreateObject("CTQInputRecorder");
        m_pRecorder = static_cast<CTQInputRecorder*>(m_pDatabase->QueryObject(m_nRecorderId));
        ASSERT_NE(m_pRecorder, nullptr);
        m_pDatabase->ReleaseObject(m_nRecorderId);
        m_pServer->InstallModifier(10, m_nRecorderId);
    }

    void TearDown() override
    {
        SYS_SetCursorPosHook(m_pfnPreviousCursorHook);
        InputTest::TearDown();
        std::filesystem::remove_all(m_oDir);
    }

    CTQString PathOf(const char* name) const { return CTQString((m_oDir / name).string()); }

    CTQString WriteFile(const char* name, const std::string& content) const
    {
        std::ofstream(m_oDir / name, std::ios::binary) << content;
        return PathOf(name);
    }

    std::string ReadFile(const char* name) const
    {
        std::ifstream in(m_oDir / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Triggers at the given time and returns what the queue then holds, with
    // the time stamps.
    std::vector<sSeenEvent> TriggerAt(double seconds, std::vector<double>* times = nullptr)
    {
        m_oClock.Set(seconds);
        m_pServer->Trigger();
        if (times)
            for (std::int32_t id : QueuedIds())
                if (CTQInputEvent* event = m_pServer->QueryEvent(id))
                {
                    times->push_back(event->GetTimeStamp());
                    m_pServer->ReleaseEvent(id);
                }
        return DrainQueue();
    }

    std::filesystem::path m_oDir;
    PFN_SYSSetCursorPos m_pfnPreviousCursorHook = nullptr;
    std::int32_t m_nRecorderId = -1;
    CTQInputRecorder* m_pRecorder = nullptr;
};

sSeenEvent Event(eInputEventType type, std::int32_t device, std::int32_t value, std::int32_t x = 0, std::int32_t y = 0,
                 float axis = 0.0f)
{
    return {type, device, value, x, y, axis, 0};
}
} // namespace

TEST_F(CTQInputRecorderTest, ARecordingPlaysBackTheSameEventsWithTheirTiming)
{
    const std::int32_t kb = Keyboard().GetDeviceId();
    const std::int32_t mouse = Mouse().GetDeviceId();
    ASSERT_TRUE(m_pRecorder->Record(PathOf("take.rec")));
    Keyboard().PressKey(eKeyA);
    m_oClock.Set(100.5);
    Mouse().MoveTo(10, 20);
    m_oClock.Set(101.25);
    Mouse().Click(eMouseButtonRight, 30, 40);
    Mouse().Wheel(-2);
    m_oClock.Set(101.5);
    Joystick().PushAxis(0, 0.25f); // a type without a name: not recorded
    Keyboard().TypeChar('z');
    std::vector<sSeenEvent> live = DrainQueue();
    m_pRecorder->Stop();
    ASSERT_EQ(live.size(), 7u);
    live.erase(live.begin() + 5);

    const std::string k = std::to_string(kb), m = std::to_string(mouse);
    EXPECT_EQ(ReadFile("take.rec"), "0;" + k + ";key down;65;\r\n" +         //
                                        "0.5;" + m + ";mouse move;10;20;\r\n" + //
                                        "1.25;" + m + ";button down;1;30;40;\r\n" +
                                        "1.25;" + m + ";button up;1;30;40;\r\n" +
                                        "1.25;" + m + ";mouse wheel;30;40;-2;-2;\r\n" + //
                                        "1.5;" + k + ";key char;122;\r\n");

    m_oClock.Set(200.0);
    ASSERT_TRUE(m_pRecorder->Play(PathOf("take.rec")));
    std::vector<double> times;
    // The record at time 0 plays at the first trigger.
    EXPECT_EQ(TriggerAt(200.0, &times), std::vector<sSeenEvent>(live.begin(), live.begin() + 1));
    EXPECT_TRUE(s_aCursor.empty());
    // Live input is thrown away while the recording plays.
    EXPECT_FALSE(Keyboard().PressKey(eKeyA + 1));
    EXPECT_TRUE(TriggerAt(200.4).empty());
    EXPECT_EQ(TriggerAt(200.5, &times), std::vector<sSeenEvent>(live.begin() + 1, live.begin() + 2));
    EXPECT_EQ(s_aCursor, (std::vector<std::pair<int, int>>{{10, 20}}));
    // Three records due together play in one trigger, in file order.
    EXPECT_EQ(TriggerAt(201.3, &times), std::vector<sSeenEvent>(live.begin() + 2, live.begin() + 5));
    EXPECT_EQ(s_aCursor.size(), 4u);
    EXPECT_EQ(s_aCursor.back(), std::make_pair(30, 40));
    EXPECT_EQ(TriggerAt(201.5, &times), std::vector<sSeenEvent>(live.begin() + 5, live.end()));
    EXPECT_EQ(times, (std::vector<double>{200.0, 200.5, 201.25, 201.25, 201.25, 201.5}));
    // The end of the file stops playback in the same trigger: live input flows again.
    EXPECT_EQ(m_pRecorder->GetState(), CTQInputRecorder::eStopped);
    EXPECT_TRUE(Keyboard().PressKey(eKeyA + 1));
}

TEST_F(CTQInputRecorderTest, ATimeIsDueAtTheElapsedTimeItWasWrittenFor)
{
    ASSERT_TRUE(m_pRecorder->Record(PathOf("tenth.rec")));
    m_oClock.Set(100.1);
    Keyboard().PressKey(eKeyA);
    m_pRecorder->Stop();
    DrainQueue();
    m_oClock.Set(300.0);
    ASSERT_TRUE(m_pRecorder->Play(PathOf("tenth.rec")));
    EXPECT_EQ(TriggerAt(300.1).size(), 1u);
}

TEST_F(CTQInputRecorderTest, NamesAreReadInAnyCase)
{
    const CTQString file = WriteFile("caps.rec", "0;3;KEY DOWN;65;\r\n0;4;Mouse Move;7;8;\r\n");
    ASSERT_TRUE(m_pRecorder->Play(file));
    EXPECT_EQ(TriggerAt(100.0), (std::vector<sSeenEvent>{Event(eInputEventKeyDown, 3, 65),
                                                         Event(eInputEventMouseMove, 4, 0, 7, 8)}));
    EXPECT_EQ(s_aCursor, (std::vector<std::pair<int, int>>{{7, 8}}));
}

TEST_F(CTQInputRecorderTest, AFileThatCannotBeOpenedLeavesEverythingAsItWas)
{
    EXPECT_FALSE(m_pRecorder->Play(PathOf("missing.rec")));
    EXPECT_FALSE(m_pRecorder->Record(CTQString("")));
    EXPECT_FALSE(m_pRecorder->Record(PathOf("no/such/dir.rec")));
    EXPECT_EQ(m_pRecorder->GetState(), CTQInputRecorder::eIdle);
    EXPECT_TRUE(Keyboard().PressKey(eKeyA));
    EXPECT_EQ(DrainQueue().size(), 1u);
}

TEST_F(CTQInputRecorderTest, AFailedReopenLeavesTheRunningPlaybackInUse)
{
    const CTQString file = WriteFile("two.rec", "0;1;key down;65;\r\n1;1;key up;65;\r\n");
    ASSERT_TRUE(m_pRecorder->Play(file));
    EXPECT_EQ(TriggerAt(100.0).size(), 1u);
    EXPECT_FALSE(m_pRecorder->Play(PathOf("missing.rec")));
    EXPECT_TRUE(m_pRecorder->IsPlaying());
    EXPECT_EQ(TriggerAt(101.0), std::vector<sSeenEvent>{Event(eInputEventKeyUp, 1, 65)});
    // A successful reopen switches over.
    ASSERT_TRUE(m_pRecorder->Play(file));
    EXPECT_TRUE(m_pRecorder->Record(PathOf("new.rec")));
    EXPECT_TRUE(m_pRecorder->IsRecording());
}

TEST_F(CTQInputRecorderTest, AWriteErrorStopsTheRecordingAndLeavesTheEventAlone)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(m_pRecorder->Record(CTQString("/dev/full")));
    EXPECT_TRUE(Keyboard().PressKey(eKeyA));
    EXPECT_EQ(m_pRecorder->GetState(), CTQInputRecorder::eStopped);
}

TEST_F(CTQInputRecorderTest, ManyRecordsDueAtOnceArePlayedOverSeveralTriggers)
{
    std::string content;
    for (int i = 0; i < 3000; ++i)
        content += "0;1;key char;" + std::to_string(i) + ";\r\n";
    ASSERT_TRUE(m_pRecorder->Play(WriteFile("many.rec", content)));
    EXPECT_EQ(TriggerAt(100.0).size(), 1024u);
    EXPECT_EQ(TriggerAt(100.0).size(), 1024u);
    const std::vector<sSeenEvent> rest = TriggerAt(100.0);
    ASSERT_EQ(rest.size(), 952u);
    EXPECT_EQ(rest.back().nValue, 2999);
    EXPECT_EQ(m_pRecorder->GetState(), CTQInputRecorder::eStopped);
}

struct sBadRecording
{
    const char* pszName;
    std::string content;
    // Records played before playback stops.
    std::size_t nPlayed;
};

class CTQInputRecorderBadFileTest : public CTQInputRecorderTest, public ::testing::WithParamInterface<sBadRecording>
{
};

TEST_P(CTQInputRecorderBadFileTest, PlaybackStopsCleanlyAtTheBadRecord)
{
    const sBadRecording& bad = GetParam();
    ASSERT_TRUE(m_pRecorder->Play(WriteFile("bad.rec", bad.content)));
    std::size_t played = 0;
    for (int trigger = 0; trigger < 3; ++trigger)
        played += TriggerAt(100.0 + trigger).size();
    EXPECT_EQ(played, bad.nPlayed);
    EXPECT_EQ(m_pRecorder->GetState(), CTQInputRecorder::eStopped);
    EXPECT_TRUE(Keyboard().PressKey(eKeyA));
}

INSTANTIATE_TEST_SUITE_P(
    , CTQInputRecorderBadFileTest,
    ::testing::Values(
        sBadRecording{"Empty", "", 0}, sBadRecording{"OnlyLineEnds", "\r\n\r\n  \n", 0},
        sBadRecording{"TruncatedLine", "0;1;key down;65;\r\n0;1;key do", 1},
        sBadRecording{"TruncatedAfterTime", "0;", 0},
        sBadRecording{"MissingFieldNotTakenFromNextLine", "0;1;key down;\r\n0;1;key up;66;\r\n", 0},
        sBadRecording{"MissingYOfAMove", "0;1;mouse move;5;\r\n7;8;\r\n", 0},
        sBadRecording{"FieldTooMany", "0;1;key down;65;66;\r\n0;1;key up;65;\r\n", 0},
        sBadRecording{"UnknownName", "0;1;key down;65;\r\n0;1;key sideways;65;\r\n0;1;key up;65;\r\n", 1},
        sBadRecording{"EmptyName", "0;1;;65;\r\n", 0},
        sBadRecording{"NumberThatDoesNotParse", "0;1;key down;six;\r\n", 0},
        sBadRecording{"TimeThatDoesNotParse", "soon;1;key down;65;\r\n", 0},
        sBadRecording{"TimeNotANumber", "nan;1;key down;65;\r\n", 0},
        sBadRecording{"AxisValueInfinite", "0;1;mouse wheel;1;2;3;inf;\r\n", 0},
        sBadRecording{"DeviceIdOutOfRange", "0;99999999999;key down;65;\r\n", 0},
        sBadRecording{"MissingLastDelimiter", "0;1;key down;65\r\n", 0},
        sBadRecording{"HugeLineWithoutDelimiter", std::string(200000, '7'), 0},
        sBadRecording{"HugeName", "0;1;" + std::string(100000, 'k') + ";65;\r\n", 0},
        sBadRecording{"BinaryJunk", std::string("0;1;\0\xff\x01;65;\r\n", 13), 0}),
    [](const ::testing::TestParamInfo<sBadRecording>& param) { return std::string(param.param.pszName); });

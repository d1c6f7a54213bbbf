#include "CapturingLogSink.h"

#include <Plinth/SystemHooks.h>
#include <Plinth/TimeSource.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(SystemHooksTest, TickCountFollowsTheTimeSource)
{
    CTQManualClock clock(2.0);
    ITQTimeSource* previous = TQSetTimeSource(&clock);
    EXPECT_EQ(SYS_GetTickCount(), 2000u);
    clock.Advance(0.016);
    EXPECT_EQ(SYS_GetTickCount(), 2016u);
    TQSetTimeSource(previous);
}

TEST(SystemHooksTest, DefaultMessageBoxLogsTextUnderItsCaptionAndAnswersOk)
{
    CapturingLogSink sink;
    EXPECT_EQ(SYS_MessageBox("Cannot open water environment texture", "Error", kSysMessageBoxOk), kSysAnswerOk);
    EXPECT_EQ(SYS_MessageBox(nullptr, nullptr, kSysMessageBoxOk), 1);

    std::vector<CapturingLogSink::Entry> entries = sink.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, eTQLogKind::Log);
    EXPECT_EQ(entries[0].caption, "Error");
    EXPECT_EQ(entries[0].text, "Cannot open water environment texture");
    EXPECT_EQ(entries[1].caption, "");
    EXPECT_EQ(entries[1].text, "");
}

struct MessageBoxCall
{
    std::string text;
    std::string caption;
    std::uint32_t flags = 0;
    int calls = 0;
};
MessageBoxCall g_oLastMessageBox;

int RecordingMessageBox(const char* text, const char* caption, std::uint32_t flags)
{
    g_oLastMessageBox = {text, caption, flags, g_oLastMessageBox.calls + 1};
    return 7;
}

TEST(SystemHooksTest, MessageBoxHookGetsTheCallAndNullRestoresTheDefault)
{
    CapturingLogSink sink;
    g_oLastMessageBox = {};
    PFN_SYSMessageBox original = SYS_SetMessageBoxHook(&RecordingMessageBox);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(SYS_MessageBox("text", "Error", 0x30u), 7);
    EXPECT_EQ(g_oLastMessageBox.text, "text");
    EXPECT_EQ(g_oLastMessageBox.caption, "Error");
    EXPECT_EQ(g_oLastMessageBox.flags, 0x30u);
    EXPECT_TRUE(sink.Texts().empty()) << "a replaced default must not log as well";

    EXPECT_EQ(SYS_SetMessageBoxHook(nullptr), &RecordingMessageBox);
    EXPECT_EQ(SYS_MessageBox("again", "Error", 0), kSysAnswerOk);
    EXPECT_EQ(g_oLastMessageBox.calls, 1);
    EXPECT_EQ(sink.Texts().size(), 1u);
    EXPECT_EQ(SYS_SetMessageBoxHook(nullptr), original);
}

int g_nCursorX = 0;
int g_nCursorY = 0;

bool RecordingSetCursorPos(int x, int y)
{
    g_nCursorX = x;
    g_nCursorY = y;
    return false;
}

TEST(SystemHooksTest, CursorHookGetsThePositionAndNullRestoresTheDefault)
{
    EXPECT_TRUE(SYS_SetCursorPos(5, 6));
    PFN_SYSSetCursorPos original = SYS_SetCursorPosHook(&RecordingSetCursorPos);
    EXPECT_FALSE(SYS_SetCursorPos(320, 240));
    EXPECT_EQ(g_nCursorX, 320);
    EXPECT_EQ(g_nCursorY, 240);
    EXPECT_EQ(SYS_SetCursorPosHook(nullptr), &RecordingSetCursorPos);
    EXPECT_TRUE(SYS_SetCursorPos(1, 2));
    EXPECT_EQ(g_nCursorX, 320);
    EXPECT_EQ(SYS_SetCursorPosHook(nullptr), original);
}
} // namespace

#include "CapturingLogSink.h"

#include <Plinth/Log.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace
{
TEST(LogTest, LogFnPassesEveryFieldAndTheFormattedText)
{
    CapturingLogSink sink;
    _TQ_Log_Fn("Framekit/Tolvan/Protocol", "Ironline Founder", "Dispatch", 101, 0, 15, 7, "bad number %d (%s)", 9,
               "x");

    std::vector<CapturingLogSink::Entry> entries = sink.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kind, eTQLogKind::Log);
    EXPECT_EQ(entries[0].caption, "Ironline Founder");
    EXPECT_EQ(entries[0].context, "Dispatch");
    EXPECT_EQ(entries[0].line, 101);
    EXPECT_EQ(entries[0].text, "bad number 9 (x)");
}

TEST(LogTest, MacroFillsTheHouseCaptionAndFunction)
{
    CapturingLogSink sink;
    TQ_LOG("value %s", "here");

    std::vector<CapturingLogSink::Entry> entries = sink.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].caption, "Ironline Founder");
    EXPECT_EQ(entries[0].context, "TestBody");
    EXPECT_EQ(entries[0].text, "value here");
}

TEST(LogTest, WarningAndPrintfCarryOnlyTheirKindAndText)
{
    CapturingLogSink sink;
    Debug_Warning("Can't create a resource of type '%s'.\n", "CFoo");
    Debug_Printf("%s", "oFileName.IsEmpty()");

    std::vector<CapturingLogSink::Entry> entries = sink.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, eTQLogKind::Warning);
    EXPECT_EQ(entries[0].text, "Can't create a resource of type 'CFoo'.\n");
    EXPECT_EQ(entries[0].caption, "");
    EXPECT_EQ(entries[0].line, 0);
    EXPECT_EQ(entries[1].kind, eTQLogKind::Printf);
    EXPECT_EQ(entries[1].text, "oFileName.IsEmpty()");
}

// The stack buffer holds 511 characters and a terminator; the next length must
// take the heap path and still arrive whole.
TEST(LogTest, TextsAroundAndFarBeyondTheStackBufferArriveWhole)
{
    CapturingLogSink sink;
    const std::string fits(511, 'a');
    const std::string justOver(512, 'b');
    const std::string longText(5000, 'c');
    Debug_Printf("%s", fits.c_str());
    Debug_Printf("%s", justOver.c_str());
    Debug_Printf("<%s>", longText.c_str());

    std::vector<std::string> texts = sink.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], fits);
    EXPECT_EQ(texts[1], justOver);
    EXPECT_EQ(texts[2], "<" + longText + ">");
}

void CountingSink(const TQLogMessage&, void* user)
{
    ++*static_cast<int*>(user);
}

TEST(LogTest, SetSinkReturnsThePreviousOneAndNullRestoresTheDefault)
{
    int count = 0;
    PFN_TQLogSink original = TQSetLogSink(&CountingSink, &count);
    ASSERT_NE(original, nullptr);
    Debug_Printf("one");
    EXPECT_EQ(count, 1);

    EXPECT_EQ(TQSetLogSink(nullptr), &CountingSink);
    // The default is back: our counter no longer moves and the default's own
    // pointer comes back from the next installation.
    testing::internal::CaptureStderr();
    Debug_Printf("two");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(TQSetLogSink(original), original);
}

TEST(LogTest, DefaultSinkPrintsCaptionContextLineAndEndsEachMessageOnce)
{
    PFN_TQLogSink original = TQSetLogSink(nullptr);
    testing::internal::CaptureStderr();
    _TQ_Log_Fn("src.cpp", "Ironline Founder", "CTQMutex", 12, 0, 15, 7, "failed!");
    Debug_Warning("already ends\n");
    Debug_Printf("plain");
    std::string out = testing::internal::GetCapturedStderr();
    TQSetLogSink(original);

    EXPECT_EQ(out, "Ironline Founder: CTQMutex(12): failed!\nalready ends\nplain\n");
}

// A sink that logs while it handles a message must not deadlock on the sink lock.
void ReentrantSink(const TQLogMessage& message, void* user)
{
    auto* texts = static_cast<std::vector<std::string>*>(user);
    texts->push_back(message.text);
    if (texts->size() == 1)
        Debug_Printf("from inside");
}

TEST(LogTest, SinkMayLogFromInsideItself)
{
    std::vector<std::string> texts;
    PFN_TQLogSink original = TQSetLogSink(&ReentrantSink, &texts);
    Debug_Printf("outer");
    TQSetLogSink(original);
    EXPECT_EQ(texts, (std::vector<std::string>{"outer", "from inside"}));
}

TEST(LogTest, MessagesFromSeveralThreadsAllArriveUntorn)
{
    CapturingLogSink sink;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 250;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kPerThread; ++i)
                Debug_Printf("thread %d message %d", t, i);
        });
    for (std::thread& thread : threads)
        thread.join();

    std::vector<std::string> texts = sink.Texts();
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(kThreads * kPerThread));
    std::vector<int> next(kThreads, 0);
    for (const std::string& text : texts)
    {
        int t = -1;
        int i = -1;
        ASSERT_EQ(std::sscanf(text.c_str(), "thread %d message %d", &t, &i), 2) << text;
        ASSERT_GE(t, 0);
        ASSERT_LT(t, kThreads);
        EXPECT_EQ(i, next[static_cast<std::size_t>(t)]++) << "messages of one thread arrive in order";
    }
}
} // namespace

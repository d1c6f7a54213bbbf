#include <Plinth/CTQTimer.h>
#include <Plinth/CTimer.h>
#include <Plinth/TimeSource.h>

#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

namespace
{
// Every test reads time from a manual clock and leaves the previous source and
// an un-latched shared timer behind.
class TimeSourceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_pPrevious = TQSetTimeSource(&m_oClock);
        TQGetTimer()->Reset();
    }
    void TearDown() override
    {
        TQSetTimeSource(m_pPrevious);
        TQGetTimer()->Reset();
    }

    CTQManualClock m_oClock;
    ITQTimeSource* m_pPrevious = nullptr;
};

TEST_F(TimeSourceTest, SetTimeSourceReturnsThePreviousAndNullRestoresTheDefault)
{
    EXPECT_EQ(TQGetTimeSource(), &m_oClock);
    CTQManualClock other;
    EXPECT_EQ(TQSetTimeSource(&other), &m_oClock);
    EXPECT_EQ(TQSetTimeSource(nullptr), &other);
    EXPECT_EQ(TQGetTimeSource(), TQGetDefaultTimeSource());
    EXPECT_EQ(TQSetTimeSource(&m_oClock), TQGetDefaultTimeSource());
}

TEST_F(TimeSourceTest, DefaultSourceNeverRunsBackwards)
{
    ITQTimeSource* source = TQGetDefaultTimeSource();
    double first = source->GetSeconds();
    double second = source->GetSeconds();
    EXPECT_GE(first, 0.0);
    EXPECT_GE(second, first);
}

TEST_F(TimeSourceTest, ManualClockMovesOnlyWhenTold)
{
    EXPECT_EQ(CTimer::GetCurTime(), 0.0);
    m_oClock.Set(12.5);
    EXPECT_EQ(CTimer::GetCurTime(), 12.5);
    EXPECT_EQ(CTimer::GetCurTime(), 12.5);
    m_oClock.Advance(0.25);
    EXPECT_EQ(CTimer::GetCurTime(), 12.75);
}

TEST_F(TimeSourceTest, AdvancesFromSeveralThreadsAreAllCounted)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([this] {
            for (int i = 0; i < 1000; ++i)
                m_oClock.Advance(1.0);
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(m_oClock.GetSeconds(), 4000.0);
}

TEST_F(TimeSourceTest, MillisecondsAreTruncatedWithoutLosingOneToRounding)
{
    m_oClock.Set(1.5);
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 1500u);
    m_oClock.Set(1.0019);
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 1001u);
    // 1.001 * 1000 is 1000.999... in binary; it must still read as 1001.
    m_oClock.Set(1.001);
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 1001u);
    m_oClock.Set(0.0);
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 0u);
}

TEST_F(TimeSourceTest, MillisecondsWrapAtThirtyTwoBits)
{
    // 2^32 ms is 4294967.296 s.
    m_oClock.Set(4294967.295);
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 4294967295u);
    m_oClock.Set(4294967.296 + 0.007);
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 7u);
}

TEST_F(TimeSourceTest, NegativeOrNonFiniteTimesReadAsZeroMilliseconds)
{
    m_oClock.Set(-3.0);
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 0u);
    m_oClock.Set(std::numeric_limits<double>::infinity());
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 0u);
    m_oClock.Set(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(CTimer::GetCurTimeInMs(), 0u);
}

TEST_F(TimeSourceTest, TimerGivesDirectTimeUntilTheFirstUpdate)
{
    CTQTimer* timer = TQGetTimer();
    ASSERT_EQ(timer, TQGetTimer());
    m_oClock.Set(10.0);
    EXPECT_EQ(timer->GetTime(), 10.0);
    m_oClock.Set(11.0);
    EXPECT_EQ(timer->GetTime(), 11.0);
}

TEST_F(TimeSourceTest, TimerHoldsTheFrameTimeUntilTheNextUpdate)
{
    CTQTimer* timer = TQGetTimer();
    m_oClock.Set(10.0);
    timer->Update();
    m_oClock.Advance(0.5);
    EXPECT_EQ(timer->GetTime(), 10.0);
    EXPECT_EQ(timer->GetTimeDirect(), 10.5);
    timer->Update();
    EXPECT_EQ(timer->GetTime(), 10.5);

    timer->Reset();
    m_oClock.Advance(1.0);
    EXPECT_EQ(timer->GetTime(), 11.5) << "after Reset the latched time is forgotten";
}
} // namespace

#include <Framekit/GameTime/CTQGameclock.h>

#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResource.h>
#include <Plinth/TimeSource.h>

#include "GameTime/GameTimeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace GameTimeTest;

namespace
{
class CTQGameclockTest : public ::testing::Test
{
protected:
    void SetUp() override { m_pPreviousTimeSource = TQSetTimeSource(&m_oRealTime); }
    void TearDown() override { TQSetTimeSource(m_pPreviousTimeSource); }

    static void ExpectDate(const CTQGameclock& clock, float day, int month, int year)
    {
        EXPECT_EQ(clock.GetTime().GetYear(), year);
        EXPECT_EQ(clock.GetTime().GetMonth(), month);
        EXPECT_FLOAT_EQ(clock.GetTime().GetCalenderDay(), day);
    }

    static Bytes Stored(CTQGameclock& clock) { return TestSupport::Store(clock); }

    static bool Load(CTQGameclock& clock, const Bytes& bytes) { return TestSupport::Load(clock, bytes); }

    std::int32_t MakeResource(std::initializer_list<std::pair<const char*, CTQProperty>> attributes)
    {
        std::int32_t id = m_oResources.CreateResource("clock", "CTQResource");
        CTQResource* resource = m_oResources.QueryResource(id);
        for (const auto& [name, value] : attributes)
            resource->SetAttribute(name, value);
        m_oResources.ReleaseResource(id);
        return id;
    }

    CTQManualClock m_oRealTime{100.0};
    ITQTimeSource* m_pPreviousTimeSource = nullptr;
    CTQLocalResourceDatabase m_oResources;
};
} // namespace

// --- Advancing ------------------------------------------------------------------

TEST_F(CTQGameclockTest, AdvancesByRealTimeOverMillisecondsPerDay)
{
    CTQGameclock clock;
    EXPECT_FALSE(clock.IsRunning());
    ExpectDate(clock, 1.0f, 1, 1800);
    clock.Start();
    m_oRealTime.Advance(2.5);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetDayOfYear(), 0.25f);
    EXPECT_EQ(clock.GetTimeDifference().GetDays(), 0.25f);

    m_oRealTime.Advance(310.0); // 31 days
    clock.Update();
    ExpectDate(clock, 1.25f, 2, 1800);
    m_oRealTime.Advance(3327.5); // 332.75 days: day 364
    clock.Update();
    ExpectDate(clock, 31.0f, 12, 1800);
    m_oRealTime.Advance(10.0);
    clock.Update();
    ExpectDate(clock, 1.0f, 1, 1801);
}

TEST_F(CTQGameclockTest, StoppedTimeIsNotCounted)
{
    CTQGameclock clock;
    clock.Start();
    m_oRealTime.Advance(5.0);
    clock.Update();
    clock.Stop();
    m_oRealTime.Advance(100.0);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetDayOfYear(), 0.5f);
    EXPECT_EQ(clock.GetTimeDifference().GetDays(), 0.5f); // keeps its last value
    clock.Start();
    m_oRealTime.Advance(5.0);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetDayOfYear(), 1.0f);
}

TEST_F(CTQGameclockTest, CountsAcrossTheWrapOfTheMillisecondCounter)
{
    m_oRealTime.Set(4294967.0); // 296 ms before 2^32 ms
    CTQGameclock clock;
    clock.Start();
    m_oRealTime.Advance(1.0);
    clock.Update();
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 0.1f);
}

// --- AddTime ------------------------------------------------------------------------

TEST_F(CTQGameclockTest, NegativeAddTimeCountsLessInsteadOfJumpingMillennia)
{
    CTQGameclock clock;
    CTQGameTime june(1.0f, 6, 1800); // day 151
    clock.SetTime(june);
    clock.Start();
    clock.AddTime(2500.9f); // whole milliseconds
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetDayOfYear(), 151.25f);

    m_oRealTime.Advance(1.0);
    clock.AddTime(-500.0f);
    clock.Update();
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 151.3f);

    // More taken than has passed: the clock goes back by the difference.
    m_oRealTime.Advance(1.0);
    clock.AddTime(-3000.0f);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetYear(), 1800);
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 151.1f);
    EXPECT_FLOAT_EQ(clock.GetTimeDifference().GetDays(), -0.2f);
}

TEST_F(CTQGameclockTest, AddTimeBeyondTheCounterIsLimitedAndNonFiniteIsRefused)
{
    CWarningCounter warnings;
    CTQGameclock clock;
    clock.Start();
    clock.AddTime(std::numeric_limits<float>::infinity());
    clock.AddTime(std::nanf(""));
    clock.AddTime(1.0e12f);
    clock.Update();
    // 2^30 ms = 107374.18 days: 294 years and 64.18 days (6 March).
    EXPECT_EQ(clock.GetTime().GetYear(), 2094);
    EXPECT_EQ(clock.GetTime().GetMonth(), 3);
    clock.AddTime(-1.0e12f);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetYear(), 1800);
    EXPECT_EQ(warnings.Get(), 4);
}

// --- Stored form -------------------------------------------------------------------

TEST_F(CTQGameclockTest, StoredFormIsObjectDateDifferenceRateTickAndFlag)
{
    CTQGameclock clock;
    EXPECT_EQ(clock.GetSerializationMode(), 3);
    clock.Start(); // tick 100000
    m_oRealTime.Advance(2.5);
    clock.Update(); // 0.25 days, tick 102500
    ByteWriter expected;
    expected.ObjectPart(-1);                        // object id -1, resource id -1
    expected.I32(0x100).I32(8).I32(1800).F32(0.25f); // date
    expected.I32(0x100).I32(4).F32(0.25f);           // difference
    expected.F32(10000.0f).I32(102500).U8(0);        // rate, tick, running
    EXPECT_EQ(Stored(clock), expected.Get());

    clock.Stop();
    CTQGameclock loaded;
    EXPECT_TRUE(Load(loaded, Stored(clock)));
    EXPECT_FALSE(loaded.IsRunning());
    EXPECT_EQ(Stored(loaded), Stored(clock));

    Bytes cut = Stored(clock);
    cut.resize(cut.size() - 3);
    CTQGameclock running;
    running.Start();
    EXPECT_FALSE(Load(running, cut));
    EXPECT_TRUE(running.IsRunning());
}

TEST_F(CTQGameclockTest, LoadingARunningClockDoesNotJumpAtTheFirstUpdate)
{
    CTQGameclock source;
    source.Start(); // tick 100000 in the saving run
    const Bytes bytes = Stored(source);
    for (double laterRun : {5000.0, 1.0}) // counting on from either would jump
    {
        m_oRealTime.Set(laterRun);
        CTQGameclock loaded;
        ASSERT_TRUE(Load(loaded, bytes));
        loaded.Update();
        EXPECT_EQ(loaded.GetTime().GetDayOfYear(), 0.0f);
        m_oRealTime.Advance(1.0);
        loaded.Update();
        EXPECT_FLOAT_EQ(loaded.GetTime().GetDayOfYear(), 0.1f);
    }
}

TEST_F(CTQGameclockTest, LoadedRateThatIsNotAboveZeroIsRefused)
{
    for (float bad : {0.0f, -10000.0f, std::nanf(""), std::numeric_limits<float>::infinity()})
    {
        SCOPED_TRACE(bad);
        CWarningCounter warnings;
        CTQGameclock source;
        Bytes bytes = Stored(source);
        const Bytes rate = ByteWriter().F32(bad).Get();
        std::copy(rate.begin(), rate.end(), bytes.begin() + 44); // after three 8-byte brackets

        CTQGameclock loaded;
        Load(loaded, bytes);
        EXPECT_EQ(loaded.GetMilliSecondsPerDay(), 10000.0f);
        EXPECT_EQ(warnings.Get(), 1);
        loaded.Start();
        m_oRealTime.Advance(1.0);
        loaded.Update(); // divides by the rate
        EXPECT_FLOAT_EQ(loaded.GetTime().GetDayOfYear(), 0.1f);
    }
}

TEST_F(CTQGameclockTest, RegisteredAndSavedWholeByTheObjectDatabase)
{
    Bytes saved;
    {
        CTQObjectDatabase database;
        ASSERT_EQ(database.CreateObject("CTQGameclock"), 0);
        auto* clock = static_cast<CTQGameclock*>(database.QuerySingletonObject("CTQGameclock"));
        ASSERT_NE(clock, nullptr);
        clock->Start();
        m_oRealTime.Advance(20.0);
        clock->Update();
        database.ReleaseSingletonObject("CTQGameclock");
        CTQDataStream s;
        database.Serialize(s);
        saved = StoredBytes(s);
    }
    CTQObjectDatabase restored;
    CTQDataStream in = LoadingFrom(saved);
    restored.Serialize(in);
    auto* clock = static_cast<CTQGameclock*>(restored.QueryObject(0));
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->GetTime().GetDayOfYear(), 2.0f);
    EXPECT_TRUE(clock->IsRunning());
    restored.ReleaseObject(0);
}

// --- Settings from a resource ----------------------------------------------------------

TEST_F(CTQGameclockTest, InitDataTakesStartDateAndRateAndKeepsWhatIsAbsent)
{
    std::int32_t full = MakeResource({{"StartDay", CTQProperty(15)},
                                      {"StartMonth", CTQProperty(2)},
                                      {"StartYear", CTQProperty(1801)},
                                      {"MilliSecondsPerDay", CTQProperty(5000.0f)}});
    CTQGameclock clock;
    EXPECT_TRUE(clock.InitData(full));
    ExpectDate(clock, 15.0f, 2, 1801);
    EXPECT_EQ(clock.GetAssociatedResourceId(), full);
    clock.Start();
    m_oRealTime.Advance(5.0);
    clock.Update();
    ExpectDate(clock, 16.0f, 2, 1801);

    EXPECT_TRUE(clock.InitData(MakeResource({{"StartYear", CTQProperty(1900)}})));
    ExpectDate(clock, 16.0f, 2, 1900);
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 5000.0f);
}

TEST_F(CTQGameclockTest, InitDataRefusesADateOffTheCalendarAndARateNotAboveZero)
{
    CWarningCounter warnings;
    CTQGameclock clock;
    EXPECT_TRUE(clock.InitData(MakeResource({{"StartDay", CTQProperty(1)},
                                             {"StartMonth", CTQProperty(13)},
                                             {"MilliSecondsPerDay", CTQProperty(0.0f)}})));
    EXPECT_TRUE(clock.InitData(MakeResource({{"MilliSecondsPerDay", CTQProperty(-1.0f)}})));
    ExpectDate(clock, 1.0f, 1, 1800);
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 10000.0f);
    EXPECT_EQ(warnings.Get(), 3);
}

TEST_F(CTQGameclockTest, InitDataOfAMissingResourceLeavesTheClockAsItIs)
{
    CTQGameclock clock;
    EXPECT_TRUE(clock.InitData(4711));
    ExpectDate(clock, 1.0f, 1, 1800);
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 10000.0f);
    EXPECT_EQ(clock.GetAssociatedResourceId(), 4711);
}

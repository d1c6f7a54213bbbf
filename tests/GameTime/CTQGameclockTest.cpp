#include <Framekit/GameTime/CTQGameclock.h>

#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResource.h>
#include <Plinth/TimeSource.h>

#include "GameTime/GameTimeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

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

    static Bytes Stored(CTQGameclock& clock)
    {
        CTQDataStream s;
        clock.Serialize(s);
        return StoredBytes(s);
    }

    // A resource with the given attributes in the current resource database.
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

TEST_F(CTQGameclockTest, NewClockIsStoppedOnFirstJanuary1800)
{
    CTQGameclock clock;
    EXPECT_FALSE(clock.IsRunning());
    EXPECT_EQ(clock.GetTime().GetDayOfYear(), 0.0f);
    ExpectDate(clock, 1.0f, 1, 1800);
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 10000.0f);
    EXPECT_EQ(clock.GetSerializationMode(), 3);
    CTQEnvironmentServer server;
    server.SetAttribute("Framekit/GameTime/OutputFormat", CTQProperty(1));
    EXPECT_EQ(std::string(CTQGameclock().GetTime().Format().GetString()), "01/01/1800");
}

TEST_F(CTQGameclockTest, AdvancesByRealTimeOverMillisecondsPerDay)
{
    CTQGameclock clock;
    clock.Start();
    m_oRealTime.Advance(2.5);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetDayOfYear(), 0.25f);
    EXPECT_EQ(clock.GetTimeDifference().GetDays(), 0.25f);

    m_oRealTime.Advance(310.0); // 31 days
    clock.Update();
    ExpectDate(clock, 1.25f, 2, 1800);
    EXPECT_EQ(clock.GetTimeDifference().GetDays(), 31.0f);

    m_oRealTime.Advance(3327.5); // 332.75 days: 364.0, 31 December
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
    m_oRealTime.Set(4294967.0); // 296 ms before the 32-bit counter wraps
    CTQGameclock clock;
    clock.Start();
    m_oRealTime.Advance(1.0);
    clock.Update();
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 0.1f);
}

TEST_F(CTQGameclockTest, ConversionsUseTheRate)
{
    CTQGameclock clock;
    EXPECT_EQ(clock.GameDaysToRealTime(2.5f), 25000.0f);
    EXPECT_EQ(clock.RealTimeToGameDays(2500.0f), 0.25f);
}

TEST_F(CTQGameclockTest, SetTimeMovesTheDate)
{
    CTQGameclock clock;
    CTQGameTime when(4.0f, 7, 1776);
    clock.SetTime(when);
    ExpectDate(clock, 4.0f, 7, 1776);
}

// --- AddTime ------------------------------------------------------------------------

TEST_F(CTQGameclockTest, AddTimeCountsExtraRealTimeAtTheNextUpdate)
{
    CTQGameclock clock;
    clock.Start();
    clock.AddTime(2500.9f); // whole milliseconds
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetDayOfYear(), 0.25f);
}

TEST_F(CTQGameclockTest, NegativeAddTimeCountsLessInsteadOfJumpingMillennia)
{
    CTQGameclock clock;
    CTQGameTime june(1.0f, 6, 1800); // day 151
    clock.SetTime(june);
    clock.Start();
    m_oRealTime.Advance(1.0);
    clock.AddTime(-500.0f);
    clock.Update();
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 151.05f);

    // More taken than has passed: the clock goes back by the difference.
    m_oRealTime.Advance(1.0);
    clock.AddTime(-3000.0f);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetYear(), 1800);
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 150.85f);
    EXPECT_FLOAT_EQ(clock.GetTimeDifference().GetDays(), -0.2f);

    // And then runs on normally.
    m_oRealTime.Advance(2.0);
    clock.Update();
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 151.05f);
}

TEST_F(CTQGameclockTest, AddTimeBeyondWhatTheCounterHoldsIsLimitedNotWrapped)
{
    CWarningCounter warnings;
    CTQGameclock clock;
    clock.Start();
    clock.AddTime(1.0e12f);
    clock.Update();
    // 2^30 ms = 107374.18 days: 294 years and 64.18 days (6 March).
    EXPECT_EQ(clock.GetTime().GetYear(), 2094);
    EXPECT_EQ(clock.GetTime().GetMonth(), 3);
    EXPECT_EQ(warnings.Get(), 1);

    clock.AddTime(-1.0e12f);
    clock.Update();
    EXPECT_EQ(clock.GetTime().GetYear(), 1800);
    EXPECT_EQ(warnings.Get(), 2);
}

TEST_F(CTQGameclockTest, NonFiniteAddTimeIsRefused)
{
    CWarningCounter warnings;
    CTQGameclock clock;
    clock.Start();
    clock.AddTime(std::numeric_limits<float>::infinity());
    clock.AddTime(std::nanf(""));
    m_oRealTime.Advance(1.0);
    clock.Update();
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 0.1f);
    EXPECT_EQ(warnings.Get(), 2);
}

// --- Stored form -------------------------------------------------------------------

TEST_F(CTQGameclockTest, StoredFormIsObjectDateDifferenceRateTickAndFlag)
{
    CTQGameclock clock;
    clock.Start(); // tick 100000
    m_oRealTime.Advance(2.5);
    clock.Update(); // 0.25 days, tick 102500

    Bytes expected;
    AppendBracket(expected, 8);
    Append32(expected, 0xFFFFFFFF); // object id
    Append32(expected, 0xFFFFFFFF); // resource id
    AppendBracket(expected, 8);
    Append32(expected, 1800);
    AppendFloat(expected, 0.25f);
    AppendBracket(expected, 4);
    AppendFloat(expected, 0.25f);
    AppendFloat(expected, 10000.0f);
    Append32(expected, 102500);
    expected.push_back(0); // running
    EXPECT_EQ(Stored(clock), expected);
    EXPECT_EQ(expected.size(), 53u);
}

TEST_F(CTQGameclockTest, LoadingRestoresDateRateAndStoppedClock)
{
    CTQGameclock source;
    CTQGameTime when(3.5f, 9, 1850);
    source.SetTime(when);
    Bytes bytes = Stored(source);

    CTQGameclock loaded;
    CTQDataStream in = LoadingFrom(bytes);
    loaded.Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    ExpectDate(loaded, 3.5f, 9, 1850);
    EXPECT_FALSE(loaded.IsRunning());
    EXPECT_EQ(Stored(loaded), bytes);
}

TEST_F(CTQGameclockTest, LoadingARunningClockDoesNotJumpAtTheFirstUpdate)
{
    CTQGameclock source;
    source.Start(); // tick 100000 in the saving run
    Bytes bytes = Stored(source);

    m_oRealTime.Set(5000.0); // a later run: the counter means something else
    CTQGameclock loaded;
    CTQDataStream in = LoadingFrom(bytes);
    loaded.Serialize(in);
    ASSERT_TRUE(loaded.IsRunning());
    loaded.Update();
    EXPECT_EQ(loaded.GetTime().GetDayOfYear(), 0.0f);
    m_oRealTime.Advance(1.0);
    loaded.Update();
    EXPECT_FLOAT_EQ(loaded.GetTime().GetDayOfYear(), 0.1f);

    // Counting backwards from an earlier run would jump just as badly.
    m_oRealTime.Set(1.0);
    CTQGameclock early;
    CTQDataStream again = LoadingFrom(bytes);
    early.Serialize(again);
    early.Update();
    EXPECT_EQ(early.GetTime().GetDayOfYear(), 0.0f);
}

TEST_F(CTQGameclockTest, LoadedRateThatIsNotAboveZeroIsRefused)
{
    for (float bad : {0.0f, -10000.0f, std::nanf(""), std::numeric_limits<float>::infinity()})
    {
        SCOPED_TRACE(bad);
        CWarningCounter warnings;
        CTQGameclock source;
        Bytes bytes = Stored(source);
        Bytes rate;
        AppendFloat(rate, bad);
        std::copy(rate.begin(), rate.end(), bytes.begin() + 44);

        CTQGameclock loaded;
        CTQDataStream in = LoadingFrom(bytes);
        loaded.Serialize(in);
        EXPECT_EQ(loaded.GetMilliSecondsPerDay(), 10000.0f);
        EXPECT_EQ(warnings.Get(), 1);
        loaded.Start();
        m_oRealTime.Advance(1.0);
        loaded.Update(); // would divide by the bad rate and loop for ever
        EXPECT_FLOAT_EQ(loaded.GetTime().GetDayOfYear(), 0.1f);
    }
}

TEST_F(CTQGameclockTest, LoadingCutShortKeepsRateAndState)
{
    CTQGameclock source;
    Bytes bytes = Stored(source);
    bytes.resize(bytes.size() - 3); // in the middle of the tick

    CTQGameclock loaded;
    loaded.Start();
    CTQDataStream in = LoadingFrom(bytes);
    loaded.Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_TRUE(loaded.IsRunning());
    EXPECT_EQ(loaded.GetMilliSecondsPerDay(), 10000.0f);
}

// --- Registration and the object database ---------------------------------------------

TEST_F(CTQGameclockTest, RegisteredAndSavedWholeByTheObjectDatabase)
{
    EXPECT_TRUE(CTQObjectFactory::IsClassOfType("CTQGameclock", CTQObject::GetClassType()));
    Bytes saved;
    {
        CTQObjectDatabase database;
        std::int32_t id = database.CreateObject("CTQGameclock");
        ASSERT_EQ(id, 0);
        auto* clock = static_cast<CTQGameclock*>(database.QuerySingletonObject("CTQGameclock"));
        ASSERT_NE(clock, nullptr);
        EXPECT_TRUE(clock->IsOfType(CTQGameclock::GetClassType()));
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
    EXPECT_FALSE(in.IsFailed());
    auto* clock = static_cast<CTQGameclock*>(restored.QueryObject(0));
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->GetTime().GetDayOfYear(), 2.0f);
    EXPECT_TRUE(clock->IsRunning());
    restored.ReleaseObject(0);
}

// --- Settings from a resource ----------------------------------------------------------

TEST_F(CTQGameclockTest, InitDataTakesStartDateAndRate)
{
    std::int32_t id = MakeResource({{"StartDay", CTQProperty(15)},
                                    {"StartMonth", CTQProperty(2)},
                                    {"StartYear", CTQProperty(1801)},
                                    {"MilliSecondsPerDay", CTQProperty(5000.0f)}});
    CTQGameclock clock;
    EXPECT_TRUE(clock.InitData(id));
    ExpectDate(clock, 15.0f, 2, 1801);
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 5000.0f);
    EXPECT_EQ(clock.GetAssociatedResourceId(), id);
    clock.Start();
    m_oRealTime.Advance(5.0);
    clock.Update();
    ExpectDate(clock, 16.0f, 2, 1801);
}

TEST_F(CTQGameclockTest, InitDataKeepsTheCurrentValueOfAnAbsentComponent)
{
    std::int32_t id = MakeResource({{"StartYear", CTQProperty(1900)}});
    CTQGameclock clock;
    CTQGameTime when(20.0f, 4, 1850);
    clock.SetTime(when);
    EXPECT_TRUE(clock.InitData(id));
    ExpectDate(clock, 20.0f, 4, 1900);
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 10000.0f);
}

TEST_F(CTQGameclockTest, InitDataRefusesADateOffTheCalendarAndARateNotAboveZero)
{
    CWarningCounter warnings;
    std::int32_t id = MakeResource({{"StartDay", CTQProperty(1)},
                                    {"StartMonth", CTQProperty(13)},
                                    {"MilliSecondsPerDay", CTQProperty(0.0f)}});
    CTQGameclock clock;
    EXPECT_TRUE(clock.InitData(id));
    ExpectDate(clock, 1.0f, 1, 1800);
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 10000.0f);
    EXPECT_EQ(warnings.Get(), 2);

    std::int32_t negative = MakeResource({{"MilliSecondsPerDay", CTQProperty(-1.0f)}});
    EXPECT_TRUE(clock.InitData(negative));
    EXPECT_EQ(clock.GetMilliSecondsPerDay(), 10000.0f);
    clock.Start();
    m_oRealTime.Advance(1.0);
    clock.Update();
    EXPECT_FLOAT_EQ(clock.GetTime().GetDayOfYear(), 0.1f);
}

TEST_F(CTQGameclockTest, InitDataOfAMissingResourceLeavesTheClockAsItIs)
{
    CTQGameclock clock;
    EXPECT_TRUE(clock.InitData(4711));
    ExpectDate(clock, 1.0f, 1, 1800);
    EXPECT_EQ(clock.GetAssociatedResourceId(), 4711);
}

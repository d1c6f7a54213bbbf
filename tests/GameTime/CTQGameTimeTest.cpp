#include <Framekit/GameTime/CTQGameTime.h>

#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include "GameTime/GameTimeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace GameTimeTest;

namespace
{
constexpr const char* kOutputFormat = "Framekit/GameTime/OutputFormat";
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int kMaxYear = std::numeric_limits<int>::max();

std::string Text(const CTQGameTime& t)
{
    return t.Format().GetString();
}

void ExpectDate(const CTQGameTime& t, float day, int month, int year)
{
    EXPECT_EQ(t.GetYear(), year);
    EXPECT_EQ(t.GetMonth(), month);
    EXPECT_FLOAT_EQ(t.GetCalenderDay(), day);
}

void ExpectDayOfYear(const CTQGameTime& t, int year, float dayOfYear)
{
    EXPECT_EQ(t.GetYear(), year);
    EXPECT_EQ(t.GetDayOfYear(), dayOfYear);
}
} // namespace

// --- Calendar arithmetic (hand-counted from 31 28 31 30 31 30 31 31 30 31 30 31) ---

TEST(CTQGameTimeTest, EveryMonthStartsAndEndsOnItsDayOfYear)
{
    const int firstDays[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month)
    {
        SCOPED_TRACE(month);
        const float length = static_cast<float>(lengths[month - 1]);
        EXPECT_EQ(CTQGameTime(1.0f, month, 1800).GetDayOfYear(), static_cast<float>(firstDays[month - 1]));
        CTQGameTime lastEvening(length + 0.5f, month, 1800);
        EXPECT_EQ(lastEvening.GetDayOfYear(), static_cast<float>(firstDays[month - 1]) + length - 0.5f);
        ExpectDate(lastEvening, length + 0.5f, month, 1800);
    }
}

TEST(CTQGameTimeTest, SpansCarryAcrossMonthsAndYears)
{
    CTQGameTime newYearsEve(31.0f, 12, 1800);
    ExpectDayOfYear(newYearsEve + 1.0f, 1801, 0.0f);
    ExpectDayOfYear((newYearsEve + 1.0f) - 1.0f, 1800, 364.0f);
    ExpectDayOfYear(CTQGameTime(10.0f, 3, 1800) - 68.0f, 1800, 0.0f);

    ExpectDate(CTQGameTime(25.0f, 2, 1800) + 10.0f, 7.0f, 3, 1800);   // day 65
    ExpectDate(CTQGameTime(20.0f, 12, 1800) + 400.0f, 24.0f, 1, 1802); // 353 + 400 = 2 * 365 + 23
    ExpectDate(CTQGameTime(1.0f, 3, 1803) - 800.0f, 21.0f, 12, 1800);  // 59 - 800 + 3 * 365 = 354
    ExpectDate(CTQGameTime(1.0f, 1, 1800) + 59.25f, 1.25f, 3, 1800);
}

TEST(CTQGameTimeTest, DifferenceCountsYearsAsThreeHundredSixtyFiveDays)
{
    EXPECT_EQ((CTQGameTime(10.0f, 3, 1801) - CTQGameTime(1.0f, 3, 1800)).GetDays(), 374.0f);
    EXPECT_EQ((CTQGameTime(1.0f, 3, 1800) - CTQGameTime(10.0f, 3, 1801)).GetDays(), -374.0f);
    // The year difference times 365 overflows an int.
    EXPECT_FLOAT_EQ((CTQGameTime(1.0f, 1, 2000000000) - CTQGameTime(1.0f, 1, -2000000000)).GetDays(), 1.46e12f);
}

TEST(CTQGameTimeTest, SetFromThirtyFirstJanuaryToFifteenthFebruaryGivesFebruary)
{
    CTQGameTime t(31.0f, 1, 1800);
    t.Set(15.0f, 2, 1801);
    ExpectDayOfYear(t, 1801, 45.0f);

    CTQGameTime late(31.5f, 1, 1800);
    late.SetMonth(2); // keeps the day, but not past the month's end
    ExpectDate(late, 28.5f, 2, 1800);
    late.SetCalenderDay(3.0f);
    ExpectDate(late, 3.0f, 2, 1800);
}

TEST(CTQGameTimeTest, MonthsAndDaysOffTheCalendarAreRefusedOrClamped)
{
    CWarningCounter warnings;
    CTQGameTime t(10.0f, 2, 1800); // day 40
    t.SetMonth(13);
    t.SetMonth(0);
    t.SetCalenderDay(29.0f); // February has 28 days
    t.SetCalenderDay(0.5f);
    t.SetCalenderDay(std::nanf(""));
    t.Set(31.0f, 4, 1801);
    t.Set(1.0f, 13, 1801);
    ExpectDayOfYear(t, 1800, 40.0f);
    EXPECT_EQ(warnings.Get(), 7);

    // A constructor cannot refuse: it takes the nearest date.
    ExpectDate(CTQGameTime(5.0f, 13, 1800), 5.0f, 12, 1800);
    ExpectDate(CTQGameTime(40.0f, 1, 1800), 31.0f, 1, 1800);
    ExpectDate(CTQGameTime(std::nanf(""), -4, 1800), 1.0f, 1, 1800);
    EXPECT_EQ(warnings.Get(), 10);
}

TEST(CTQGameTimeTest, InfiniteOrEnormousSpansNeitherHangNorLeaveTheYearRange)
{
    CWarningCounter warnings;
    CTQGameTime t(1.0f, 6, 1800); // day 151
    t += kInf;
    t -= kInf;
    t += std::nanf("");
    t += 1.0e30f;
    ExpectDayOfYear(t, 1800, 151.0f);
    EXPECT_EQ(warnings.Get(), 4);

    t += 365.0f * 1048576.0f; // exactly 2^20 years at once
    ExpectDayOfYear(t, 1800 + 1048576, 151.0f);

    CTQGameTime last(31.0f, 12, kMaxYear);
    last += 1.0f;
    ExpectDayOfYear(last, kMaxYear, 364.0f);
    EXPECT_EQ(warnings.Get(), 5);
}

TEST(CTQGameTimeTest, DayOfYearNeverRoundsUpToThreeHundredSixtyFive)
{
    // 364 + 0.99999994 is 365.0 as a float: the next year's start.
    ExpectDayOfYear(CTQGameTime(31.0f, 12, 1800) + 0.99999994f, 1801, 0.0f);
    // A hair before the start of a year rounds to 365.0 of the year before.
    ExpectDayOfYear(CTQGameTime(1.0f, 1, 1800) - 1.0e-9f, 1800, 0.0f);
    CTQGameTime late(31.999998f, 1, 1800);
    late.SetMonth(12);
    EXPECT_LT(late.GetDayOfYear(), 365.0f);
    EXPECT_LE(late.GetMonth(), 12);
}

TEST(CTQGameTimeTest, SameDayIsEqualAndNotUnequalWhileTheOrderSeesTheHours)
{
    CTQGameTime morning(3.25f, 4, 1800);
    CTQGameTime evening(3.75f, 4, 1800);
    EXPECT_TRUE(morning == evening);
    EXPECT_FALSE(morning != evening);
    EXPECT_TRUE(morning < evening && morning <= evening && evening > morning && evening >= morning);

    CTQGameTime nextYear(1.0f, 1, 1801);
    EXPECT_TRUE(CTQGameTime(31.0f, 12, 1800) < nextYear);
    EXPECT_TRUE(CTQGameTime(1.0f, 1, 1800) != nextYear); // same day of year
}

// --- Formats ---------------------------------------------------------------------

TEST(CTQGameTimeTest, FormatsZeroAndOneGiveExactText)
{
    CTQEnvironmentServer server;
    CTQGameTime t(15.75f, 2, 1801);
    EXPECT_EQ(Text(t), "15.02.1801"); // no format attribute: format 0
    server.SetAttribute(kOutputFormat, CTQProperty(1));
    EXPECT_EQ(Text(t), "02/15/1801");
    EXPECT_EQ(std::string(static_cast<CTQString>(t).GetString()), "02/15/1801");
    server.SetAttribute(kOutputFormat, CTQProperty(2));
    EXPECT_EQ(Text(t), "");
    server.SetAttribute(kOutputFormat, CTQProperty(0));
    EXPECT_EQ(Text(CTQGameTime(1.0f, 1, 7)), "01.01.0007");
}

TEST(CTQGameTimeTest, FormatWithoutAServerOrAfterItsServerIsGoneUsesDayMonthYear)
{
    ASSERT_EQ(TQGetEnvironmentServer(), nullptr);
    EXPECT_EQ(Text(CTQGameTime(9.0f, 11, 1805)), "09.11.1805");

    auto server = std::make_unique<CTQEnvironmentServer>();
    server->SetAttribute(kOutputFormat, CTQProperty(1));
    CTQGameTime t(9.0f, 11, 1805);
    EXPECT_EQ(Text(t), "11/09/1805");
    server.reset();
    EXPECT_EQ(Text(t), "09.11.1805");
    // A new server, perhaps at the old one's address, is not this date's server.
    auto next = std::make_unique<CTQEnvironmentServer>();
    next->SetAttribute(kOutputFormat, CTQProperty(1));
    EXPECT_EQ(Text(t), "09.11.1805");
}

TEST(CTQGameTimeTest, CopyTakesTheServerAndAssignmentKeepsItsOwn)
{
    CTQEnvironmentServer monthFirst;
    monthFirst.SetAttribute(kOutputFormat, CTQProperty(1));
    CTQGameTime underMonthFirst(2.0f, 3, 1800);
    CTQEnvironmentServer dayFirst;
    CTQGameTime underDayFirst(7.0f, 8, 1801);

    EXPECT_EQ(Text(CTQGameTime(underMonthFirst)), "03/02/1800");
    underDayFirst = underMonthFirst;
    EXPECT_EQ(Text(underDayFirst), "02.03.1800");
}

// --- Stored form -------------------------------------------------------------------

TEST(CTQGameTimeTest, StoredAsYearThenDayOfYearAndSpanAsDays)
{
    CTQGameTime t(15.0f, 2, 1801); // 1801 = 0x709, day 45.0 = 0x42340000
    CTQGameTimeSpan span(2.5f);    // 0x40200000
    CTQDataStream s;
    TQSerializeMember(s, t);
    TQSerializeMember(s, span);
    EXPECT_EQ(StoredBytes(s), (Bytes{0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x09, 0x07, 0x00, 0x00, //
                                     0x00, 0x00, 0x34, 0x42, 0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, //
                                     0x00, 0x00, 0x20, 0x40}));
    CTQGameTime loaded;
    CTQGameTimeSpan loadedSpan;
    CTQDataStream in = LoadingFrom(StoredBytes(s));
    TQSerializeMember(in, loaded);
    TQSerializeMember(in, loadedSpan);
    EXPECT_FALSE(in.IsFailed());
    ExpectDayOfYear(loaded, 1801, 45.0f);
    EXPECT_EQ(loadedSpan.GetDays(), 2.5f);
}

TEST(CTQGameTimeTest, LoadingCarriesADayPastTheYearAndRefusesNonFiniteOrShortData)
{
    auto load = [](CTQGameTime& t, const Bytes& bytes) {
        CTQDataStream in = LoadingFrom(bytes);
        t.Serialize(in);
        return !in.IsFailed();
    };
    auto record = [](float day) { return ByteWriter().I32(1900).F32(day).Get(); };
    CTQGameTime t;
    EXPECT_TRUE(load(t, record(400.0f)));
    ExpectDate(t, 5.0f, 2, 1901);

    CWarningCounter warnings;
    EXPECT_FALSE(load(t, record(std::nanf(""))));
    EXPECT_FALSE(load(t, record(kInf)));
    EXPECT_FALSE(load(t, Bytes{0x09, 0x07, 0x00, 0x00, 0x00}));
    ExpectDate(t, 5.0f, 2, 1901);
    EXPECT_EQ(warnings.Get(), 2);

    CTQGameTimeSpan span(-7.0f); // a span cut short keeps its value, not zero
    CTQDataStream shortSpan = LoadingFrom(Bytes{0x00, 0x00});
    span.Serialize(shortSpan);
    EXPECT_EQ(span.GetDays(), -7.0f);
}

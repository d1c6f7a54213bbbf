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

std::string Text(const CTQGameTime& t)
{
    return std::string(t.Format().GetString());
}

void ExpectDate(const CTQGameTime& t, float day, int month, int year)
{
    EXPECT_EQ(t.GetYear(), year);
    EXPECT_EQ(t.GetMonth(), month);
    EXPECT_FLOAT_EQ(t.GetCalenderDay(), day);
}

void ExpectUnchanged(const CTQGameTime& t, int year, float dayOfYear)
{
    EXPECT_EQ(t.GetYear(), year);
    EXPECT_EQ(t.GetDayOfYear(), dayOfYear);
}
} // namespace

// --- Calendar -----------------------------------------------------------------

TEST(CTQGameTimeTest, EveryMonthStartsAndEndsOnItsDayOfYear)
{
    // Hand-counted from the month lengths 31 28 31 30 31 30 31 31 30 31 30 31.
    const int firstDays[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int lastDays[12] = {30, 58, 89, 119, 150, 180, 211, 242, 272, 303, 333, 364};
    const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month)
    {
        SCOPED_TRACE(month);
        CTQGameTime first(1.0f, month, 1800);
        EXPECT_EQ(first.GetDayOfYear(), static_cast<float>(firstDays[month - 1]));
        ExpectDate(first, 1.0f, month, 1800);
        CTQGameTime last(static_cast<float>(lengths[month - 1]) + 0.5f, month, 1800);
        EXPECT_EQ(last.GetDayOfYear(), static_cast<float>(lastDays[month - 1]) + 0.5f);
        ExpectDate(last, static_cast<float>(lengths[month - 1]) + 0.5f, month, 1800);
    }
}

TEST(CTQGameTimeTest, YearBoundariesCarryWholeYears)
{
    CTQGameTime newYearsEve(31.0f, 12, 1800);
    EXPECT_EQ(newYearsEve.GetDayOfYear(), 364.0f);
    CTQGameTime next = newYearsEve + CTQGameTimeSpan(1.0f);
    ExpectUnchanged(next, 1801, 0.0f);

    CTQGameTime back = next - CTQGameTimeSpan(1.0f);
    ExpectUnchanged(back, 1800, 364.0f);

    CTQGameTime midYear(10.0f, 3, 1800); // day of year 68
    midYear -= CTQGameTimeSpan(68.0f);
    ExpectUnchanged(midYear, 1800, 0.0f);
}

TEST(CTQGameTimeTest, AddingAndSubtractingAcrossMonthsAndYears)
{
    CTQGameTime t(25.0f, 2, 1800); // day 55
    t += 10.0f;                    // day 65: 7 March
    ExpectDate(t, 7.0f, 3, 1800);

    CTQGameTime december(20.0f, 12, 1800); // day 353
    december += 400.0f;                    // 753 = 2 * 365 + 23: 24 January 1802
    ExpectDate(december, 24.0f, 1, 1802);

    CTQGameTime march(1.0f, 3, 1803); // day 59
    march -= 800.0f;                  // 59 - 800 + 3 * 365 = 354: 21 December 1800
    ExpectDate(march, 21.0f, 12, 1800);

    CTQGameTime quarter(1.0f, 1, 1800);
    quarter += 0.25f;
    EXPECT_EQ(quarter.GetDayOfYear(), 0.25f);
    EXPECT_EQ(quarter.GetCalenderDay(), 1.25f);
}

TEST(CTQGameTimeTest, DifferenceCountsYearsAsThreeHundredSixtyFiveDays)
{
    EXPECT_EQ((CTQGameTime(10.0f, 3, 1801) - CTQGameTime(1.0f, 3, 1800)).GetDays(), 374.0f);
    EXPECT_EQ((CTQGameTime(1.0f, 3, 1800) - CTQGameTime(10.0f, 3, 1801)).GetDays(), -374.0f);
    // Far-apart years: the year difference times 365 must not overflow an int.
    CTQGameTime far(1.0f, 1, 2000000000);
    CTQGameTime near(1.0f, 1, -2000000000);
    EXPECT_FLOAT_EQ((far - near).GetDays(), 4.0e9f * 365.0f);
}

TEST(CTQGameTimeTest, FirstOfMarchIsDayFiftyNine)
{
    CTQGameTime t;
    t += 59.0f;
    EXPECT_EQ(t.GetMonth(), 3);
    EXPECT_EQ(t.GetCalenderDay(), 1.0f);
}

// --- Setters --------------------------------------------------------------------

TEST(CTQGameTimeTest, SetFromThirtyFirstJanuaryToFifteenthFebruaryGivesFebruary)
{
    CTQGameTime t(31.0f, 1, 1800);
    t.Set(15.0f, 2, 1801);
    ExpectDate(t, 15.0f, 2, 1801);
    EXPECT_EQ(t.GetDayOfYear(), 45.0f);
}

TEST(CTQGameTimeTest, SetMonthKeepsTheDayButNotPastTheMonthsEnd)
{
    CTQGameTime t(31.5f, 1, 1800);
    t.SetMonth(2);
    ExpectDate(t, 28.5f, 2, 1800);

    CTQGameTime mid(12.25f, 4, 1800);
    mid.SetMonth(11);
    ExpectDate(mid, 12.25f, 11, 1800);
}

TEST(CTQGameTimeTest, SetCalenderDayMovesWithinTheMonth)
{
    CTQGameTime t(3.0f, 5, 1800);
    t.SetCalenderDay(31.75f);
    ExpectDate(t, 31.75f, 5, 1800);
}

TEST(CTQGameTimeTest, MonthOutsideTheYearIsRefusedNotReadPastDecember)
{
    CWarningCounter warnings;
    CTQGameTime t(5.0f, 6, 1800);
    const float before = t.GetDayOfYear();
    t.SetMonth(13);
    t.SetMonth(0);
    t.SetMonth(-2147483647 - 1);
    t.Set(1.0f, 13, 1900);
    t.Set(1.0f, 0, 1900);
    ExpectUnchanged(t, 1800, before);
    EXPECT_EQ(warnings.Get(), 5);
}

TEST(CTQGameTimeTest, DayOutsideTheMonthIsRefused)
{
    CWarningCounter warnings;
    CTQGameTime t(10.0f, 2, 1800);
    t.SetCalenderDay(29.0f); // February has 28 days
    t.SetCalenderDay(0.5f);
    t.SetCalenderDay(std::nanf(""));
    t.SetCalenderDay(std::numeric_limits<float>::infinity());
    t.Set(31.0f, 4, 1801);
    t.Set(std::nanf(""), 1, 1801);
    ExpectUnchanged(t, 1800, 40.0f);
    EXPECT_EQ(warnings.Get(), 6);
}

TEST(CTQGameTimeTest, ConstructingOffTheCalendarTakesTheNearestDate)
{
    CWarningCounter warnings;
    ExpectDate(CTQGameTime(5.0f, 13, 1800), 5.0f, 12, 1800);
    ExpectDate(CTQGameTime(5.0f, -4, 1800), 5.0f, 1, 1800);
    ExpectDate(CTQGameTime(40.0f, 1, 1800), 31.0f, 1, 1800);
    ExpectDate(CTQGameTime(std::nanf(""), 7, 1800), 1.0f, 7, 1800);
    EXPECT_EQ(warnings.Get(), 4);
}

// --- Arithmetic that once hung or broke the calendar ------------------------------

TEST(CTQGameTimeTest, InfiniteOrNaNSpanIsRefusedInsteadOfLoopingForEver)
{
    CWarningCounter warnings;
    CTQGameTime t(1.0f, 6, 1800);
    t += CTQGameTimeSpan(std::numeric_limits<float>::infinity());
    t -= CTQGameTimeSpan(std::numeric_limits<float>::infinity());
    t += CTQGameTimeSpan(std::nanf(""));
    ExpectUnchanged(t, 1800, 151.0f);
    EXPECT_EQ(warnings.Get(), 3);
}

TEST(CTQGameTimeTest, EnormousSpansCarryYearsAtOnce)
{
    CTQGameTime t(1.0f, 6, 1800);
    t += CTQGameTimeSpan(365.0f * 1048576.0f); // exactly 2^20 years
    ExpectUnchanged(t, 1800 + 1048576, 151.0f);
    t -= CTQGameTimeSpan(365.0f * 1048576.0f);
    ExpectUnchanged(t, 1800, 151.0f);
}

TEST(CTQGameTimeTest, SpanThatWouldLeaveTheYearRangeIsRefused)
{
    CWarningCounter warnings;
    CTQGameTime t(1.0f, 6, 1800);
    t += CTQGameTimeSpan(1.0e30f);
    t -= CTQGameTimeSpan(1.0e30f);
    ExpectUnchanged(t, 1800, 151.0f);

    CTQGameTime last(31.0f, 12, std::numeric_limits<int>::max());
    last += 1.0f;
    ExpectUnchanged(last, std::numeric_limits<int>::max(), 364.0f);
    EXPECT_EQ(warnings.Get(), 3);
}

TEST(CTQGameTimeTest, DayOfYearNeverRoundsUpToThreeHundredSixtyFive)
{
    // 364 + 0.99999994 rounds to 365.0 as a float: that is the next year's start.
    CTQGameTime t(31.0f, 12, 1800);
    t += 0.99999994f;
    ExpectUnchanged(t, 1801, 0.0f);

    // A hair before the year's start rounds to 365.0 of the year before: also the start.
    CTQGameTime start(1.0f, 1, 1800);
    start -= 1.0e-9f;
    ExpectUnchanged(start, 1800, 0.0f);

    // The last representable day of January moved to December ends at 365.0.
    CTQGameTime late(31.999998f, 1, 1800);
    late.SetMonth(12);
    EXPECT_LT(late.GetDayOfYear(), 365.0f);
    EXPECT_LE(late.GetMonth(), 12);
}

// --- Comparisons -----------------------------------------------------------------

TEST(CTQGameTimeTest, TwoTimesOnTheSameDayAreEqualAndNotUnequal)
{
    CTQGameTime morning(3.25f, 4, 1800);
    CTQGameTime evening(3.75f, 4, 1800);
    EXPECT_TRUE(morning == evening);
    EXPECT_FALSE(morning != evening);
    // The order still sees the hours.
    EXPECT_TRUE(morning < evening);
    EXPECT_TRUE(morning <= evening);
    EXPECT_FALSE(morning > evening);
    EXPECT_TRUE(evening >= morning);
}

TEST(CTQGameTimeTest, OrderGoesByYearBeforeDay)
{
    CTQGameTime lateEarlierYear(31.0f, 12, 1800);
    CTQGameTime earlyLaterYear(1.0f, 1, 1801);
    EXPECT_TRUE(lateEarlierYear < earlyLaterYear);
    EXPECT_FALSE(lateEarlierYear >= earlyLaterYear);
    EXPECT_TRUE(lateEarlierYear != earlyLaterYear);
    EXPECT_FALSE(lateEarlierYear == earlyLaterYear);
    // Same day of year, different years.
    EXPECT_TRUE(CTQGameTime(1.0f, 5, 1800) != CTQGameTime(1.0f, 5, 1801));
}

// --- Formats ---------------------------------------------------------------------

TEST(CTQGameTimeTest, FormatsZeroAndOneGiveExactText)
{
    CTQEnvironmentServer server;
    CTQGameTime t(15.75f, 2, 1801);
    server.SetAttribute(kOutputFormat, CTQProperty(0));
    EXPECT_EQ(Text(t), "15.02.1801");
    server.SetAttribute(kOutputFormat, CTQProperty(1));
    EXPECT_EQ(Text(t), "02/15/1801");
    EXPECT_EQ(std::string(static_cast<CTQString>(t).GetString()), "02/15/1801");
    server.SetAttribute(kOutputFormat, CTQProperty(2));
    EXPECT_EQ(Text(t), "");
    // Zero padding to four digits for early years.
    server.SetAttribute(kOutputFormat, CTQProperty(0));
    EXPECT_EQ(Text(CTQGameTime(1.0f, 1, 7)), "01.01.0007");
}

TEST(CTQGameTimeTest, MissingFormatAttributeMeansFormatZero)
{
    CTQEnvironmentServer server;
    EXPECT_EQ(Text(CTQGameTime(9.0f, 11, 1805)), "09.11.1805");
}

TEST(CTQGameTimeTest, FormatWithoutAServerUsesDayMonthYear)
{
    ASSERT_EQ(TQGetEnvironmentServer(), nullptr);
    EXPECT_EQ(Text(CTQGameTime(9.0f, 11, 1805)), "09.11.1805");
}

TEST(CTQGameTimeTest, FormatAfterItsServerIsDestroyedUsesDayMonthYear)
{
    auto server = std::make_unique<CTQEnvironmentServer>();
    server->SetAttribute(kOutputFormat, CTQProperty(1));
    CTQGameTime t(9.0f, 11, 1805);
    EXPECT_EQ(Text(t), "11/09/1805");
    server.reset();
    EXPECT_EQ(Text(t), "09.11.1805");
    // A new server, perhaps at the old one's address, is not the date's server.
    auto next = std::make_unique<CTQEnvironmentServer>();
    next->SetAttribute(kOutputFormat, CTQProperty(1));
    EXPECT_EQ(Text(t), "09.11.1805");
}

TEST(CTQGameTimeTest, CopyKeepsTheServerAndAssignmentKeepsItsOwn)
{
    auto monthFirst = std::make_unique<CTQEnvironmentServer>();
    monthFirst->SetAttribute(kOutputFormat, CTQProperty(1));
    CTQGameTime underMonthFirst(2.0f, 3, 1800);
    auto dayFirst = std::make_unique<CTQEnvironmentServer>();
    dayFirst->SetAttribute(kOutputFormat, CTQProperty(0));
    CTQGameTime underDayFirst(7.0f, 8, 1801);

    CTQGameTime copy(underMonthFirst);
    EXPECT_EQ(Text(copy), "03/02/1800");
    underDayFirst = underMonthFirst;
    EXPECT_EQ(Text(underDayFirst), "02.03.1800");
}

// --- Stored form -------------------------------------------------------------------

TEST(CTQGameTimeTest, StoredAsYearThenDayOfYearInItsBracket)
{
    CTQGameTime t(15.0f, 2, 1801); // day of year 45.0 = 0x42340000
    CTQDataStream s;
    TQSerializeMember(s, t);
    EXPECT_EQ(StoredBytes(s), (Bytes{0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, //
                                     0x09, 0x07, 0x00, 0x00, 0x00, 0x00, 0x34, 0x42}));
    CTQGameTime loaded;
    CTQDataStream in = LoadingFrom(StoredBytes(s));
    TQSerializeMember(in, loaded);
    EXPECT_FALSE(in.IsFailed());
    ExpectUnchanged(loaded, 1801, 45.0f);
}

TEST(CTQGameTimeTest, LoadedDayOfYearPastTheYearIsCarried)
{
    Bytes bytes;
    Append32(bytes, 1800);
    AppendFloat(bytes, 400.0f);
    CTQGameTime t;
    CTQDataStream in = LoadingFrom(bytes);
    t.Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    ExpectUnchanged(t, 1801, 35.0f);
    EXPECT_EQ(t.GetMonth(), 2);
}

TEST(CTQGameTimeTest, LoadedNonFiniteDayFailsTheStreamAndKeepsTheDate)
{
    CWarningCounter warnings;
    for (float bad : {std::nanf(""), std::numeric_limits<float>::infinity()})
    {
        Bytes bytes;
        Append32(bytes, 1900);
        AppendFloat(bytes, bad);
        CTQGameTime t(2.0f, 2, 1800);
        CTQDataStream in = LoadingFrom(bytes);
        t.Serialize(in);
        EXPECT_TRUE(in.IsFailed());
        ExpectUnchanged(t, 1800, 32.0f);
        EXPECT_EQ(t.GetMonth(), 2);
    }
    EXPECT_EQ(warnings.Get(), 2);
}

TEST(CTQGameTimeTest, LoadingCutShortKeepsTheDate)
{
    CTQGameTime t(2.0f, 2, 1800);
    CTQDataStream in = LoadingFrom(Bytes{0x09, 0x07, 0x00, 0x00, 0x00});
    t.Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    ExpectUnchanged(t, 1800, 32.0f);
}

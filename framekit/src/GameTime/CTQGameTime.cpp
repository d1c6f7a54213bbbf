#include <Framekit/GameTime/CTQGameTime.h>

#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include "TQEnvironmentServerRegistry.h"

#include <algorithm>
#include <cmath>
#include <limits>

int CTQGameTime::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;

namespace
{
constexpr int kMonthsPerYear = 12;
constexpr int kMonthLengths[kMonthsPerYear] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr double kYearDays = CTQGameTime::kDaysPerYear;
constexpr const char* kOutputFormatKey = "Framekit/GameTime/OutputFormat";

bool IsValidMonth(int month)
{
    return month >= 1 && month <= kMonthsPerYear;
}

// month must be valid.
int DaysInMonth(int month)
{
    return kMonthLengths[month - 1];
}

// month must be valid.
int DaysBeforeMonth(int month)
{
    int days = 0;
    for (int m = 1; m < month; ++m)
        days += DaysInMonth(m);
    return days;
}

// A valid day of a month is 1-based and may carry the fraction of the day.
bool IsValidDayOfMonth(float day, int month)
{
    return std::isfinite(day) && day >= 1.0f && day < static_cast<float>(DaysInMonth(month) + 1);
}

// The walk never passes December, whatever dayOfYear holds.
int MonthOfDayOfYear(float dayOfYear)
{
    if (!(dayOfYear >= 0.0f))
        return 1;
    double remaining = std::floor(std::min<double>(dayOfYear, kYearDays - 1.0));
    int month = 1;
    while (month < kMonthsPerYear && remaining >= DaysInMonth(month))
    {
        remaining -= DaysInMonth(month);
        ++month;
    }
    return month;
}
} // namespace

CTQGameTime::CTQGameTime() : m_nEnvironmentServer(TQEnvironmentServerRegistry::CurrentHandle()) {}

CTQGameTime::CTQGameTime(const CTQGameTime& other)
    : m_nYear(other.m_nYear), m_fDayOfYear(other.m_fDayOfYear), m_nEnvironmentServer(other.m_nEnvironmentServer)
{
}

CTQGameTime::CTQGameTime(float day, int month, int year) : CTQGameTime()
{
    const int validMonth = std::clamp(month, 1, kMonthsPerYear);
    float validDay = day;
    if (!IsValidDayOfMonth(day, validMonth))
        validDay = std::isfinite(day) ? std::clamp(day, 1.0f, static_cast<float>(DaysInMonth(validMonth))) : 1.0f;
    if (validMonth != month || validDay != day)
        Debug_Warning("CTQGameTime: day %g of month %d is not on the calendar; taking day %g of month %d",
                      static_cast<double>(day), month, static_cast<double>(validDay), validMonth);
    Assign(year, DaysBeforeMonth(validMonth) + static_cast<double>(validDay) - 1.0);
}

CTQGameTime& CTQGameTime::operator=(const CTQGameTime& other)
{
    m_nYear = other.m_nYear;
    m_fDayOfYear = other.m_fDayOfYear;
    return *this;
}

CTQGameTime::~CTQGameTime() = default;

void CTQGameTime::Serialize(CTQDataStream& s)
{
    if (s.IsStoring())
    {
        s.Write(static_cast<std::int32_t>(m_nYear));
        s.Write(m_fDayOfYear);
        return;
    }
    std::int32_t year = 0;
    float dayOfYear = 0.0f;
    s.Read(year);
    s.Read(dayOfYear);
    if (s.IsFailed())
        return;
    if (!std::isfinite(dayOfYear) || !Assign(year, dayOfYear))
    {
        Debug_Warning("CTQGameTime::Serialize(): stored day of year %g of year %d is not a date",
                      static_cast<double>(dayOfYear), static_cast<int>(year));
        s.SetFailed();
    }
}

int CTQGameTime::GetMonth() const
{
    return MonthOfDayOfYear(m_fDayOfYear);
}

float CTQGameTime::GetCalenderDay() const
{
    return m_fDayOfYear - static_cast<float>(DaysBeforeMonth(GetMonth())) + 1.0f;
}

void CTQGameTime::SetYear(int year)
{
    m_nYear = year;
}

void CTQGameTime::SetMonth(int month)
{
    if (!IsValidMonth(month))
    {
        Debug_Warning("CTQGameTime::SetMonth(): there is no month %d", month);
        return;
    }
    // The day keeps its time of day when it has to move back to the month's end.
    double day = GetCalenderDay();
    double wholeDay = std::floor(day);
    if (wholeDay > DaysInMonth(month))
        day = DaysInMonth(month) + (day - wholeDay);
    Assign(m_nYear, DaysBeforeMonth(month) + day - 1.0);
}

void CTQGameTime::SetCalenderDay(float day)
{
    const int month = GetMonth();
    if (!IsValidDayOfMonth(day, month))
    {
        Debug_Warning("CTQGameTime::SetCalenderDay(): month %d has no day %g", month, static_cast<double>(day));
        return;
    }
    Assign(m_nYear, DaysBeforeMonth(month) + static_cast<double>(day) - 1.0);
}

void CTQGameTime::Set(float day, int month, int year)
{
    // Computed in one step: going through SetMonth would first move 31 January to
    // the end of February and then measure the new day from there.
    if (!IsValidMonth(month) || !IsValidDayOfMonth(day, month))
    {
        Debug_Warning("CTQGameTime::Set(): day %g of month %d is not on the calendar", static_cast<double>(day),
                      month);
        return;
    }
    Assign(year, DaysBeforeMonth(month) + static_cast<double>(day) - 1.0);
}

CTQGameTime& CTQGameTime::operator+=(const CTQGameTimeSpan& span)
{
    AddDays(span.GetDays());
    return *this;
}

CTQGameTime& CTQGameTime::operator-=(const CTQGameTimeSpan& span)
{
    AddDays(-static_cast<double>(span.GetDays()));
    return *this;
}

CTQGameTime CTQGameTime::operator+(const CTQGameTimeSpan& span) const
{
    CTQGameTime result(*this);
    result += span;
    return result;
}

CTQGameTime CTQGameTime::operator-(const CTQGameTimeSpan& span) const
{
    CTQGameTime result(*this);
    result -= span;
    return result;
}

CTQGameTimeSpan CTQGameTime::operator-(const CTQGameTime& other) const
{
    // In double: the year difference times 365 overflows an int for distant years.
    const double years = static_cast<double>(m_nYear) - static_cast<double>(other.m_nYear);
    const double days = static_cast<double>(m_fDayOfYear) - static_cast<double>(other.m_fDayOfYear);
    return CTQGameTimeSpan(static_cast<float>(years * kYearDays + days));
}

bool CTQGameTime::operator<(const CTQGameTime& other) const
{
    return m_nYear < other.m_nYear || (m_nYear == other.m_nYear && m_fDayOfYear < other.m_fDayOfYear);
}

bool CTQGameTime::operator<=(const CTQGameTime& other) const
{
    return m_nYear < other.m_nYear || (m_nYear == other.m_nYear && m_fDayOfYear <= other.m_fDayOfYear);
}

bool CTQGameTime::operator>(const CTQGameTime& other) const
{
    return other < *this;
}

bool CTQGameTime::operator>=(const CTQGameTime& other) const
{
    return other <= *this;
}

bool CTQGameTime::operator==(const CTQGameTime& other) const
{
    // The day of year is in [0, 365), so the whole day always fits an int.
    return m_nYear == other.m_nYear && static_cast<int>(m_fDayOfYear) == static_cast<int>(other.m_fDayOfYear);
}

bool CTQGameTime::operator!=(const CTQGameTime& other) const
{
    return !(*this == other);
}

CTQString CTQGameTime::Format() const
{
    const int day = static_cast<int>(GetCalenderDay());
    const int month = GetMonth();
    CTQString text;
    switch (GetOutputFormat())
    {
    case kFormatDayMonthYear:
        text.Format("%.2i.%.2i.%.4i", day, month, m_nYear);
        break;
    case kFormatMonthDayYear:
        text.Format("%.2i/%.2i/%.4i", month, day, m_nYear);
        break;
    default:
        break;
    }
    return text;
}

bool CTQGameTime::AddDays(double days)
{
    if (!std::isfinite(days))
    {
        Debug_Warning("CTQGameTime: cannot move a date by %g days", days);
        return false;
    }
    return Assign(m_nYear, static_cast<double>(m_fDayOfYear) + days);
}

bool CTQGameTime::Assign(int year, double dayOfYear)
{
    if (!std::isfinite(dayOfYear))
        return false;
    double years = std::floor(dayOfYear / kYearDays);
    double day = dayOfYear - years * kYearDays;
    // Rounding may leave the remainder a hair outside [0, 365), or round it up to
    // 365 as a float: both are the start of a year.
    if (day < 0.0)
        day = 0.0;
    if (static_cast<float>(day) >= kDaysPerYear)
    {
        day = 0.0;
        years += 1.0;
    }
    const double newYear = static_cast<double>(year) + years;
    if (newYear < std::numeric_limits<int>::min() || newYear > std::numeric_limits<int>::max())
    {
        Debug_Warning("CTQGameTime: moving the date by %g years leaves the calendar", years);
        return false;
    }
    m_nYear = static_cast<int>(newYear);
    m_fDayOfYear = static_cast<float>(day);
    return true;
}

std::int32_t CTQGameTime::GetOutputFormat() const
{
    const CTQEnvironmentServer* server = TQEnvironmentServerRegistry::Find(m_nEnvironmentServer);
    if (server == nullptr)
        return kFormatDayMonthYear;
    return server->GetAttribute(kOutputFormatKey).GetInt();
}

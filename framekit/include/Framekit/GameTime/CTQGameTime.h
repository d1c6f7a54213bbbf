#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/GameTime/CTQGameTimeSpan.h>
#include <Plinth/CTQString.h>

#include <cstdint>

class CTQDataStream;

// A date on the game's calendar: a year and a fractional, 0-based day of the
// year (0.0 is the start of 1 January) in a 365-day year without leap years.
//
// Invariant: the day of year is finite and in [0, 365). Every operation keeps
// it: arithmetic carries whole years, and whatever would break it (a month
// outside 1..12, a day outside its month, a non-finite span, a year beyond the
// 32-bit range) is refused with a diagnostic and leaves the date unchanged.
//
// A date remembers the environment server that was current when it was made
// (copies share it); only Format reads it, for the output format. A date whose
// server is gone, or that was made without one, formats as day.month.year.
//
// Serialised form: the year (4 bytes), then the day of year (4-byte float).
class FRAMEKIT_API CTQGameTime
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    static constexpr float kDaysPerYear = 365.0f;
    // The values of the environment server's "Framekit/GameTime/OutputFormat".
    static constexpr std::int32_t kFormatDayMonthYear = 0; // 31.12.1800
    static constexpr std::int32_t kFormatMonthDayYear = 1; // 12/31/1800

    // Year 0, day of year 0.
    CTQGameTime();
    CTQGameTime(const CTQGameTime& other);
    // Day of month (1-based, may carry a fraction), month (1 to 12) and year.
    // Outside the calendar the date is the nearest valid one (month clamped to
    // 1..12, day into its month; a non-finite day is the 1st), with a diagnostic.
    CTQGameTime(float day, int month, int year);
    // Copies the year and the day of year; the environment server stays.
    CTQGameTime& operator=(const CTQGameTime& other);
    virtual ~CTQGameTime();

    virtual bool CanSerialize() const { return true; }
    // Loading refuses a non-finite day of year (the stream is failed and the date
    // kept) and carries one outside [0, 365) into the year.
    virtual void Serialize(CTQDataStream& s);

    int GetYear() const { return m_nYear; }
    float GetDayOfYear() const { return m_fDayOfYear; }
    // 1 to 12.
    int GetMonth() const;
    // Day of month, 1-based, with the fraction of the day.
    float GetCalenderDay() const;

    void SetYear(int year);
    // Keeps the day of month, clamped to the new month's last day (31 January
    // moved to February is 28 February); a month outside 1..12 is refused.
    void SetMonth(int month);
    // Moves within the current month; a day outside [1, days in month + 1) is refused.
    void SetCalenderDay(float day);
    // The whole date at once; refused (unchanged) when month or day is invalid.
    void Set(float day, int month, int year);

    // Whole years are carried. A non-finite span, or one that would carry the year
    // beyond the 32-bit range, is refused with a diagnostic.
    CTQGameTime& operator+=(const CTQGameTimeSpan& span);
    CTQGameTime& operator-=(const CTQGameTimeSpan& span);
    CTQGameTime operator+(const CTQGameTimeSpan& span) const;
    CTQGameTime operator-(const CTQGameTimeSpan& span) const;
    // Days from other to this.
    CTQGameTimeSpan operator-(const CTQGameTime& other) const;

    // <, <=, >, >= order the exact instants. == and != compare calendar days:
    // equal when the year and the whole day of year match; != is its negation.
    bool operator<(const CTQGameTime& other) const;
    bool operator<=(const CTQGameTime& other) const;
    bool operator>(const CTQGameTime& other) const;
    bool operator>=(const CTQGameTime& other) const;
    bool operator==(const CTQGameTime& other) const;
    bool operator!=(const CTQGameTime& other) const;

    // Format 0 "dd.mm.yyyy", format 1 "mm/dd/yyyy" (day of month truncated), any
    // other format number "".
    CTQString Format() const;
    operator CTQString() const { return Format(); }

protected:
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

private:
    // Adds days (any sign) carrying whole years; false when refused.
    bool AddDays(double days);
    // Sets the date from a day of year in any range, carrying whole years; false
    // (date unchanged) when it is not finite or the year leaves the 32-bit range.
    bool Assign(int year, double dayOfYear);
    std::int32_t GetOutputFormat() const;

    int m_nYear = 0;
    float m_fDayOfYear = 0.0f;
    // The environment server's handle (0: none); see the class comment.
    std::uint64_t m_nEnvironmentServer = 0;
};

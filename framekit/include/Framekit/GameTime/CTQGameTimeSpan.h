#pragma once

#include <Framekit/FramekitExport.h>

class CTQDataStream;

// A signed number of game days. Plain float arithmetic: a span may be negative,
// fractional or even non-finite; CTQGameTime decides what it accepts.
//
// Serialised form: the days as a 4-byte little-endian float.
class FRAMEKIT_API CTQGameTimeSpan
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    CTQGameTimeSpan() = default;
    // Implicit, so that a number of days can stand wherever a span is wanted.
    CTQGameTimeSpan(float days) : m_fDays(days) {}
    CTQGameTimeSpan(const CTQGameTimeSpan& other) = default;
    CTQGameTimeSpan& operator=(const CTQGameTimeSpan& other) = default;
    virtual ~CTQGameTimeSpan();

    virtual bool CanSerialize() const { return true; }
    virtual void Serialize(CTQDataStream& s);

    float GetDays() const { return m_fDays; }
    void SetDays(float days) { m_fDays = days; }
    operator float() const { return m_fDays; }

    CTQGameTimeSpan& operator+=(const CTQGameTimeSpan& other);
    CTQGameTimeSpan& operator+=(float days);
    CTQGameTimeSpan& operator-=(const CTQGameTimeSpan& other);
    CTQGameTimeSpan& operator-=(float days);
    CTQGameTimeSpan operator+(const CTQGameTimeSpan& other) const;
    CTQGameTimeSpan operator+(float days) const;
    CTQGameTimeSpan operator-(const CTQGameTimeSpan& other) const;
    // Without it `span - 1.0f` would be ambiguous between this operator (through
    // the converting constructor) and the built-in one (through operator float).
    CTQGameTimeSpan operator-(float days) const;

protected:
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

private:
    float m_fDays = 0.0f;
};

#pragma once

#include <Geodex/GeodexExport.h>

#include <cmath>

class CTQDataStream;

// A 2D vector of 32-bit floats: texture coordinates, 2D positions and sizes.
// Serialised as x, y (4-byte little-endian floats), without a bracket of its own.
class GEODEX_API CTQVector2
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    // A vector shorter than this has no usable direction: Normalize refuses it.
    static constexpr float kMinLength = 1e-6f;

    constexpr CTQVector2() : x(0.0f), y(0.0f) {}
    constexpr CTQVector2(float inX, float inY) : x(inX), y(inY) {}

    void Set(float inX, float inY)
    {
        x = inX;
        y = inY;
    }

    CTQVector2& operator+=(const CTQVector2& v)
    {
        x += v.x;
        y += v.y;
        return *this;
    }
    CTQVector2& operator-=(const CTQVector2& v)
    {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    CTQVector2& operator*=(float s)
    {
        x *= s;
        y *= s;
        return *this;
    }

    float Dot(const CTQVector2& v) const { return x * v.x + y * v.y; }
    float SquareLength() const { return x * x + y * y; }
    float Length() const { return std::sqrt(SquareLength()); }

    // Scales the vector to unit length (or to the given length). A vector
    // shorter than kMinLength, or not finite, is left unchanged and the result
    // is false.
    bool Normalize() { return Normalize(1.0f); }
    bool Normalize(float length);

    bool operator==(const CTQVector2& v) const { return x == v.x && y == v.y; }
    bool operator!=(const CTQVector2& v) const { return !(*this == v); }

    void Serialize(CTQDataStream& s);

    float x;
    float y;
};

inline bool CTQVector2::Normalize(float length)
{
    float squared = SquareLength();
    if (!(squared >= kMinLength * kMinLength) || !std::isfinite(squared))
        return false;
    float scale = length / std::sqrt(squared);
    x *= scale;
    y *= scale;
    return true;
}

inline CTQVector2 operator+(const CTQVector2& a, const CTQVector2& b) { return CTQVector2(a.x + b.x, a.y + b.y); }
inline CTQVector2 operator-(const CTQVector2& a, const CTQVector2& b) { return CTQVector2(a.x - b.x, a.y - b.y); }
inline CTQVector2 operator-(const CTQVector2& a) { return CTQVector2(-a.x, -a.y); }
inline CTQVector2 operator*(const CTQVector2& a, float s) { return CTQVector2(a.x * s, a.y * s); }
inline CTQVector2 operator*(float s, const CTQVector2& a) { return CTQVector2(a.x * s, a.y * s); }

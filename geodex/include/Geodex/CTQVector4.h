#pragma once

#include <Geodex/CTQVector3.h>
#include <Geodex/GeodexExport.h>

#include <cmath>

class CTQDataStream;

// A homogeneous 4D vector of 32-bit floats: a point has w = 1, a direction
// w = 0, a projected point any w (NormalizeW brings it back to w = 1). Also the
// stored form of rotations (Euler angles, quaternions, look-at targets).
// Serialised as x, y, z, w (4-byte little-endian floats), without a bracket.
class GEODEX_API CTQVector4
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    // NormalizeW refuses a w closer to zero than this.
    static constexpr float kMinW = 1e-12f;

    constexpr CTQVector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    constexpr CTQVector4(float inX, float inY, float inZ, float inW) : x(inX), y(inY), z(inZ), w(inW) {}
    // A 3-vector with the w it is meant to have (1 for a point, 0 for a direction).
    constexpr explicit CTQVector4(const CTQVector3& v, float inW = 1.0f) : x(v.x), y(v.y), z(v.z), w(inW) {}

    void Set(float inX, float inY, float inZ, float inW)
    {
        x = inX;
        y = inY;
        z = inZ;
        w = inW;
    }

    // Drops w (no division: see NormalizeW).
    CTQVector3 GetVector3() const { return CTQVector3(x, y, z); }
    explicit operator CTQVector3() const { return GetVector3(); }

    CTQVector4& operator+=(const CTQVector4& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        w += v.w;
        return *this;
    }
    CTQVector4& operator-=(const CTQVector4& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        w -= v.w;
        return *this;
    }
    CTQVector4& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        w *= s;
        return *this;
    }

    float Dot(const CTQVector4& v) const { return x * v.x + y * v.y + z * v.z + w * v.w; }
    float SquareLength() const { return Dot(*this); }
    float Length() const { return std::sqrt(SquareLength()); }

    // Divides x, y, z by w and sets w to 1 (the perspective division). With w
    // closer to zero than kMinW, or not finite, the vector is left unchanged
    // and the result is false.
    bool NormalizeW();
    // The same as a copy; a w that cannot be divided by gives the copy unchanged.
    CTQVector4 GetNormalizedW() const
    {
        CTQVector4 v(*this);
        v.NormalizeW();
        return v;
    }

    bool operator==(const CTQVector4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
    bool operator!=(const CTQVector4& v) const { return !(*this == v); }
    bool IsEqual(const CTQVector4& v, float tolerance) const
    {
        return std::fabs(x - v.x) <= tolerance && std::fabs(y - v.y) <= tolerance &&
               std::fabs(z - v.z) <= tolerance && std::fabs(w - v.w) <= tolerance;
    }

    void Serialize(CTQDataStream& s);

    float x;
    float y;
    float z;
    float w;
};

inline bool CTQVector4::NormalizeW()
{
    if (!(std::fabs(w) >= kMinW) || !std::isfinite(w))
        return false;
    float inverse = 1.0f / w;
    x *= inverse;
    y *= inverse;
    z *= inverse;
    w = 1.0f;
    return true;
}

inline CTQVector4 operator+(const CTQVector4& a, const CTQVector4& b)
{
    return CTQVector4(a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w);
}
inline CTQVector4 operator-(const CTQVector4& a, const CTQVector4& b)
{
    return CTQVector4(a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w);
}
inline CTQVector4 operator-(const CTQVector4& a) { return CTQVector4(-a.x, -a.y, -a.z, -a.w); }
inline CTQVector4 operator*(const CTQVector4& a, float s) { return CTQVector4(a.x * s, a.y * s, a.z * s, a.w * s); }
inline CTQVector4 operator*(float s, const CTQVector4& a) { return CTQVector4(a.x * s, a.y * s, a.z * s, a.w * s); }

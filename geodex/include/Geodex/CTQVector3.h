#pragma once

#include <Geodex/CTQVector2.h>
#include <Geodex/GeodexExport.h>

#include <cassert>
#include <cmath>

class CTQDataStream;

// A 3D vector of 32-bit floats: points and directions of the right-handed,
// +Z up world. `a * b` between two vectors is the cross product; `a * s` with a
// float scales. Serialised as x, y, z (4-byte little-endian floats), without a
// bracket of its own: the owner brackets it.
class GEODEX_API CTQVector3
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    // The unit axes.
    static const CTQVector3 BaseX;
    static const CTQVector3 BaseY;
    static const CTQVector3 BaseZ;
    static const CTQVector3 Zero;

    // A vector shorter than this has no usable direction: Normalize refuses it.
    static constexpr float kMinLength = 1e-6f;

    constexpr CTQVector3() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr CTQVector3(float inX, float inY, float inZ) : x(inX), y(inY), z(inZ) {}
    // A 2D vector lifted into 3D.
    constexpr explicit CTQVector3(const CTQVector2& v, float inZ = 0.0f) : x(v.x), y(v.y), z(inZ) {}

    void Set(float inX, float inY, float inZ)
    {
        x = inX;
        y = inY;
        z = inZ;
    }

    // Drops z.
    CTQVector2 GetVector2() const { return CTQVector2(x, y); }
    explicit operator CTQVector2() const { return GetVector2(); }

    // Components by index 0 (x), 1 (y), 2 (z). Another index breaks the
    // caller's contract (asserted in debug builds) and yields z, so no memory
    // outside the vector is ever touched.
    float operator[](int i) const;
    float& operator[](int i);

    CTQVector3& operator+=(const CTQVector3& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    CTQVector3& operator-=(const CTQVector3& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    CTQVector3& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    float Dot(const CTQVector3& v) const { return x * v.x + y * v.y + z * v.z; }
    // Right-handed: BaseX.Cross(BaseY) == BaseZ.
    CTQVector3 Cross(const CTQVector3& v) const
    {
        return CTQVector3(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
    }
    float SquareLength() const { return x * x + y * y + z * z; }
    float Length() const { return std::sqrt(SquareLength()); }

    // Scales the vector to unit length (or to the given length). A vector
    // shorter than kMinLength, or not finite, is left unchanged and the result
    // is false.
    bool Normalize() { return Normalize(1.0f); }
    bool Normalize(float length);

    // Component-wise minimum and maximum (the corners of a bounding box).
    static CTQVector3 Min(const CTQVector3& a, const CTQVector3& b)
    {
        return CTQVector3(a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z);
    }
    static CTQVector3 Max(const CTQVector3& a, const CTQVector3& b)
    {
        return CTQVector3(a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z);
    }

    bool operator==(const CTQVector3& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const CTQVector3& v) const { return !(*this == v); }
    // Every component within tolerance of the other's.
    bool IsEqual(const CTQVector3& v, float tolerance) const
    {
        return std::fabs(x - v.x) <= tolerance && std::fabs(y - v.y) <= tolerance && std::fabs(z - v.z) <= tolerance;
    }

    void Serialize(CTQDataStream& s);

    float x;
    float y;
    float z;
};

inline constexpr CTQVector3 CTQVector3::BaseX{1.0f, 0.0f, 0.0f};
inline constexpr CTQVector3 CTQVector3::BaseY{0.0f, 1.0f, 0.0f};
inline constexpr CTQVector3 CTQVector3::BaseZ{0.0f, 0.0f, 1.0f};
inline constexpr CTQVector3 CTQVector3::Zero{0.0f, 0.0f, 0.0f};

inline float CTQVector3::operator[](int i) const
{
    assert(i >= 0 && i < 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

inline float& CTQVector3::operator[](int i)
{
    assert(i >= 0 && i < 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

inline bool CTQVector3::Normalize(float length)
{
    float squared = SquareLength();
    if (!(squared >= kMinLength * kMinLength) || !std::isfinite(squared))
        return false;
    float scale = length / std::sqrt(squared);
    x *= scale;
    y *= scale;
    z *= scale;
    return true;
}

inline CTQVector3 operator+(const CTQVector3& a, const CTQVector3& b)
{
    return CTQVector3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline CTQVector3 operator-(const CTQVector3& a, const CTQVector3& b)
{
    return CTQVector3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline CTQVector3 operator-(const CTQVector3& a) { return CTQVector3(-a.x, -a.y, -a.z); }
inline CTQVector3 operator*(const CTQVector3& a, float s) { return CTQVector3(a.x * s, a.y * s, a.z * s); }
inline CTQVector3 operator*(float s, const CTQVector3& a) { return CTQVector3(a.x * s, a.y * s, a.z * s); }
// The cross product.
inline CTQVector3 operator*(const CTQVector3& a, const CTQVector3& b) { return a.Cross(b); }

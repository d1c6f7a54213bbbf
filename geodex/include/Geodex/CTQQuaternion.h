#pragma once

#include <Geodex/CTQVector3.h>
#include <Geodex/CTQVector4.h>
#include <Geodex/GeodexExport.h>

#include <cmath>

class CTQDataStream;
class CTQMatrix44;

// A rotation as a quaternion (x, y, z) = axis × sin(angle / 2), w = cos(angle / 2).
// Rotations compose like matrices: the matrix of a * b is the matrix of a times
// the matrix of b, so a * b turns by b first, then by a. Operations that turn
// vectors or build matrices expect a unit quaternion, except SetQ of the matrix,
// which normalises on its own. Serialised as x, y, z, w (4-byte little-endian
// floats), without a bracket of its own.
class GEODEX_API CTQQuaternion
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    // A quaternion shorter than this has no rotation: Normalize refuses it.
    static constexpr float kMinLength = 1e-6f;

    // No rotation.
    constexpr CTQQuaternion() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    constexpr CTQQuaternion(float inX, float inY, float inZ, float inW) : x(inX), y(inY), z(inZ), w(inW) {}
    // The four components as stored in a vector (x, y, z, w).
    constexpr explicit CTQQuaternion(const CTQVector4& v) : x(v.x), y(v.y), z(v.z), w(v.w) {}

    // The components as a vector, the form in which visuals store a rotation.
    CTQVector4 GetVector4() const { return CTQVector4(x, y, z, w); }
    operator CTQVector4() const { return GetVector4(); }

    void SetIdentity() { *this = CTQQuaternion(); }
    // The rotation by an angle in radians about an axis of any length,
    // counter-clockwise seen from the axis's positive end. An axis that cannot
    // be normalised gives no rotation and the result false.
    bool SetAxisAngle(const CTQVector3& axis, float radians);
    // The axis (unit length) and the angle in [0, 2 pi]; with no rotation the
    // axis is BaseX and the angle 0.
    void GetAxisAngle(CTQVector3& axis, float& radians) const;

    // The rotation part (upper-left 3 x 3 block) of a matrix whose block is a
    // pure rotation; the translation is ignored.
    void SetFromMatrix(const CTQMatrix44& m);
    // The pure rotation matrix (translation zero, bottom row 0, 0, 0, 1).
    void GetMatrix(CTQMatrix44& out) const;

    float Dot(const CTQQuaternion& q) const { return x * q.x + y * q.y + z * q.z + w * q.w; }
    float SquareLength() const { return Dot(*this); }
    float Length() const { return std::sqrt(SquareLength()); }
    // To unit length; a quaternion shorter than kMinLength, or not finite, is
    // left unchanged and the result is false.
    bool Normalize();

    // The conjugate (x, y, z negated): the inverse rotation of a unit quaternion.
    void Conjugate()
    {
        x = -x;
        y = -y;
        z = -z;
    }
    CTQQuaternion GetConjugate() const { return CTQQuaternion(-x, -y, -z, w); }
    // The inverse of any non-zero quaternion (conjugate over squared length);
    // false and unchanged for one shorter than kMinLength.
    bool Invert();

    // The vector turned by the (unit) rotation.
    CTQVector3 Rotate(const CTQVector3& v) const;

    CTQQuaternion& operator*=(const CTQQuaternion& q);

    bool operator==(const CTQQuaternion& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    bool operator!=(const CTQQuaternion& q) const { return !(*this == q); }

    void Serialize(CTQDataStream& s);

    float x;
    float y;
    float z;
    float w;
};

// The Hamilton product: turns by b, then by a.
inline CTQQuaternion operator*(const CTQQuaternion& a, const CTQQuaternion& b)
{
    return CTQQuaternion(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                         a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

inline CTQQuaternion& CTQQuaternion::operator*=(const CTQQuaternion& q)
{
    *this = *this * q;
    return *this;
}

// v' = v + w t + u × t with u the vector part and t = 2 (u × v): the sandwich
// q v q* written out for a unit quaternion.
inline CTQVector3 CTQQuaternion::Rotate(const CTQVector3& v) const
{
    CTQVector3 u(x, y, z);
    CTQVector3 t = 2.0f * u.Cross(v);
    return v + w * t + u.Cross(t);
}

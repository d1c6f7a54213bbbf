#include <Geodex/CTQQuaternion.h>

#include <Geodex/CTQMatrix44.h>
#include <Plinth/CTQDataStream.h>

#include <cmath>

int CTQQuaternion::_m_nDataFormatVersion = 0x100;

bool CTQQuaternion::SetAxisAngle(const CTQVector3& axis, float radians)
{
    CTQVector3 unit = axis;
    if (!unit.Normalize())
    {
        SetIdentity();
        return false;
    }
    float half = radians * 0.5f;
    float s = std::sin(half);
    x = unit.x * s;
    y = unit.y * s;
    z = unit.z * s;
    w = std::cos(half);
    return true;
}

void CTQQuaternion::GetAxisAngle(CTQVector3& axis, float& radians) const
{
    CTQQuaternion unit = *this;
    if (!unit.Normalize())
    {
        axis = CTQVector3::BaseX;
        radians = 0.0f;
        return;
    }
    float c = unit.w < -1.0f ? -1.0f : (unit.w > 1.0f ? 1.0f : unit.w);
    radians = 2.0f * std::acos(c);
    axis = CTQVector3(unit.x, unit.y, unit.z);
    if (!axis.Normalize())
    {
        axis = CTQVector3::BaseX;
        radians = 0.0f;
    }
}

// Shepperd's method: the largest of w, x, y, z is found from the diagonal and
// taken as the square root, the others from sums and differences of the
// off-diagonal pairs, so no division is by a small number.
void CTQQuaternion::SetFromMatrix(const CTQMatrix44& m)
{
    float m11 = m(1, 1), m22 = m(2, 2), m33 = m(3, 3);
    float trace = m11 + m22 + m33;
    if (trace > 0.0f)
    {
        float s = std::sqrt(trace + 1.0f) * 2.0f;
        *this = CTQQuaternion((m(3, 2) - m(2, 3)) / s, (m(1, 3) - m(3, 1)) / s, (m(2, 1) - m(1, 2)) / s, 0.25f * s);
    }
    else if (m11 > m22 && m11 > m33)
    {
        float s = std::sqrt(1.0f + m11 - m22 - m33) * 2.0f;
        *this = CTQQuaternion(0.25f * s, (m(1, 2) + m(2, 1)) / s, (m(1, 3) + m(3, 1)) / s, (m(3, 2) - m(2, 3)) / s);
    }
    else if (m22 > m33)
    {
        float s = std::sqrt(1.0f + m22 - m11 - m33) * 2.0f;
        *this = CTQQuaternion((m(1, 2) + m(2, 1)) / s, 0.25f * s, (m(2, 3) + m(3, 2)) / s, (m(1, 3) - m(3, 1)) / s);
    }
    else
    {
        float s = std::sqrt(1.0f + m33 - m11 - m22) * 2.0f;
        *this = CTQQuaternion((m(1, 3) + m(3, 1)) / s, (m(2, 3) + m(3, 2)) / s, 0.25f * s, (m(2, 1) - m(1, 2)) / s);
    }
    if (!Normalize())
        SetIdentity();
}

void CTQQuaternion::GetMatrix(CTQMatrix44& out) const
{
    out.SetQ(*this, true);
}

bool CTQQuaternion::Normalize()
{
    float squared = SquareLength();
    if (!(squared >= kMinLength * kMinLength) || !std::isfinite(squared))
        return false;
    float scale = 1.0f / std::sqrt(squared);
    x *= scale;
    y *= scale;
    z *= scale;
    w *= scale;
    return true;
}

bool CTQQuaternion::Invert()
{
    float squared = SquareLength();
    if (!(squared >= kMinLength * kMinLength) || !std::isfinite(squared))
        return false;
    float scale = 1.0f / squared;
    *this = CTQQuaternion(-x * scale, -y * scale, -z * scale, w * scale);
    return true;
}

void CTQQuaternion::Serialize(CTQDataStream& s)
{
    s.Serialize(x);
    s.Serialize(y);
    s.Serialize(z);
    s.Serialize(w);
}

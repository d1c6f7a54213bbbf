#include <Geodex/CTQMatrix44.h>

#include <Geodex/CTQQuaternion.h>
#include <Plinth/CTQDataStream.h>

#include <cmath>

int CTQMatrix44::_m_nDataFormatVersion = 0x100;

namespace
{
// Below this ratio of the determinant to the product of the row (or column)
// lengths, a matrix counts as singular. The ratio is 1 for orthogonal rows and
// falls to the rounding noise of 32-bit floats (about 1e-7) for rows that are
// dependent in exact arithmetic.
constexpr double kSingularRatio = 1e-6;

// The 16 coefficients in one flat array, the layout the cofactor formulas use.
// Inverting works the same on either layout, since the inverse of the
// transpose is the transpose of the inverse.
struct Flat
{
    double m[16];
};

// Cofactors of a 4 x 4 matrix; inv gets the adjugate, the result is the determinant.
double Adjugate(const Flat& a, Flat& inv)
{
    const double* m = a.m;
    double* r = inv.m;
    r[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    r[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
           m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    r[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    r[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
            m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    r[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
           m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    r[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    r[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    r[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    r[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    r[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    r[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    r[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    r[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    r[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    r[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    r[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    return m[0] * r[0] + m[1] * r[4] + m[2] * r[8] + m[3] * r[12];
}

// The smaller of the two products of line lengths (rows, columns): Hadamard's
// bound on |det|, reached when those lines are orthogonal.
double SmallerLineLengthProduct(const Flat& a)
{
    double rows = 1.0;
    double cols = 1.0;
    for (int i = 0; i < 4; ++i)
    {
        double r = 0.0;
        double c = 0.0;
        for (int j = 0; j < 4; ++j)
        {
            r += a.m[i * 4 + j] * a.m[i * 4 + j];
            c += a.m[j * 4 + i] * a.m[j * 4 + i];
        }
        rows *= std::sqrt(r);
        cols *= std::sqrt(c);
    }
    return rows < cols ? rows : cols;
}
} // namespace

void CTQMatrix44::Set(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                      float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
{
    *this = CTQMatrix44(m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44);
}

void CTQMatrix44::SetLinear(float m11, float m12, float m13, float m21, float m22, float m23, float m31, float m32,
                            float m33, bool bIdentityFirst)
{
    if (bIdentityFirst)
        SetId();
    m_afCol[0][0] = m11;
    m_afCol[1][0] = m12;
    m_afCol[2][0] = m13;
    m_afCol[0][1] = m21;
    m_afCol[1][1] = m22;
    m_afCol[2][1] = m23;
    m_afCol[0][2] = m31;
    m_afCol[1][2] = m32;
    m_afCol[2][2] = m33;
}

void CTQMatrix44::SetRotX(float radians, bool bIdentityFirst)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    SetLinear(1, 0, 0, 0, c, -s, 0, s, c, bIdentityFirst);
}

void CTQMatrix44::SetRotY(float radians, bool bIdentityFirst)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    SetLinear(c, 0, s, 0, 1, 0, -s, 0, c, bIdentityFirst);
}

void CTQMatrix44::SetRotZ(float radians, bool bIdentityFirst)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    SetLinear(c, -s, 0, s, c, 0, 0, 0, 1, bIdentityFirst);
}

// With n = |q|^2 and k = 2 / n, the rotation matrix of q / |q|; a zero
// quaternion has no rotation, which k = 0 gives without a branch of its own.
void CTQMatrix44::SetQ(const CTQQuaternion& q, bool bIdentityFirst)
{
    float n = q.SquareLength();
    float k = (n > 0.0f && std::isfinite(n)) ? 2.0f / n : 0.0f;
    float xx = q.x * q.x * k, yy = q.y * q.y * k, zz = q.z * q.z * k;
    float xy = q.x * q.y * k, xz = q.x * q.z * k, yz = q.y * q.z * k;
    float wx = q.w * q.x * k, wy = q.w * q.y * k, wz = q.w * q.z * k;
    SetLinear(1.0f - (yy + zz), xy - wz, xz + wy, xy + wz, 1.0f - (xx + zz), yz - wx, xz - wy, yz + wx,
              1.0f - (xx + yy), bIdentityFirst);
}

CTQMatrix44 CTQMatrix44::Translation(const CTQVector3& t)
{
    CTQMatrix44 m;
    m.SetTranslation(t);
    return m;
}

CTQMatrix44 CTQMatrix44::Scaling(const CTQVector3& s)
{
    return CTQMatrix44(s.x, 0, 0, 0, 0, s.y, 0, 0, 0, 0, s.z, 0, 0, 0, 0, 1);
}

void CTQMatrix44::Transpose()
{
    *this = GetTransposed();
}

CTQMatrix44 CTQMatrix44::GetTransposed() const
{
    CTQMatrix44 t;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            t.m_afCol[r][c] = m_afCol[c][r];
    return t;
}

void CTQMatrix44::ToFlat(double* out) const
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c * 4 + r] = m_afCol[c][r];
}

float CTQMatrix44::GetDeterminant() const
{
    Flat a;
    Flat adj;
    ToFlat(a.m);
    return static_cast<float>(Adjugate(a, adj));
}

bool CTQMatrix44::GetInverse(CTQMatrix44& out) const
{
    Flat a;
    Flat adj;
    ToFlat(a.m);
    double det = Adjugate(a, adj);
    double bound = SmallerLineLengthProduct(a);
    if (!(std::fabs(det) > kSingularRatio * bound) || !std::isfinite(det))
        return false;
    CTQMatrix44 inverse;
    double scale = 1.0 / det;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
        {
            float v = static_cast<float>(adj.m[c * 4 + r] * scale);
            if (!std::isfinite(v))
                return false;
            inverse.m_afCol[c][r] = v;
        }
    out = inverse;
    return true;
}

bool CTQMatrix44::Invert()
{
    return GetInverse(*this);
}

bool CTQMatrix44::operator==(const CTQMatrix44& m) const
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (m_afCol[c][r] != m.m_afCol[c][r])
                return false;
    return true;
}

bool CTQMatrix44::IsEqual(const CTQMatrix44& m, float tolerance) const
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!(std::fabs(m_afCol[c][r] - m.m_afCol[c][r]) <= tolerance))
                return false;
    return true;
}

void CTQMatrix44::Serialize(CTQDataStream& s)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            s.Serialize(m_afCol[c][r]);
}

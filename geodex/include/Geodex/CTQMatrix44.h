#pragma once

#include <Geodex/CTQVector3.h>
#include <Geodex/CTQVector4.h>
#include <Geodex/GeodexExport.h>

#include <cassert>

class CTQDataStream;
class CTQQuaternion;

// A 4 x 4 matrix of 32-bit floats acting on column vectors: v' = M × v, so a
// product A × B applies B first. The upper-left 3 x 3 block is the linear part
// (its columns are the images of the unit axes) and column 4 holds the
// translation; an affine matrix has the bottom row (0, 0, 0, 1).
//
// Elements are addressed as (row, column), both numbered from 1 to 4, through
// GetCoeff, SetCoeff and operator(); columns through GetCol/SetCol, also from 1.
// An index outside 1..4 breaks the caller's contract: it is asserted in debug
// builds and otherwise wraps into 1..4, so no memory outside the matrix is read.
//
// Every external form of the matrix reads row by row: the 16-float constructor,
// Set and Serialize all take m11, m12, m13, m14, m21, ..., m44. Inside, the
// coefficients are kept column by column (the layout a graphics API expects for
// column vectors; see GetData).
//
// Serialised as the 16 coefficients row by row, 4-byte little-endian floats,
// without a bracket of its own.
class GEODEX_API CTQMatrix44
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    static const CTQMatrix44 Identity;

    // The identity.
    constexpr CTQMatrix44() : m_afCol{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}} {}
    // Row by row.
    constexpr CTQMatrix44(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                          float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
        : m_afCol{{m11, m21, m31, m41}, {m12, m22, m32, m42}, {m13, m23, m33, m43}, {m14, m24, m34, m44}}
    {
    }

    // Row by row, like the constructor.
    void Set(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
             float m32, float m33, float m34, float m41, float m42, float m43, float m44);
    void SetId() { *this = CTQMatrix44(); }

    float GetCoeff(int row, int col) const { return m_afCol[Index(col)][Index(row)]; }
    void SetCoeff(int row, int col, float value) { m_afCol[Index(col)][Index(row)] = value; }
    float operator()(int row, int col) const { return m_afCol[Index(col)][Index(row)]; }
    float& operator()(int row, int col) { return m_afCol[Index(col)][Index(row)]; }

    CTQVector4 GetCol(int col) const;
    void SetCol(int col, const CTQVector4& v);
    CTQVector4 GetRow(int row) const;
    void SetRow(int row, const CTQVector4& v);

    // Column 4 as a point; SetTranslation writes (t, 1) there and leaves the rest.
    CTQVector3 GetTranslation() const { return CTQVector3(m_afCol[3][0], m_afCol[3][1], m_afCol[3][2]); }
    void SetTranslation(const CTQVector3& t);

    // Rotations by an angle in radians, counter-clockwise when seen from the
    // positive end of the axis (right-handed): SetRotZ(pi/2) turns BaseX into
    // BaseY, SetRotX(pi/2) BaseY into BaseZ, SetRotY(pi/2) BaseZ into BaseX.
    // With bIdentityFirst (the default) the whole matrix becomes that pure
    // rotation. Without it only the upper-left 3 x 3 block is replaced, so the
    // translation in column 4 and the bottom row are kept (re-orienting a
    // placement without moving it).
    void SetRotX(float radians, bool bIdentityFirst = true);
    void SetRotY(float radians, bool bIdentityFirst = true);
    void SetRotZ(float radians, bool bIdentityFirst = true);
    // The rotation of a quaternion, with the same flag. The quaternion need not
    // be of unit length (it is normalised on the way); one of zero length gives
    // no rotation.
    void SetQ(const CTQQuaternion& q, bool bIdentityFirst = true);

    // T(t): the identity with column 4 = (t, 1). S(s): diag(s.x, s.y, s.z, 1).
    static CTQMatrix44 Translation(const CTQVector3& t);
    static CTQMatrix44 Scaling(const CTQVector3& s);

    void Transpose();
    CTQMatrix44 GetTransposed() const;

    float GetDeterminant() const;
    // Inverts in place. A matrix that is singular, or so close to it that its
    // inverse in 32-bit floats would be meaningless, is left unchanged and the
    // result is false. Nearness is judged independently of scale: the
    // determinant against the products of the row lengths and of the column
    // lengths, so that tiny or huge but well-shaped matrices still invert.
    bool Invert();
    // The inverse into out; on failure out is left unchanged and the result is false.
    bool GetInverse(CTQMatrix44& out) const;

    CTQMatrix44& operator*=(const CTQMatrix44& m);

    bool operator==(const CTQMatrix44& m) const;
    bool operator!=(const CTQMatrix44& m) const { return !(*this == m); }
    // Every coefficient within tolerance of the other's.
    bool IsEqual(const CTQMatrix44& m, float tolerance) const;

    // The 16 coefficients column by column.
    const float* GetData() const { return &m_afCol[0][0]; }

    void Serialize(CTQDataStream& s);

    friend CTQMatrix44 operator*(const CTQMatrix44& a, const CTQMatrix44& b);
    friend CTQVector4 operator*(const CTQMatrix44& m, const CTQVector4& v);
    friend CTQVector3 operator*(const CTQMatrix44& m, const CTQVector3& v);
    friend CTQVector3 operator%(const CTQMatrix44& m, const CTQVector3& v);

private:
    static constexpr int Index(int oneBased)
    {
        assert(oneBased >= 1 && oneBased <= 4);
        return (oneBased - 1) & 3;
    }
    // The coefficients column by column, widened for the inversion.
    void ToFlat(double* out) const;
    void SetLinear(float m11, float m12, float m13, float m21, float m22, float m23, float m31, float m32, float m33,
                   bool bIdentityFirst);

    // [column][row], both from 0.
    float m_afCol[4][4];
};

inline constexpr CTQMatrix44 CTQMatrix44::Identity{};

inline CTQVector4 CTQMatrix44::GetCol(int col) const
{
    const float* c = m_afCol[Index(col)];
    return CTQVector4(c[0], c[1], c[2], c[3]);
}

inline void CTQMatrix44::SetCol(int col, const CTQVector4& v)
{
    float* c = m_afCol[Index(col)];
    c[0] = v.x;
    c[1] = v.y;
    c[2] = v.z;
    c[3] = v.w;
}

inline CTQVector4 CTQMatrix44::GetRow(int row) const
{
    int r = Index(row);
    return CTQVector4(m_afCol[0][r], m_afCol[1][r], m_afCol[2][r], m_afCol[3][r]);
}

inline void CTQMatrix44::SetRow(int row, const CTQVector4& v)
{
    int r = Index(row);
    m_afCol[0][r] = v.x;
    m_afCol[1][r] = v.y;
    m_afCol[2][r] = v.z;
    m_afCol[3][r] = v.w;
}

inline void CTQMatrix44::SetTranslation(const CTQVector3& t)
{
    m_afCol[3][0] = t.x;
    m_afCol[3][1] = t.y;
    m_afCol[3][2] = t.z;
    m_afCol[3][3] = 1.0f;
}

// Each result column is a combination of a's columns weighted by b's column.
inline CTQMatrix44 operator*(const CTQMatrix44& a, const CTQMatrix44& b)
{
    CTQMatrix44 r;
    for (int c = 0; c < 4; ++c)
    {
        const float* bc = b.m_afCol[c];
        for (int i = 0; i < 4; ++i)
            r.m_afCol[c][i] = a.m_afCol[0][i] * bc[0] + a.m_afCol[1][i] * bc[1] + a.m_afCol[2][i] * bc[2] +
                              a.m_afCol[3][i] * bc[3];
    }
    return r;
}

inline CTQMatrix44& CTQMatrix44::operator*=(const CTQMatrix44& m)
{
    *this = *this * m;
    return *this;
}

inline CTQVector4 operator*(const CTQMatrix44& m, const CTQVector4& v)
{
    const auto& c = m.m_afCol;
    return CTQVector4(c[0][0] * v.x + c[1][0] * v.y + c[2][0] * v.z + c[3][0] * v.w,
                      c[0][1] * v.x + c[1][1] * v.y + c[2][1] * v.z + c[3][1] * v.w,
                      c[0][2] * v.x + c[1][2] * v.y + c[2][2] * v.z + c[3][2] * v.w,
                      c[0][3] * v.x + c[1][3] * v.y + c[2][3] * v.z + c[3][3] * v.w);
}

// The vector as a point (w = 1): turned and moved. The result's w is dropped
// without dividing by it; for a projection use the CTQVector4 product and
// NormalizeW.
inline CTQVector3 operator*(const CTQMatrix44& m, const CTQVector3& v)
{
    const auto& c = m.m_afCol;
    return CTQVector3(c[0][0] * v.x + c[1][0] * v.y + c[2][0] * v.z + c[3][0],
                      c[0][1] * v.x + c[1][1] * v.y + c[2][1] * v.z + c[3][1],
                      c[0][2] * v.x + c[1][2] * v.y + c[2][2] * v.z + c[3][2]);
}

// The vector as a direction (w = 0): turned by the 3 x 3 block, not moved.
inline CTQVector3 operator%(const CTQMatrix44& m, const CTQVector3& v)
{
    const auto& c = m.m_afCol;
    return CTQVector3(c[0][0] * v.x + c[1][0] * v.y + c[2][0] * v.z, c[0][1] * v.x + c[1][1] * v.y + c[2][1] * v.z,
                      c[0][2] * v.x + c[1][2] * v.y + c[2][2] * v.z);
}

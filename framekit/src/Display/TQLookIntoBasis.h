#pragma once

#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>
#include <Geodex/CTQVector4.h>

// The orientation basis shared by visuals and cameras that look into a
// direction: forward along the direction, right = forward × up, up = right ×
// forward. The result is always orthonormal and right-handed (right × forward
// = up): a direction shorter than 1e-6 becomes +X, and when up runs along the
// direction the right axis falls back to +X, then to +Y, and is made
// orthogonal to forward again afterwards.
struct sTQLookIntoBasis
{
    CTQVector3 right;
    CTQVector3 forward;
    CTQVector3 up;
};

inline sTQLookIntoBasis TQMakeLookIntoBasis(CTQVector3 direction, const CTQVector3& up)
{
    sTQLookIntoBasis basis;
    basis.forward = direction;
    if (!basis.forward.Normalize())
        basis.forward = CTQVector3::BaseX;
    basis.right = basis.forward.Cross(up);
    if (!basis.right.Normalize())
        basis.right = CTQVector3::BaseX;
    basis.up = basis.right.Cross(basis.forward);
    if (!basis.up.Normalize())
    {
        basis.right = CTQVector3::BaseY;
        basis.up = basis.right.Cross(basis.forward);
        basis.up.Normalize();
    }
    basis.right = basis.forward.Cross(basis.up);
    basis.right.Normalize();
    return basis;
}

// The matrix with columns right, forward, up and the position (w = 1).
inline CTQMatrix44 TQLookIntoMatrix(const sTQLookIntoBasis& basis, const CTQVector3& position)
{
    CTQMatrix44 m;
    m.SetCol(1, CTQVector4(basis.right, 0.0f));
    m.SetCol(2, CTQVector4(basis.forward, 0.0f));
    m.SetCol(3, CTQVector4(basis.up, 0.0f));
    m.SetCol(4, CTQVector4(position, 1.0f));
    return m;
}

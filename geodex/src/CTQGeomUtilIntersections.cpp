#include <Geodex/CTQGeomUtilIntersections.h>

#include <cmath>

namespace
{
// A line whose direction makes a smaller sine than this with the square's
// plane counts as parallel to it; so does a square whose edges are parallel.
constexpr float kParallelSine = 1e-6f;

// The coordinates (u, v) of a point of the square's plane, offset w from the
// corner, along the edges U and V (not necessarily orthogonal).
void SquareCoordinates(const CTQVector3& U, const CTQVector3& V, const CTQVector3& w, float& u, float& v)
{
    float uu = U.Dot(U);
    float uv = U.Dot(V);
    float vv = V.Dot(V);
    float wu = w.Dot(U);
    float wv = w.Dot(V);
    float d = uu * vv - uv * uv;
    u = (vv * wu - uv * wv) / d;
    v = (uu * wv - uv * wu) / d;
}
} // namespace

bool CTQGeomUtilIntersections::IntersectsSquare2Line3D(const CTQVector3& corner, const CTQVector3& cornerU,
                                                       const CTQVector3& cornerV, const CTQVector3& lineStart,
                                                       const CTQVector3& lineEnd, bool bSegmentOnly, bool bFrontOnly,
                                                       bool& bOutside, CTQVector3* outPoint,
                                                       CTQVector3* outSquareCoords)
{
    bOutside = true;
    CTQVector3 U = cornerU - corner;
    CTQVector3 V = cornerV - corner;
    CTQVector3 normal = U * V;
    CTQVector3 direction = lineEnd - lineStart;
    float normalLength = normal.Length();
    float directionLength = direction.Length();
    float denominator = normal.Dot(direction);
    if (!(normalLength > kParallelSine * U.Length() * V.Length()) ||
        !(std::fabs(denominator) > kParallelSine * normalLength * directionLength))
        return false;
    if (bFrontOnly && denominator > 0.0f)
        return false;
    float t = normal.Dot(corner - lineStart) / denominator;
    if (bSegmentOnly && (t < 0.0f || t > 1.0f))
        return false;
    CTQVector3 point = lineStart + direction * t;
    float u = 0.0f;
    float v = 0.0f;
    SquareCoordinates(U, V, point - corner, u, v);
    bOutside = !(u >= 0.0f && u <= 1.0f && v >= 0.0f && v <= 1.0f);
    if (outPoint)
        *outPoint = point;
    if (outSquareCoords)
        *outSquareCoords = CTQVector3(u, v, t);
    return true;
}

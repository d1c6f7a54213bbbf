#pragma once

#include <Geodex/CTQVector3.h>
#include <Geodex/GeodexExport.h>

// Intersection tests between simple shapes.
class GEODEX_API CTQGeomUtilIntersections
{
public:
    // Where a 3D line meets a square (any parallelogram) in space.
    //
    // The square: `corner` and the two corners next to it, `cornerU` and
    // `cornerV`; its edges are U = cornerU - corner and V = cornerV - corner,
    // and its front faces the side that U × V points to. The line runs from
    // `lineStart` towards `lineEnd`.
    //
    // bSegmentOnly: only the part between lineStart and lineEnd counts (a
    //   segment); otherwise the line is infinite both ways.
    // bFrontOnly: only a line that comes from the front side counts (one that
    //   moves against U × V); otherwise both sides do.
    // bOutside (out): after a true result, whether the point where the line
    //   meets the square's plane lies outside the square (borders are inside);
    //   after a false result always true.
    // outPoint (optional): after a true result, that point in space.
    // outSquareCoords (optional): after a true result, (u, v, t): the point is
    //   corner + u U + v V, with u and v in [0, 1] inside the square, and
    //   lineStart + t (lineEnd - lineStart).
    //
    // The result is true when the line meets the plane at a point that counts:
    // not parallel to it (nor lying in it), within the segment with
    // bSegmentOnly, from the front with bFrontOnly. The square is hit when the
    // result is true and bOutside false. A square with parallel or zero edges,
    // or a line of zero length, gives false.
    static bool IntersectsSquare2Line3D(const CTQVector3& corner, const CTQVector3& cornerU, const CTQVector3& cornerV,
                                        const CTQVector3& lineStart, const CTQVector3& lineEnd, bool bSegmentOnly,
                                        bool bFrontOnly, bool& bOutside, CTQVector3* outPoint = nullptr,
                                        CTQVector3* outSquareCoords = nullptr);
};

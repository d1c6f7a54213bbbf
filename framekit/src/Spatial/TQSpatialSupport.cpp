#include "TQSpatialSupport.h"

#include <Framekit/Display/CTQViewport.h>
#include <Framekit/Display/CTQVisual3d.h>
#include <Plinth/CTQDataStream.h>
#include <Geodex/CTQVector4.h>
#include <Plinth/Log.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr unsigned kAllOutcodes = 0x3F;

unsigned Outcode(const CTQVector4& c, const CTQVector3& lo, const CTQVector3& hi)
{
    unsigned code = 0;
    if (c.x > c.w * hi.x)
        code |= 1;
    if (c.x < c.w * lo.x)
        code |= 2;
    if (c.y > c.w * hi.y)
        code |= 4;
    if (c.y < c.w * lo.y)
        code |= 8;
    if (c.z > c.w * hi.z)
        code |= 16;
    if (c.z < c.w * lo.z)
        code |= 32;
    return code;
}

CTQVector4 Corner(int i, const CTQVector3& boxMin, const CTQVector3& boxMax)
{
    return CTQVector4((i & 1) ? boxMax.x : boxMin.x, (i & 2) ? boxMax.y : boxMin.y, (i & 4) ? boxMax.z : boxMin.z,
                      1.0f);
}

// Narrows [t0, t1] to the part of the segment start + t d whose coordinate
// lies in [lo, hi] on one axis; false when nothing is left.
bool ClipAxis(float start, float d, float lo, float hi, float& t0, float& t1)
{
    if (d == 0.0f)
        return start >= lo && start <= hi;
    float enter = (lo - start) / d;
    float leave = (hi - start) / d;
    if (enter > leave)
        std::swap(enter, leave);
    t0 = std::max(t0, enter);
    t1 = std::min(t1, leave);
    return t0 <= t1;
}
} // namespace

bool TQCheckInFrustrum(const CTQVector3& lo, const CTQVector3& hi, const CTQVector3& boxMin,
                       const CTQVector3& boxMax, const CTQMatrix44& matrix, eTQPickingBehaviour mode)
{
    if (mode == eTQPicking_Intersect)
    {
        // Rejected only when every corner lies beyond one and the same plane,
        // so the test stops at the first corner that shares no bit with those
        // before it.
        unsigned shared = kAllOutcodes;
        for (int i = 0; i < 8 && shared != 0; ++i)
            shared &= Outcode(matrix * Corner(i, boxMin, boxMax), lo, hi);
        return shared == 0;
    }
    if (mode == eTQPicking_Inside || mode == eTQPicking_ReferencePoint)
    {
        for (int i = 0; i < 8; ++i)
            if (Outcode(matrix * Corner(i, boxMin, boxMax), lo, hi) != 0)
                return false;
        return true;
    }
    return true;
}

bool TQSegmentMeetsBox(const CTQVector3& start, const CTQVector3& end, const CTQVector3& boxMin,
                       const CTQVector3& boxMax)
{
    const CTQVector3 d = end - start;
    float t0 = 0.0f;
    float t1 = 1.0f;
    return ClipAxis(start.x, d.x, boxMin.x, boxMax.x, t0, t1) && ClipAxis(start.y, d.y, boxMin.y, boxMax.y, t0, t1) &&
           ClipAxis(start.z, d.z, boxMin.z, boxMax.z, t0, t1);
}

bool TQGetSpatialView(std::int32_t viewport, const char* caller, bool needInverse, sTQSpatialView& view)
{
    const CTQViewport* target = TQPeekObjectAs<CTQViewport>(viewport);
    if (!target)
    {
        Debug_Warning("%s: %d names no viewport", caller, viewport);
        return false;
    }
    if (!target->HasValidCamera())
    {
        Debug_Warning("%s: viewport %d has no camera", caller, viewport);
        return false;
    }
    const CTQSize size = target->GetSize();
    if (size.cx <= 0 || size.cy <= 0)
    {
        Debug_Warning("%s: viewport %d has no size (%d x %d)", caller, viewport, size.cx, size.cy);
        return false;
    }
    if (needInverse && !target->HasValidInvProjectionMatrix())
    {
        Debug_Warning("%s: viewport %d has no inverse projection", caller, viewport);
        return false;
    }
    view.clipFromWorld = target->GetProjectionMatrix() * target->GetInvViewMatrix();
    view.worldFromCamera = target->GetViewMatrix();
    view.invProjection = target->GetInvProjectionMatrix();
    view.nWidth = size.cx;
    view.nHeight = size.cy;
    return true;
}

void TQPixelToDevice(const sTQSpatialView& view, int x, int y, float& ndcX, float& ndcY)
{
    ndcX = 2.0f * static_cast<float>(x) / static_cast<float>(view.nWidth) - 1.0f;
    ndcY = 1.0f - 2.0f * static_cast<float>(y) / static_cast<float>(view.nHeight);
}

bool TQGetPickSegment(const sTQSpatialView& view, float ndcX, float ndcY, CTQVector3& start, CTQVector3& end)
{
    CTQVector4 nearPoint = view.invProjection * CTQVector4(ndcX, ndcY, -1.0f, 1.0f);
    CTQVector4 farPoint = view.invProjection * CTQVector4(ndcX, ndcY, 1.0f, 1.0f);
    if (!nearPoint.NormalizeW() || !farPoint.NormalizeW())
        return false;
    // Camera space: the camera sits at the origin, so the end nearer to it is
    // the one of smaller length.
    if (nearPoint.GetVector3().SquareLength() > farPoint.GetVector3().SquareLength())
        std::swap(nearPoint, farPoint);
    start = (view.worldFromCamera * nearPoint).GetVector3();
    end = (view.worldFromCamera * farPoint).GetVector3();
    return std::isfinite(start.x) && std::isfinite(start.y) && std::isfinite(start.z) && std::isfinite(end.x) &&
           std::isfinite(end.y) && std::isfinite(end.z);
}

CTQVisual3d* TQAdoptVisual(CTQVisual& container, std::int32_t id, bool alreadyHeld)
{
    CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
    if (!visual || alreadyHeld || id == container.GetId())
        return nullptr;
    if (visual->GetParent() != -1 && visual->GetParent() != container.GetId())
        if (CTQVisual* previous = TQPeekObjectAs<CTQVisual>(visual->GetParent()))
            previous->RemoveVisual(id);
    visual->SetCulled(false);
    return visual;
}

void TQSettleAdoptedVisual(CTQVisual& container, CTQVisual3d& visual)
{
    visual.SetParent(container.GetId());
    visual.SetRoot(container.GetRoot() >= 0 ? container.GetRoot() : container.GetId());
    visual.SetDirty(-1);
}

void TQCullReleasedVisual(std::int32_t id)
{
    if (CTQVisual* visual = TQPeekObjectAs<CTQVisual>(id))
    {
        visual->SetCulled(true);
        visual->Update();
    }
}

void TQSerializeIdSet(CTQDataStream& s, std::set<std::int32_t>& ids, const std::function<bool(std::int32_t)>& keep)
{
    if (s.IsStoring())
    {
        s.Write(static_cast<std::int32_t>(ids.size()));
        for (std::int32_t id : ids)
            s.Write(id);
        return;
    }
    ids.clear();
    std::int32_t count = 0;
    if (!s.Read(count) || count < 0 || !s.CheckCount(static_cast<std::uint32_t>(count), sizeof(std::int32_t)))
    {
        s.SetFailed();
        return;
    }
    for (std::int32_t i = 0; i < count; ++i)
    {
        std::int32_t id = -1;
        if (s.Read(id) && (!keep || keep(id)))
            ids.insert(id);
    }
}

void TQPrecacheVisuals(const std::vector<std::int32_t>& ids, std::int32_t viewport)
{
    for (std::int32_t id : ids)
        if (CTQVisual* visual = TQPeekObjectAs<CTQVisual>(id))
            visual->Precache(viewport);
}

#include <Framekit/Display/CTQColor.h>
#include <Framekit/Display/CTQViewport.h>
#include <Framekit/Display/CTQVisual3d.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include <Framekit/ObjectModel/TQObjectLookup.h>
#include "TQLookIntoBasis.h"
#include "TQVisual3dResourceBounds.h"

#include <Plinth/CTQDataStream.h>

#include <algorithm>
#include <cmath>
#include <cstring>

TQ_IMPLEMENT_CLASS_TYPE(CTQVisual3d, CTQVisual, kTQDefaultDataFormatVersion)

namespace
{
constexpr float kSetterTolerance = 1e-6f;
constexpr std::uint32_t kStyle3d = 16;
constexpr std::uint32_t kComponentBits = eTQVisual3d_Dirty_Position | eTQVisual3d_Dirty_AnyRotation |
                                         eTQVisual3d_Dirty_Scale;
constexpr std::uint32_t kLinearBits = eTQVisual3d_Dirty_AnyRotation | eTQVisual3d_Dirty_Scale;
// Longer child lists are not searched for a child that moved in them.
constexpr std::size_t kMaxSearchedChildren = 64;

CTQGeomAlignedBBox3d UnitBounds()
{
    return CTQGeomAlignedBBox3d(CTQVector3(-1.0f, -1.0f, -1.0f), CTQVector3(1.0f, 1.0f, 1.0f));
}

CTQMatrix44 EulerRotation(const CTQVector4& angles)
{
    CTQMatrix44 rz;
    CTQMatrix44 rx;
    CTQMatrix44 ry;
    rz.SetRotZ(angles.z);
    rx.SetRotX(angles.x);
    ry.SetRotY(angles.y);
    return rz * rx * ry;
}
} // namespace

CTQVisual3d::CTQVisual3d()
{
    SetStyle(kStyle3d);
    // Already dirty as a new visual; the first Update computes world and bounds.
    m_nDirtyFlags = eTQVisual3d_Dirty_WorldMatrix | eTQVisual3d_Dirty_OwnBounds;
}

CTQVisual3d::~CTQVisual3d() = default;

// ---- Changes -------------------------------------------------------------

bool CTQVisual3d::RaiseChange(std::uint32_t bits)
{
    m_nDirtyFlags |= bits;
    SetDirty(-1);
    return true;
}

void CTQVisual3d::SetPos(const CTQVector3& position)
{
    if (GetContent(eTQVisual3d_Change_Position) == eTQVisual3d_Content_Position &&
        m_vPosition.GetVector3().IsEqual(position, kSetterTolerance))
        return;
    m_vPosition = CTQVector4(position, 1.0f);
    SetContent(eTQVisual3d_Change_Position, eTQVisual3d_Content_Position);
    RaiseChange(eTQVisual3d_Dirty_Position | eTQVisual3d_Dirty_LocalMatrix);
}

void CTQVisual3d::SetRotationContent(const CTQVector4& rotation, std::uint32_t dirtyBit,
                                     eTQVisual3d_ContentFlags content)
{
    if (GetContent(eTQVisual3d_Change_Rotation) == content && m_vRotation.IsEqual(rotation, kSetterTolerance))
        return;
    m_vRotation = rotation;
    SetContent(eTQVisual3d_Change_Rotation, content);
    RaiseChange(dirtyBit | eTQVisual3d_Dirty_LocalMatrix);
}

void CTQVisual3d::SetRotation(const CTQQuaternion& rotation)
{
    SetRotationContent(rotation.GetVector4(), eTQVisual3d_Dirty_QuaternionRotation, eTQVisual3d_Content_Quaternion);
}

void CTQVisual3d::SetRotation(const CTQVector3& angles)
{
    SetRotationContent(CTQVector4(angles, 0.0f), eTQVisual3d_Dirty_EulerRotation, eTQVisual3d_Content_EulerAngles);
}

void CTQVisual3d::SetOrientation(const CTQVector3& direction)
{
    SetLookIntoDirection(direction, CTQVector3::BaseZ);
}

void CTQVisual3d::SetLookContent(const CTQVector4& rotation, const CTQVector3& up, std::uint32_t dirtyBit,
                                 eTQVisual3d_ContentFlags content)
{
    const bool same = GetContent(eTQVisual3d_Change_Rotation) == content &&
                      GetContent(eTQVisual3d_Change_UpVector) == eTQVisual3d_Content_UpVector &&
                      m_vRotation.IsEqual(rotation, kSetterTolerance) &&
                      m_vUpVector.GetVector3().IsEqual(up, kSetterTolerance);
    if (same)
        return;
    m_vRotation = rotation;
    m_vUpVector = CTQVector4(up, 0.0f);
    SetContent(eTQVisual3d_Change_Rotation, content);
    SetContent(eTQVisual3d_Change_UpVector, eTQVisual3d_Content_UpVector);
    RaiseChange(dirtyBit | eTQVisual3d_Dirty_LocalMatrix);
}

// The target is kept as given, the origin included: only the direction from
// the position to it, when that is near zero, is replaced (when the matrix is built).
void CTQVisual3d::SetLookAt(const CTQVector3& target, const CTQVector3& up)
{
    SetLookContent(CTQVector4(target, 1.0f), up, eTQVisual3d_Dirty_LookAt, eTQVisual3d_Content_LookAtTarget);
}

void CTQVisual3d::SetLookIntoDirection(const CTQVector3& direction, const CTQVector3& up)
{
    const CTQVector3 usable = direction.Length() < CTQVector3::kMinLength ? CTQVector3::BaseX : direction;
    SetLookContent(CTQVector4(usable, 1.0f), up, eTQVisual3d_Dirty_LookIntoDirection,
                   eTQVisual3d_Content_ViewingDirection);
}

void CTQVisual3d::SetScaleContent(const CTQVector3& scale)
{
    if (GetContent(eTQVisual3d_Change_Scale) == eTQVisual3d_Content_Scale &&
        m_vScale.GetVector3().IsEqual(scale, kSetterTolerance))
        return;
    m_vScale = CTQVector4(scale, 1.0f);
    SetContent(eTQVisual3d_Change_Scale, eTQVisual3d_Content_Scale);
    RaiseChange(eTQVisual3d_Dirty_Scale | eTQVisual3d_Dirty_LocalMatrix);
}

void CTQVisual3d::SetScale(float scale)
{
    SetScaleContent(CTQVector3(scale, scale, scale));
}

void CTQVisual3d::SetScale(const CTQVector3& scale)
{
    SetScaleContent(scale);
}

// The matrix replaces every component, pending ones included: a rotation or
// scale given before it must not be rebuilt into it later.
void CTQVisual3d::SetTransformMatrix(const CTQMatrix44& matrix)
{
    const bool same = m_nContent == 0 && (m_nDirtyFlags & kComponentBits) == 0 &&
                      m_oTransform.IsEqual(matrix, kSetterTolerance);
    if (same)
        return;
    m_oTransform = matrix;
    m_oGivenTransform = matrix;
    ClearContent();
    m_nDirtyFlags &= ~kComponentBits;
    RaiseChange(eTQVisual3d_Dirty_Matrix | eTQVisual3d_Dirty_LocalMatrix);
}

// The ray is carried from clip space to camera space by the inverse
// projection, then into the world by the camera's placement (camera to world).
void CTQVisual3d::SetPosFromScreenCoords(std::int32_t viewport, int x, int y, eTQVisual3d_Plane plane)
{
    CTQViewport* target = TQPeekObjectAs<CTQViewport>(viewport);
    if (!target || !target->HasValidInvProjectionMatrix())
        return;
    const CTQSize size = target->GetSize();
    if (size.cx <= 0 || size.cy <= 0)
        return;
    const float nx = 2.0f * static_cast<float>(x) / static_cast<float>(size.cx) - 1.0f;
    const float ny = 1.0f - 2.0f * static_cast<float>(y) / static_cast<float>(size.cy);
    CTQVector4 nearPoint = target->GetInvProjectionMatrix() * CTQVector4(nx, ny, -1.0f, 1.0f);
    CTQVector4 farPoint = target->GetInvProjectionMatrix() * CTQVector4(nx, ny, 1.0f, 1.0f);
    if (!nearPoint.NormalizeW() || !farPoint.NormalizeW())
        return;
    const CTQMatrix44 cameraToWorld = target->GetViewMatrix();
    const CTQVector3 from = cameraToWorld * nearPoint.GetVector3();
    const CTQVector3 to = cameraToWorld * farPoint.GetVector3();
    const int axis = plane == eTQVisual3d_Plane_Z ? 2 : (plane == eTQVisual3d_Plane_Y ? 1 : 0);
    const float span = to[axis] - from[axis];
    if (span == 0.0f)
        return;
    const float t = (GetPos()[axis] - from[axis]) / span;
    if (!(t >= 0.0f && t <= 1.0f))
        return;
    SetPos(from + (to - from) * t);
}

void CTQVisual3d::Translate(const CTQVector3& delta)
{
    SetPos(GetPos() + delta);
}

// ---- Reading -------------------------------------------------------------

CTQVector3 CTQVisual3d::GetPos() const
{
    if (GetContent(eTQVisual3d_Change_Position) == eTQVisual3d_Content_Position)
        return m_vPosition.GetVector3();
    return m_oTransform.GetTranslation();
}

CTQVector4 CTQVisual3d::GetRotation() const
{
    return m_vRotation;
}

CTQVector4 CTQVisual3d::GetRotationAsQuaternion() const
{
    return m_vRotation;
}

CTQVector3 CTQVisual3d::GetOrientation() const
{
    return m_vRotation.GetVector3();
}

CTQVector3 CTQVisual3d::GetLookAt() const
{
    return m_vRotation.GetVector3();
}

CTQVector3 CTQVisual3d::GetLookIntoDirection() const
{
    return m_vRotation.GetVector3();
}

const CTQMatrix44& CTQVisual3d::GetTransformation() const
{
    return m_oTransform;
}

const CTQMatrix44& CTQVisual3d::GetWorldTransformation() const
{
    return m_oWorld;
}

bool CTQVisual3d::IsTransformationClean() const
{
    return (m_nDirtyFlags & eTQVisual3d_Dirty_LocalMatrix) == 0;
}

bool CTQVisual3d::IsWorldTransformationClean() const
{
    return (m_nDirtyFlags & eTQVisual3d_Dirty_WorldMatrix) == 0;
}

bool CTQVisual3d::SystemBoundsUpdated() const
{
    return m_bSystemBoundsUpdated;
}

CTQVector3 CTQVisual3d::GetForwardDirection()
{
    return m_oWorld.GetCol(2).GetVector3();
}

CTQVector3 CTQVisual3d::GetRightDirection()
{
    return m_oWorld.GetCol(1).GetVector3();
}

CTQVector3 CTQVisual3d::GetUpDirection()
{
    return m_oWorld.GetCol(3).GetVector3();
}

const CTQGeomAlignedBBox3d& CTQVisual3d::GetInitialBounds() const
{
    return m_oInitialBounds;
}

const CTQGeomOrientedBBox3d& CTQVisual3d::GetOrientedBounds() const
{
    if (m_bOrientedBoundsStale)
    {
        m_oOrientedBounds.Set(m_oWorld, m_oInitialBounds);
        m_bOrientedBoundsStale = false;
    }
    return m_oOrientedBounds;
}

void CTQVisual3d::GetWorldBoundingBox(CTQVector3& min, CTQVector3& max) const
{
    min = m_oWorldBoundingBox.GetMin();
    max = m_oWorldBoundingBox.GetMax();
}

const CTQGeomAlignedBBox3d& CTQVisual3d::GetWorldBoundingBox() const
{
    return m_oWorldBoundingBox;
}

void CTQVisual3d::GetSystemBoundingBox(CTQVector3& min, CTQVector3& max) const
{
    min = m_oSystemBoundingBox.GetMin();
    max = m_oSystemBoundingBox.GetMax();
}

const CTQGeomAlignedBBox3d& CTQVisual3d::GetSystemBoundingBox() const
{
    return m_oSystemBoundingBox;
}

void CTQVisual3d::GetLocalCoordinateSystem(CTQMatrix44& out)
{
    GetOrientedBounds().GetCoordinateSystem(out);
}

// ---- Settings passed down ------------------------------------------------

void CTQVisual3d::ShowBoundingBox(bool show)
{
    m_bShowBoundingBox = show;
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual3d* child = GetChild3dAt(i))
            child->ShowBoundingBox(show);
}

void CTQVisual3d::SetDiffuseMaterialColor(const CTQColor& color)
{
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual3d* child = GetChild3dAt(i))
            child->SetDiffuseMaterialColor(color);
}

void CTQVisual3d::SetAmbientMaterialColor(const CTQColor& color)
{
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual3d* child = GetChild3dAt(i))
            child->SetAmbientMaterialColor(color);
}

void CTQVisual3d::SetAlphaBlending(bool blending)
{
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual3d* child = GetChild3dAt(i))
            child->SetAlphaBlending(blending);
}

void CTQVisual3d::SetRenderPri(int priority)
{
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual3d* child = GetChild3dAt(i))
            child->SetRenderPri(priority);
}

void CTQVisual3d::SetTexture(int stage, std::int32_t texture)
{
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual3d* child = GetChild3dAt(i))
            child->SetTexture(stage, texture);
}

void CTQVisual3d::SetItemData(std::uint32_t data)
{
    m_nItemData = data;
}

std::uint32_t CTQVisual3d::GetItemData() const
{
    return m_nItemData;
}

// ---- Dirty bits and content ----------------------------------------------

void CTQVisual3d::SetAllClean()
{
    m_nDirtyFlags = 0;
    ClearDirty();
}

void CTQVisual3d::SetDirtyFlags(eTQVisual3d_DirtyFlags flags)
{
    RaiseChange(flags);
}

void CTQVisual3d::SetCleanFlags(eTQVisual3d_DirtyFlags flags)
{
    m_nDirtyFlags &= ~static_cast<std::uint32_t>(flags);
}

bool CTQVisual3d::IsDirtyFlags(eTQVisual3d_DirtyFlags flags) const
{
    return (m_nDirtyFlags & flags) != 0;
}

bool CTQVisual3d::IsRotationClean(eTQVisual3d_DirtyFlags except) const
{
    return (m_nDirtyFlags & eTQVisual3d_Dirty_AnyRotation & ~static_cast<std::uint32_t>(except)) == 0;
}

bool CTQVisual3d::IsClean(unsigned int mask) const
{
    return (m_nDirtyFlags & ~mask) == 0;
}

void CTQVisual3d::ClearContent()
{
    m_nContent = 0;
}

namespace
{
// Eight kinds of 4 bits fit the word; another kind breaks the caller's contract.
bool IsContentKind(eTQVisual3d_ChangeFlags kind)
{
    return kind >= 0 && kind < 8;
}
} // namespace

void CTQVisual3d::SetContent(eTQVisual3d_ChangeFlags kind, eTQVisual3d_ContentFlags value)
{
    if (!IsContentKind(kind))
        return;
    const int shift = 4 * kind;
    m_nContent = (m_nContent & ~(0xFu << shift)) | ((static_cast<std::uint32_t>(value) & 0xFu) << shift);
}

eTQVisual3d_ContentFlags CTQVisual3d::GetContent(eTQVisual3d_ChangeFlags kind) const
{
    if (!IsContentKind(kind))
        return eTQVisual3d_Content_None;
    return static_cast<eTQVisual3d_ContentFlags>((m_nContent >> (4 * kind)) & 0xFu);
}

// ---- Recomputation -------------------------------------------------------

// The translation is replaced only when a position was given; the linear part
// is rebuilt from the components whenever a rotation or a scale was given.
// Otherwise the matrix stands as it is (given whole, or unchanged).
void CTQVisual3d::ComputeTransformMatrix()
{
    if (m_nDirtyFlags & kComponentBits)
    {
        const CTQVector3 position = (m_nDirtyFlags & eTQVisual3d_Dirty_Position) ? m_vPosition.GetVector3()
                                                                                  : m_oTransform.GetTranslation();
        if (m_nDirtyFlags & kLinearBits)
            BuildLinearPart(position, m_oTransform);
        m_oTransform.SetTranslation(position);
    }
    m_nDirtyFlags &= ~(kComponentBits | eTQVisual3d_Dirty_Matrix);
    m_nDirtyFlags |= eTQVisual3d_Dirty_WorldMatrix;
}

// Columns 1 to 3 of out become R × S: R from the rotation content (the linear
// part of the last matrix given whole when there is none), S the scale given.
void CTQVisual3d::BuildLinearPart(const CTQVector3& position, CTQMatrix44& out)
{
    CTQMatrix44 rotation;
    switch (GetContent(eTQVisual3d_Change_Rotation))
    {
    case eTQVisual3d_Content_EulerAngles:
        rotation = EulerRotation(m_vRotation);
        break;
    case eTQVisual3d_Content_Quaternion:
        rotation.SetQ(CTQQuaternion(m_vRotation));
        break;
    case eTQVisual3d_Content_LookAtTarget:
        rotation = TQLookIntoMatrix(
            TQMakeLookIntoBasis(m_vRotation.GetVector3() - position, m_vUpVector.GetVector3()), CTQVector3());
        break;
    case eTQVisual3d_Content_ViewingDirection:
        rotation = TQLookIntoMatrix(TQMakeLookIntoBasis(m_vRotation.GetVector3(), m_vUpVector.GetVector3()),
                                    CTQVector3());
        break;
    default:
        rotation = m_oGivenTransform;
        break;
    }
    const bool scaled = GetContent(eTQVisual3d_Change_Scale) == eTQVisual3d_Content_Scale;
    const float scale[3] = {scaled ? m_vScale.x : 1.0f, scaled ? m_vScale.y : 1.0f, scaled ? m_vScale.z : 1.0f};
    for (int col = 1; col <= 3; ++col)
    {
        CTQVector4 column = rotation.GetCol(col) * scale[col - 1];
        column.w = out.GetCoeff(4, col);
        out.SetCol(col, column);
    }
}

void CTQVisual3d::ComputeWorldMatrix()
{
    m_oWorld = m_oParentMatrix * m_oTransform;
    PassParentMatrixToChildren();
    m_nDirtyFlags &= ~eTQVisual3d_Dirty_WorldMatrix;
    m_nDirtyFlags |= eTQVisual3d_Dirty_OwnBounds;
}

void CTQVisual3d::PassParentMatrixToChildren()
{
    const CTQMatrix44& world = m_oWorld;
    for (std::size_t i = 0; i < GetChildList().size(); ++i)
        if (CTQVisual3d* child = GetChild3dAt(i))
            child->SetParentMatrix(world);
}

// The world box is the hull of the oriented bounds, computed from the initial
// box and the world matrix directly; the oriented bounds follow on demand.
void CTQVisual3d::ComputeMyBounds()
{
    m_oInitialBounds.GetTransformed(m_oWorld, m_oWorldBoundingBox);
    m_bOrientedBoundsStale = true;
    m_nDirtyFlags &= ~eTQVisual3d_Dirty_OwnBounds;
    m_nDirtyFlags |= eTQVisual3d_Dirty_SystemBounds;
}

// A child's box is read from the child only when this visual has not been
// told it (a new child, or one whose place changed); the boxes of children
// that are gone are left out.
void CTQVisual3d::ComputeSystemBounds()
{
    const std::vector<std::int32_t>& children = GetChildList();
    if (m_aChildBounds.size() != children.size())
        m_aChildBounds.resize(children.size());
    CTQVector3 low = m_oWorldBoundingBox.GetMin();
    CTQVector3 high = m_oWorldBoundingBox.GetMax();
    for (std::size_t i = 0; i < children.size(); ++i)
    {
        // A box told by the child stands while the same child is at its place
        // (ids are never reused within a database), without visiting the child.
        sChildBounds& known = m_aChildBounds[i];
        const CTQObject* object = TQPeekObject(children[i]);
        if (!object || known.pChild != object || known.nId != children[i])
        {
            const CTQVisual3d* child = GetChild3dAt(i);
            known.nId = child ? children[i] : -1;
            known.pChild = child;
            if (!child)
                continue;
            known.vMin = child->GetSystemBoundingBox().GetMin();
            known.vMax = child->GetSystemBoundingBox().GetMax();
        }
        low = CTQVector3::Min(low, known.vMin);
        high = CTQVector3::Max(high, known.vMax);
    }
    m_oSystemBoundingBox.Set(low, high);
    m_nDirtyFlags &= ~eTQVisual3d_Dirty_SystemBounds;
    NotifySystemBoundsChanged();
}

void CTQVisual3d::NotifySystemBoundsChanged()
{
    if (CTQVisual3d* parent = GetParentVisual3d())
        parent->TakeChildSystemBounds(*this, m_nPlaceInParent);
}

// The child's place is guessed from where it stood last time, or just before
// (a child in front of it left). When neither holds the child, every known box
// is forgotten, so the next computation asks each child afresh instead of
// keeping a box that no longer holds.
void CTQVisual3d::TakeChildSystemBounds(const CTQVisual3d& child, std::uint32_t& placeHint)
{
    const std::vector<std::int32_t>& children = GetChildList();
    const std::int32_t id = child.GetId();
    if (placeHint >= children.size() || children[placeHint] != id)
    {
        if (placeHint > 0 && placeHint - 1 < children.size() && children[placeHint - 1] == id)
            --placeHint;
        else
        {
            auto place = std::find(children.begin(), children.end(), id);
            if (place == children.end() || children.size() > kMaxSearchedChildren)
            {
                m_aChildBounds.clear();
                return;
            }
            placeHint = static_cast<std::uint32_t>(place - children.begin());
        }
    }
    if (m_aChildBounds.size() != children.size())
        m_aChildBounds.resize(children.size());
    sChildBounds& known = m_aChildBounds[placeHint];
    known.nId = id;
    known.pChild = &child;
    known.vMin = child.GetSystemBoundingBox().GetMin();
    known.vMax = child.GetSystemBoundingBox().GetMax();
}

// The matrix is compared exactly: an equal one leaves the world matrix as it
// is, so a parent's recomputation does not dirty children it did not move.
// A visual that is dirty already has dirty ancestors with their system boxes
// marked (the parent handing the matrix over is updating), so the mark need
// not climb again.
void CTQVisual3d::SetParentMatrix(const CTQMatrix44& matrix)
{
    m_nDirtyFlags &= ~eTQVisual3d_Dirty_ParentMatrix;
    if (std::memcmp(matrix.GetData(), m_oParentMatrix.GetData(), sizeof(float) * 16) == 0)
        return;
    m_oParentMatrix = matrix;
    if (IsDirty())
        m_nDirtyFlags |= eTQVisual3d_Dirty_WorldMatrix;
    else
        RaiseChange(eTQVisual3d_Dirty_WorldMatrix);
}

// Counts as initialised, so Update() does not put the unit box back.
void CTQVisual3d::SetInitialBounds(const CTQGeomAlignedBBox3d& bounds)
{
    m_oInitialBounds = bounds;
    m_oInitialBounds.EnsureMinimumExtent(3, kMinBoundsExtent);
    m_bBoundsInitialised = true;
    RaiseChange(eTQVisual3d_Dirty_OwnBounds);
}

CTQGeomAlignedBBox3d& CTQVisual3d::GetInitialBoundsRef()
{
    return m_oInitialBounds;
}

bool CTQVisual3d::GetParentVisible()
{
    return m_bParentVisible;
}

bool CTQVisual3d::GetShowBoundingBox() const
{
    return m_bShowBoundingBox;
}

void CTQVisual3d::SetMatrixAsLookIntoDirection(const CTQVector4& direction, const CTQVector4& up,
                                               const CTQVector4& position, CTQMatrix44& out)
{
    out = TQLookIntoMatrix(TQMakeLookIntoBasis(direction.GetVector3(), up.GetVector3()), position.GetVector3());
}

// ---- Life in the tree ----------------------------------------------------

bool CTQVisual3d::InitData(std::int32_t resourceId)
{
    SetAssociatedResourceId(resourceId);
    sTQVisual3dResourceSettings settings;
    if (TQReadVisual3dResourceSettings(resourceId, settings))
    {
        CTQGeomAlignedBBox3d bounds;
        bounds.GrowBoundingBox(settings.boundsMin);
        bounds.GrowBoundingBox(settings.boundsMax);
        SetInitialBounds(bounds);
        if (settings.hasStyle)
            SetStyle(settings.style);
    }
    return true;
}

void CTQVisual3d::Update()
{
    if (!m_bBoundsInitialised)
    {
        m_oInitialBounds = UnitBounds();
        m_bBoundsInitialised = true;
        m_nDirtyFlags |= eTQVisual3d_Dirty_OwnBounds;
    }
    if (m_nDirtyFlags & eTQVisual3d_Dirty_LocalMatrix)
    {
        ComputeTransformMatrix();
        OnMatrixUpdated();
        m_nDirtyFlags &= ~eTQVisual3d_Dirty_LocalMatrix;
    }
    if (m_nDirtyFlags & eTQVisual3d_Dirty_WorldMatrix)
        ComputeWorldMatrix();
    m_bParentVisible = true;
    CTQVisual::Update();
    if (m_nDirtyFlags & eTQVisual3d_Dirty_OwnBounds)
    {
        ComputeMyBounds();
        OnBoundsUpdated();
        m_nDirtyFlags |= eTQVisual3d_Dirty_SystemBounds;
    }
    m_bSystemBoundsUpdated = (m_nDirtyFlags & eTQVisual3d_Dirty_SystemBounds) != 0;
    if (m_bSystemBoundsUpdated)
        ComputeSystemBounds();
    ClearDirty();
}

void CTQVisual3d::SetDirty(int source)
{
    if (source >= 0)
        m_nDirtyFlags |= eTQVisual3d_Dirty_SystemBounds;
    CTQVisual::SetDirty(source);
}

// The child is placed under this visual's world matrix at once.
void CTQVisual3d::AddVisual(std::int32_t id)
{
    CTQVisual::AddVisual(id);
    if (IsChild(id))
        if (CTQVisual3d* child = TQPeekObjectAs<CTQVisual3d>(id))
            child->SetParentMatrix(m_oWorld);
}

// The child, now a root, no longer stands under this visual's world matrix,
// and this visual's system box no longer holds it.
void CTQVisual3d::RemoveVisual(std::int32_t id)
{
    const bool wasChild = IsChild(id);
    CTQVisual::RemoveVisual(id);
    if (!wasChild)
        return;
    if (CTQVisual3d* child = TQPeekObjectAs<CTQVisual3d>(id))
        child->SetParentMatrix(CTQMatrix44::Identity);
    RaiseChange(eTQVisual3d_Dirty_SystemBounds);
}

std::int32_t CTQVisual3d::GetSerializationMode() const
{
    return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
}

void CTQVisual3d::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQVisual>(s, *this);
    TQSerializeMember(s, m_vPosition);
    TQSerializeMember(s, m_vRotation);
    TQSerializeMember(s, m_vScale);
    TQSerializeMember(s, m_vUpVector);
    s.Serialize(m_nContent);
    s.Serialize(m_nDirtyFlags);
    TQSerializeMember(s, m_oTransform);
    TQSerializeMember(s, m_oParentMatrix);
    TQSerializeMember(s, m_oWorld);
    TQSerializeMember(s, m_oInitialBounds);
    GetOrientedBounds();
    TQSerializeMember(s, m_oOrientedBounds);
    TQSerializeMember(s, m_oWorldBoundingBox);
    TQSerializeMember(s, m_oSystemBoundingBox);
    s.Serialize(m_bSystemBoundsUpdated);
    s.Serialize(m_bParentVisible);
    s.Serialize(m_bShowBoundingBox);
    s.Serialize(m_bBoundsInitialised);
    s.Serialize(m_nItemData);
    if (s.IsLoading())
    {
        m_bOrientedBoundsStale = false;
        RecoverGivenTransform();
        m_aChildBounds.clear();
        NotifySystemBoundsChanged();
    }
}

// The stored form has no room for the last matrix given whole; while no
// rotation stands in for it, it is the local matrix with the scale taken out.
void CTQVisual3d::RecoverGivenTransform()
{
    m_oGivenTransform.SetId();
    if (GetContent(eTQVisual3d_Change_Rotation) != eTQVisual3d_Content_None)
        return;
    m_oGivenTransform = m_oTransform;
    if (GetContent(eTQVisual3d_Change_Scale) != eTQVisual3d_Content_Scale)
        return;
    const float scale[3] = {m_vScale.x, m_vScale.y, m_vScale.z};
    for (int col = 1; col <= 3; ++col)
        if (scale[col - 1] != 0.0f)
            m_oGivenTransform.SetCol(col, m_oTransform.GetCol(col) * (1.0f / scale[col - 1]));
}

void CTQVisual3d::OnMatrixUpdated() {}
void CTQVisual3d::OnBoundsUpdated() {}

#pragma once

#include <Framekit/Display/CTQVisual.h>
#include <Framekit/FramekitExport.h>
#include <Geodex/CTQGeomAlignedBBox3d.h>
#include <Geodex/CTQGeomOrientedBBox3d.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQQuaternion.h>
#include <Geodex/CTQVector3.h>
#include <Geodex/CTQVector4.h>

#include <cstdint>
#include <vector>

class CTQColor;
class CTQDataStream;

// What must be recomputed, one bit each (values are the bit masks).
enum eTQVisual3d_DirtyFlags : std::uint32_t
{
    eTQVisual3d_Dirty_Position = 1u << 0,
    eTQVisual3d_Dirty_EulerRotation = 1u << 1,
    eTQVisual3d_Dirty_QuaternionRotation = 1u << 2,
    eTQVisual3d_Dirty_LookAt = 1u << 3,
    eTQVisual3d_Dirty_LookIntoDirection = 1u << 4,
    eTQVisual3d_Dirty_Scale = 1u << 5,
    eTQVisual3d_Dirty_Matrix = 1u << 7,
    eTQVisual3d_Dirty_LocalMatrix = 1u << 8,
    eTQVisual3d_Dirty_ParentMatrix = 1u << 9,
    eTQVisual3d_Dirty_WorldMatrix = 1u << 10,
    eTQVisual3d_Dirty_OwnBounds = 1u << 11,
    eTQVisual3d_Dirty_SystemBounds = 1u << 12,
    // Bits 1 to 4.
    eTQVisual3d_Dirty_AnyRotation = 30u,
};

// The change kinds; each owns the 4 bits of the content word at 4 × kind.
enum eTQVisual3d_ChangeFlags : std::int32_t
{
    eTQVisual3d_Change_Position = 0,
    eTQVisual3d_Change_Rotation = 1,
    eTQVisual3d_Change_Scale = 2,
    eTQVisual3d_Change_UpVector = 3,
};

// What a change kind was last given as.
enum eTQVisual3d_ContentFlags : std::uint32_t
{
    eTQVisual3d_Content_None = 0,
    eTQVisual3d_Content_Position = 1,
    eTQVisual3d_Content_EulerAngles = 2,
    eTQVisual3d_Content_Quaternion = 3,
    eTQVisual3d_Content_LookAtTarget = 4,
    eTQVisual3d_Content_ViewingDirection = 5,
    eTQVisual3d_Content_Scale = 6,
    eTQVisual3d_Content_UpVector = 7,
};

// The plane SetPosFromScreenCoords moves a visual in, through its current position.
enum eTQVisual3d_Plane : std::int32_t
{
    eTQVisual3d_Plane_Z = 0,
    eTQVisual3d_Plane_Y = 1,
    eTQVisual3d_Plane_X = 2,
};

// A visual with a place in 3D space: a transform given as position, rotation
// (Euler angles, a quaternion, a look-at target or a viewing direction) and
// scale, or as a whole matrix; its local and world matrices; and four bounding
// volumes, all recomputed lazily in Update() as the dirty bits name them.
//
// The world is right-handed with +Z up: a visual's local axes are the columns
// of its matrix, column 1 right (X), column 2 forward (Y), column 3 up (Z),
// column 4 the position.
//
// The local matrix is T(position) × R × S. Whenever a rotation or a scale is
// given, the linear part is rebuilt from the components as they stand (the
// last rotation given, or the linear part of the last matrix given whole when
// no rotation was given since; the last scale given, or none), so that scales
// never compound and a new rotation keeps the scale. A matrix given whole
// replaces all components; components given after it apply to it.
//
// Invariants after Update(): world = parent matrix × local matrix; the
// world box is the axis-aligned hull of the initial bounds carried by the world
// matrix; the system box is the world box grown by the system boxes of all 3D
// children. A change of a child (its transform, its bounds, or its leaving)
// marks its ancestors' system boxes for recomputation.
class FRAMEKIT_API CTQVisual3d : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQVisual3d)

    // Smallest extent an initial box is widened to on every axis.
    static constexpr float kMinBoundsExtent = 0.1f;

    CTQVisual3d();
    ~CTQVisual3d() override;

    // Setters compare before they store: a value within 1e-6 of the one in
    // force raises no change.
    virtual void SetPos(const CTQVector3& position);
    virtual void SetRotation(const CTQQuaternion& rotation);
    // Angles in radians about X, Y and Z, applied as RotZ × RotX × RotY.
    virtual void SetRotation(const CTQVector3& angles);
    // Looks into direction with +Z up.
    virtual void SetOrientation(const CTQVector3& direction);
    // Column 2 points from the position at the target (any point, the origin
    // included); column 3 leans toward up. Where the target is the position
    // itself, the visual looks along +X.
    virtual void SetLookAt(const CTQVector3& target, const CTQVector3& up);
    // A direction shorter than 1e-6 is replaced by +X.
    virtual void SetLookIntoDirection(const CTQVector3& direction, const CTQVector3& up);
    virtual void SetScale(float scale);
    virtual void SetScale(const CTQVector3& scale);
    virtual void SetTransformMatrix(const CTQMatrix44& matrix);
    // Moves the visual, within the plane through its current position, to where
    // the ray through pixel (x, y) of the viewport meets that plane; nothing
    // happens when the ray runs parallel to the plane or meets it outside the
    // segment between the near and far planes.
    virtual void SetPosFromScreenCoords(std::int32_t viewport, int x, int y, eTQVisual3d_Plane plane);
    virtual void Translate(const CTQVector3& delta);
    // The position given, or column 4 of the local matrix after a matrix given whole.
    virtual CTQVector3 GetPos() const;
    // The rotation as stored (its meaning depends on the rotation content).
    virtual CTQVector4 GetRotation() const;
    virtual CTQVector4 GetRotationAsQuaternion() const;
    virtual CTQVector3 GetOrientation() const;
    virtual CTQVector3 GetLookAt() const;
    virtual CTQVector3 GetLookIntoDirection() const;
    virtual const CTQMatrix44& GetTransformation() const;
    virtual const CTQMatrix44& GetWorldTransformation() const;
    virtual bool IsTransformationClean() const;
    virtual bool IsWorldTransformationClean() const;
    // Whether the last Update() recomputed the system box.
    virtual bool SystemBoundsUpdated() const;
    // Columns 2, 1 and 3 of the world matrix.
    virtual CTQVector3 GetForwardDirection();
    virtual CTQVector3 GetRightDirection();
    virtual CTQVector3 GetUpDirection();
    virtual const CTQGeomAlignedBBox3d& GetInitialBounds() const;
    virtual const CTQGeomOrientedBBox3d& GetOrientedBounds() const;
    virtual void GetWorldBoundingBox(CTQVector3& min, CTQVector3& max) const;
    virtual const CTQGeomAlignedBBox3d& GetWorldBoundingBox() const;
    virtual void GetSystemBoundingBox(CTQVector3& min, CTQVector3& max) const;
    virtual const CTQGeomAlignedBBox3d& GetSystemBoundingBox() const;
    // The oriented bounds are the initial bounds carried by the world matrix;
    // their coordinate system is the world matrix.
    virtual void GetLocalCoordinateSystem(CTQMatrix44& out);
    virtual void ShowBoundingBox(bool show);
    // Material and texture settings: the base stores nothing and passes them to
    // every 3D child; visuals that draw override them.
    virtual void SetDiffuseMaterialColor(const CTQColor& color);
    virtual void SetAmbientMaterialColor(const CTQColor& color);
    virtual void SetAlphaBlending(bool blending);
    virtual void SetRenderPri(int priority);
    virtual void SetTexture(int stage, std::int32_t texture);
    virtual void SetItemData(std::uint32_t data);
    virtual std::uint32_t GetItemData() const;

    // Dirty bits (eTQVisual3d_DirtyFlags masks). Setting any bit marks the visual dirty.
    virtual void SetAllClean();
    virtual void SetDirtyFlags(eTQVisual3d_DirtyFlags flags);
    virtual void SetCleanFlags(eTQVisual3d_DirtyFlags flags);
    virtual bool IsDirtyFlags(eTQVisual3d_DirtyFlags flags) const;
    // No rotation bit other than those in except is set.
    virtual bool IsRotationClean(eTQVisual3d_DirtyFlags except) const;
    // No bit outside mask is set.
    virtual bool IsClean(unsigned int mask) const;
    std::uint32_t GetDirtyFlags() const { return m_nDirtyFlags; }

    virtual void ClearContent();
    virtual void SetContent(eTQVisual3d_ChangeFlags kind, eTQVisual3d_ContentFlags value);
    virtual eTQVisual3d_ContentFlags GetContent(eTQVisual3d_ChangeFlags kind) const;
    std::uint32_t GetContentWord() const { return m_nContent; }

    virtual void ComputeTransformMatrix();
    virtual void ComputeWorldMatrix();
    virtual void ComputeMyBounds();
    virtual void ComputeSystemBounds();
    // Replaces the parent matrix; an equal matrix changes nothing.
    virtual void SetParentMatrix(const CTQMatrix44& matrix);
    const CTQMatrix44& GetParentMatrix() const { return m_oParentMatrix; }
    // The visual's own extent in local coordinates, widened to at least
    // kMinBoundsExtent on every axis. Kept by Update(), whether or not the
    // visual was built from a resource.
    virtual void SetInitialBounds(const CTQGeomAlignedBBox3d& bounds);
    // Changes through this reference take effect after SetDirtyFlags(OwnBounds).
    virtual CTQGeomAlignedBBox3d& GetInitialBoundsRef();
    virtual bool GetParentVisible();
    virtual bool GetShowBoundingBox() const;
    // out = the matrix with columns right, forward (direction normalised), up
    // and position: an orthonormal right-handed basis in which up leans toward
    // the given up. A direction shorter than 1e-6 is replaced by +X; an up
    // along the direction falls back to +X, then +Y, as the right axis.
    virtual void SetMatrixAsLookIntoDirection(const CTQVector4& direction, const CTQVector4& up,
                                              const CTQVector4& position, CTQMatrix44& out);

    // Initial bounds from the resource: a 3D visual resource's bounds, else the
    // attributes "BoundsXMin" ... "BoundsZMax" (missing ones 0), and the style
    // from "VisualStyle". A missing resource keeps the defaults (the unit box).
    bool InitData(std::int32_t resourceId) override;
    void Update() override;
    // A child's report also marks this visual's system box for recomputation.
    void SetDirty(int source) override;
    void AddVisual(std::int32_t id) override;
    void RemoveVisual(std::int32_t id) override;
    std::int32_t GetSerializationMode() const override;
    // The visual part, then position, rotation, scale and up vector (versioned
    // vectors), content and dirty bits (4 each), local, parent and world
    // matrices (versioned), initial, oriented, world and system bounds
    // (versioned), one byte each for system-bounds-updated, parent-visible,
    // show-bounding-box and bounds-initialised, and the item data (4).
    void Serialize(CTQDataStream& s) override;

protected:
    // Empty hooks: after the local matrix and after the own bounds were recomputed.
    virtual void OnMatrixUpdated();
    virtual void OnBoundsUpdated();

    // Tells a 3D parent this visual's system box. A parent keeps the system
    // boxes of its 3D children as they told them, so that growing its own box
    // does not visit every child; ComputeSystemBounds() and loading call this,
    // and a class that changes the system box in another way calls it too.
    void NotifySystemBoundsChanged();

private:
    // A 3D child's system box as this visual last learned it.
    struct sChildBounds
    {
        std::int32_t nId = -1;
        const CTQVisual3d* pChild = nullptr;
        CTQVector3 vMin;
        CTQVector3 vMax;
    };

    void TakeChildSystemBounds(const CTQVisual3d& child, std::uint32_t& placeHint);
    bool RaiseChange(std::uint32_t bits);
    void SetRotationContent(const CTQVector4& rotation, std::uint32_t dirtyBit, eTQVisual3d_ContentFlags content);
    void SetLookContent(const CTQVector4& rotation, const CTQVector3& up, std::uint32_t dirtyBit,
                        eTQVisual3d_ContentFlags content);
    void SetScaleContent(const CTQVector3& scale);
    void BuildLinearPart(const CTQVector3& position, CTQMatrix44& out);
    void PassParentMatrixToChildren();
    void RecoverGivenTransform();

    // What Update() reads and writes for every visual comes first, together.
    std::uint32_t m_nDirtyFlags = 0;
    std::uint32_t m_nContent = 0;
    CTQMatrix44 m_oTransform;
    CTQMatrix44 m_oParentMatrix;
    CTQMatrix44 m_oWorld;
    CTQGeomAlignedBBox3d m_oInitialBounds;
    CTQGeomAlignedBBox3d m_oWorldBoundingBox;
    CTQGeomAlignedBBox3d m_oSystemBoundingBox;
    bool m_bSystemBoundsUpdated = false;
    bool m_bParentVisible = true;
    bool m_bShowBoundingBox = false;
    bool m_bBoundsInitialised = false;
    // Built from the world matrix and the initial bounds when it is asked for,
    // so that an update does not copy both for every visual.
    mutable bool m_bOrientedBoundsStale = true;
    std::uint32_t m_nItemData = 0;
    CTQVector4 m_vPosition{0.0f, 0.0f, 0.0f, 1.0f};
    CTQVector4 m_vRotation{0.0f, 0.0f, 0.0f, 0.0f};
    CTQVector4 m_vScale{1.0f, 1.0f, 1.0f, 1.0f};
    CTQVector4 m_vUpVector{0.0f, 0.0f, 1.0f, 0.0f};
    // Parallel to the child list; an entry counts only while its id and
    // object are those at its place.
    std::vector<sChildBounds> m_aChildBounds;
    // Where this visual stood in its parent's child list when it last told it
    // its system box; a guess, checked before use.
    std::uint32_t m_nPlaceInParent = 0;
    mutable CTQGeomOrientedBBox3d m_oOrientedBounds;
    // The last matrix given whole (identity before any): its linear part stands
    // for the rotation while no rotation was given after it.
    CTQMatrix44 m_oGivenTransform;
};

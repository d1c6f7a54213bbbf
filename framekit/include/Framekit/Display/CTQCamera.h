#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQQuaternion.h>
#include <Geodex/CTQVector3.h>

#include <cstdint>

class CTQDataStream;

// Axis-aligned views for LookOnPlane.
enum eTQCameraAxisAlignedLookat : std::int32_t
{
    // Looks up (+Z).
    eTQCameraAxisAlignedLookat_Up = 1,
    // Looks down (-Z).
    eTQCameraAxisAlignedLookat_Down = 2,
    // Looks along +Y.
    eTQCameraAxisAlignedLookat_Forward = 3,
};

// A placement in the world from which scenes are seen.
//
// Camera space is the world turned by the fixed coordinate correction C, so
// that the camera looks along its own -Z with +Y up on the screen. The
// placement maps camera space to the world: placement = T(position) × R × C,
// where R turns the world's axes (+X right, +Y forward, +Z up) into the
// camera's. Its columns are therefore right (1), up (2), backward (3) and the
// position (4). A new camera sits at the origin looking along +Y with +Z up.
//
// Invariant: the inverse placement (world to camera space) is the inverse of
// the placement, recomputed at every change.
class FRAMEKIT_API CTQCamera : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQCamera)

    // C: rows (1, 0, 0, 0), (0, 0, -1, 0), (0, 1, 0, 0), (0, 0, 0, 1); and its inverse.
    static const CTQMatrix44 sm_oCoordSystemCorrection;
    static const CTQMatrix44 sm_oInvCoordSystemCorrection;

    CTQCamera();
    ~CTQCamera() override;

    virtual void SetPosition(const CTQVector3& position);
    virtual void Translate(const CTQVector3& delta);
    virtual CTQVector3 GetPosition();
    virtual void MoveForward(float distance);
    virtual void MoveUp(float distance);
    virtual void MoveRight(float distance);
    // R = the rotation of q, keeping the position.
    virtual void SetRotation(const CTQQuaternion& rotation);
    // R = RotZ(a.z) × RotX(a.x) × RotY(a.y), keeping the position.
    virtual void SetRotation(const CTQVector3& angles);
    // Turns the camera by q about world axes through its position: R becomes
    // M(q) × R. (The correction C stays the rightmost factor, so it needs no
    // undoing.)
    virtual void Rotate(const CTQQuaternion& rotation);
    virtual void LookAt(const CTQVector3& target, const CTQVector3& up);
    // R = the look-into basis of the direction and up (as a 3D visual builds
    // it: orthonormal, +X for a direction shorter than 1e-6).
    virtual void LookIntoDirection(const CTQVector3& direction, const CTQVector3& up);
    virtual CTQVector3 GetViewDirection();
    virtual CTQVector3 GetUpDirection();
    virtual CTQVector3 GetRightDirection();
    // Moves to position, then looks along the axis; another value only moves.
    virtual void LookOnPlane(eTQCameraAxisAlignedLookat axis, const CTQVector3& position);
    // Camera space to world (the placement).
    virtual const CTQMatrix44& GetViewMatrix() const;
    // World to camera space.
    virtual const CTQMatrix44& GetInvViewMatrix() const;

    bool IsDirty() const { return m_bDirty; }
    void ResetDirty() { m_bDirty = false; }
    const CTQVector3& GetAuxVector() const { return m_vAuxVector; }

    std::int32_t GetSerializationMode() const override;
    // The object part, placement and inverse placement (versioned matrices),
    // dirty (1 byte) and the auxiliary vector (versioned).
    void Serialize(CTQDataStream& s) override;

protected:
    // Marks the camera changed and recomputes the inverse placement.
    virtual void NotifyChange();

private:
    void Place(const CTQMatrix44& rotation);

    CTQMatrix44 m_oPlacement;
    CTQMatrix44 m_oInvPlacement;
    bool m_bDirty = true;
    CTQVector3 m_vAuxVector;
};

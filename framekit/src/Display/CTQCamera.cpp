#include <Framekit/Display/CTQCamera.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include "TQLookIntoBasis.h"

#include <Plinth/CTQDataStream.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQCamera, CTQObject, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQCamera)

const CTQMatrix44 CTQCamera::sm_oCoordSystemCorrection(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1);
const CTQMatrix44 CTQCamera::sm_oInvCoordSystemCorrection(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);

CTQCamera::CTQCamera() : m_oPlacement(sm_oCoordSystemCorrection), m_oInvPlacement(sm_oInvCoordSystemCorrection) {}

CTQCamera::~CTQCamera() = default;

void CTQCamera::SetPosition(const CTQVector3& position)
{
    m_oPlacement.SetTranslation(position);
    NotifyChange();
}

void CTQCamera::Translate(const CTQVector3& delta)
{
    m_oPlacement.SetTranslation(m_oPlacement.GetTranslation() + delta);
    NotifyChange();
}

CTQVector3 CTQCamera::GetPosition()
{
    return m_oPlacement.GetTranslation();
}

void CTQCamera::MoveForward(float distance)
{
    SetPosition(GetPosition() + GetViewDirection() * distance);
}

void CTQCamera::MoveUp(float distance)
{
    SetPosition(GetPosition() + GetUpDirection() * distance);
}

void CTQCamera::MoveRight(float distance)
{
    SetPosition(GetPosition() + GetRightDirection() * distance);
}

// placement = T(p) × rotation × C.
void CTQCamera::Place(const CTQMatrix44& rotation)
{
    const CTQVector3 position = GetPosition();
    m_oPlacement = rotation * sm_oCoordSystemCorrection;
    m_oPlacement.SetTranslation(position);
    NotifyChange();
}

void CTQCamera::SetRotation(const CTQQuaternion& rotation)
{
    CTQMatrix44 m;
    m.SetQ(rotation);
    Place(m);
}

void CTQCamera::SetRotation(const CTQVector3& angles)
{
    CTQMatrix44 rz;
    CTQMatrix44 rx;
    CTQMatrix44 ry;
    rz.SetRotZ(angles.z);
    rx.SetRotX(angles.x);
    ry.SetRotY(angles.y);
    Place(rz * rx * ry);
}

void CTQCamera::Rotate(const CTQQuaternion& rotation)
{
    const CTQVector3 position = GetPosition();
    CTQMatrix44 turned = m_oPlacement;
    turned.SetTranslation(CTQVector3());
    CTQMatrix44 m;
    m.SetQ(rotation);
    m_oPlacement = m * turned;
    m_oPlacement.SetTranslation(position);
    NotifyChange();
}

void CTQCamera::LookAt(const CTQVector3& target, const CTQVector3& up)
{
    LookIntoDirection(target - GetPosition(), up);
}

void CTQCamera::LookIntoDirection(const CTQVector3& direction, const CTQVector3& up)
{
    Place(TQLookIntoMatrix(TQMakeLookIntoBasis(direction, up), CTQVector3()));
}

CTQVector3 CTQCamera::GetViewDirection()
{
    return -m_oPlacement.GetCol(3).GetVector3();
}

CTQVector3 CTQCamera::GetUpDirection()
{
    return m_oPlacement.GetCol(2).GetVector3();
}

CTQVector3 CTQCamera::GetRightDirection()
{
    return m_oPlacement.GetCol(1).GetVector3();
}

void CTQCamera::LookOnPlane(eTQCameraAxisAlignedLookat axis, const CTQVector3& position)
{
    SetPosition(position);
    switch (axis)
    {
    case eTQCameraAxisAlignedLookat_Up:
        LookIntoDirection(CTQVector3(0, 0, 1), CTQVector3(-1, 0, 1));
        break;
    case eTQCameraAxisAlignedLookat_Down:
        LookIntoDirection(CTQVector3(0, 0, -1), CTQVector3(0, -1, 1));
        break;
    case eTQCameraAxisAlignedLookat_Forward:
        LookIntoDirection(CTQVector3(0, 1, 0), CTQVector3(0, 0, -1));
        break;
    }
}

const CTQMatrix44& CTQCamera::GetViewMatrix() const
{
    return m_oPlacement;
}

const CTQMatrix44& CTQCamera::GetInvViewMatrix() const
{
    return m_oInvPlacement;
}

std::int32_t CTQCamera::GetSerializationMode() const
{
    return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
}

void CTQCamera::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQObject>(s, *this);
    TQSerializeMember(s, m_oPlacement);
    TQSerializeMember(s, m_oInvPlacement);
    s.Serialize(m_bDirty);
    TQSerializeMember(s, m_vAuxVector);
}

// A placement is always a rotation and a translation, so it inverts; should a
// loaded one not, the previous inverse stays.
void CTQCamera::NotifyChange()
{
    m_bDirty = true;
    m_oPlacement.GetInverse(m_oInvPlacement);
}

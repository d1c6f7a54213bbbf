#include <Framekit/Display/CTQCamera.h>
#include <Framekit/Display/CTQDisplayServer.h>
#include <Framekit/Display/CTQScene.h>
#include <Framekit/Display/CTQViewport.h>
#include <Framekit/Display/CTQVisual.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include <Framekit/ObjectModel/TQObjectLookup.h>

#include <Geodex/CTQVector4.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQLoadGuard.h>
#include <Plinth/CTQTimer.h>
#include <Plinth/Log.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQViewport, CTQDisplayNode, kTQDefaultDataFormatVersion)

CTQViewport::CTQViewport() : m_pTimer(TQGetTimer()) {}

CTQViewport::~CTQViewport()
{
    Forget(m_pCamera);
    Forget(m_pScene);
}

// ---- Counted references --------------------------------------------------

void CTQViewport::Forget(CTQObject*& cached) const
{
    CTQObject* held = cached;
    cached = nullptr;
    if (held)
        held->Release();
}

// A held object is alive (the reference keeps it); an id that named nothing
// is looked up again.
CTQCamera* CTQViewport::ResolveCamera() const
{
    if (!m_pCamera)
        if ((m_pCamera = TQPeekObjectAs<CTQCamera>(m_nCameraId)))
            m_pCamera->AddRef();
    return static_cast<CTQCamera*>(m_pCamera);
}

CTQScene* CTQViewport::ResolveScene() const
{
    if (!m_pScene)
        if ((m_pScene = TQPeekObjectAs<CTQScene>(m_nSceneId)))
            m_pScene->AddRef();
    return static_cast<CTQScene*>(m_pScene);
}

void CTQViewport::SetCurrentScene(std::int32_t id)
{
    Forget(m_pScene);
    m_nSceneId = id;
    ResolveScene();
}

std::int32_t CTQViewport::GetCurrentScene() const
{
    return m_nSceneId;
}

bool CTQViewport::HasValidCurrentScene() const
{
    return ResolveScene() != nullptr;
}

void CTQViewport::SetCamera(std::int32_t id)
{
    Forget(m_pCamera);
    m_nCameraId = id;
    ResolveCamera();
}

std::int32_t CTQViewport::GetCamera() const
{
    return m_nCameraId;
}

bool CTQViewport::HasValidCamera() const
{
    return ResolveCamera() != nullptr;
}

const CTQMatrix44& CTQViewport::GetViewMatrix() const
{
    const CTQCamera* camera = ResolveCamera();
    return camera ? camera->GetViewMatrix() : CTQMatrix44::Identity;
}

const CTQMatrix44& CTQViewport::GetInvViewMatrix() const
{
    const CTQCamera* camera = ResolveCamera();
    return camera ? camera->GetInvViewMatrix() : CTQMatrix44::Identity;
}

// ---- Rendering -----------------------------------------------------------

void CTQViewport::Render()
{
    const std::vector<std::int32_t>& children = GetChildList();
    for (std::size_t i = 0; i < children.size(); ++i)
    {
        CTQVisual* child = TQPeekObjectAs<CTQVisual>(children[i]);
        if (child && child->IsVisible())
            child->Update();
    }
    for (std::size_t i = 0; i < children.size(); ++i)
        DisplayChild(children[i], false);
    SetCurrentScene(-1);
}

void CTQViewport::Precache()
{
    const std::vector<std::int32_t>& children = GetChildList();
    const float step = children.empty() ? 0.0f : 1.0f / static_cast<float>(children.size());
    for (std::size_t i = 0; i < children.size(); ++i)
    {
        CTQLoadGuard::Instance(step);
        DisplayChild(children[i], true);
    }
    CTQLoadGuard::Instance(1.0f);
}

// A child scene is current while it is shown; the scene that was current
// before (none included) comes back after it, so a visual that is no scene is
// never shown under a sibling scene's virtual space.
void CTQViewport::DisplayChild(std::int32_t id, bool precache)
{
    CTQVisual* child = TQPeekObjectAs<CTQVisual>(id);
    if (!child || (!precache && !child->IsVisible()))
        return;
    const bool isScene = child->IsOfType(CTQScene::GetClassType());
    const std::int32_t previous = m_nSceneId;
    if (isScene)
        SetCurrentScene(id);
    if (precache)
        child->Precache(GetId());
    else
        child->Display(GetId());
    if (isScene)
        SetCurrentScene(previous);
}

// ---- Plain settings --------------------------------------------------------

void CTQViewport::SetPos(const CTQPoint& pos)
{
    m_oPos = pos;
}

void CTQViewport::SetSize(const CTQSize& size)
{
    m_oSize = size;
    NotifyPropertyChange();
}

CTQPoint CTQViewport::GetPos() const
{
    return m_oPos;
}

CTQSize CTQViewport::GetSize() const
{
    return m_oSize;
}

void CTQViewport::SetClearColor(const CTQColor& color)
{
    m_oClearColor = color;
}

CTQColor CTQViewport::GetClearColor() const
{
    return m_oClearColor;
}

void CTQViewport::SetWireframeMode(bool wireframe)
{
    m_bWireframeMode = wireframe;
}

bool CTQViewport::GetWireframeMode() const
{
    return m_bWireframeMode;
}

void CTQViewport::SetRealtimeShadowMode(bool shadows)
{
    m_bRealtimeShadowMode = shadows;
}

bool CTQViewport::GetRealtimeShadowMode() const
{
    return m_bRealtimeShadowMode;
}

void CTQViewport::SetRealtimeShadowColor(CTQColor color)
{
    m_oRealtimeShadowColor = color;
}

CTQColor CTQViewport::GetRealtimeShadowColor() const
{
    return m_oRealtimeShadowColor;
}

// ---- Spaces --------------------------------------------------------------

CTQVector3 CTQViewport::MapWorldToPhysical(const CTQVector3& v) const
{
    CTQVector4 clip = m_oProjection * CTQVector4(GetInvViewMatrix() * v, 1.0f);
    clip.NormalizeW();
    return clip.GetVector3();
}

CTQVector3 CTQViewport::MapPhysicalToWorld(const CTQVector3& v) const
{
    CTQVector4 camera = m_oInvProjection * CTQVector4(v, 1.0f);
    camera.NormalizeW();
    return GetViewMatrix() * camera.GetVector3();
}

CTQVector3 CTQViewport::MapVirtualToPhysical(const CTQVector3& v) const
{
    const CTQScene* scene = ResolveScene();
    return MapWorldToPhysical(scene ? scene->MapVirtualToWorld(v) : v);
}

void CTQViewport::SetViewFrustum(float left, float right, float bottom, float top, float nearPlane, float farPlane,
                                 bool orthographic)
{
    m_fLeft = left;
    m_fRight = right;
    m_fBottom = bottom;
    m_fTop = top;
    m_fNear = nearPlane;
    m_fFar = farPlane;
    m_bOrthographic = orthographic;
    NotifyPropertyChange();
}

void CTQViewport::GetViewFrustum(float& left, float& right, float& bottom, float& top, float& nearPlane,
                                 float& farPlane) const
{
    left = m_fLeft;
    right = m_fRight;
    bottom = m_fBottom;
    top = m_fTop;
    nearPlane = m_fNear;
    farPlane = m_fFar;
}

namespace
{
enum : unsigned
{
    kOutsideRight = 1,
    kOutsideLeft = 2,
    kOutsideTop = 4,
    kOutsideBottom = 8,
    kOutsideFar = 16,
    kOutsideNear = 32,
};

// Which clip planes a clip-space point lies beyond (for both projections:
// inside is -w <= x, y, z <= w).
unsigned OutCode(const CTQVector4& c)
{
    unsigned code = 0;
    code |= c.x > c.w ? kOutsideRight : 0u;
    code |= c.x < -c.w ? kOutsideLeft : 0u;
    code |= c.y > c.w ? kOutsideTop : 0u;
    code |= c.y < -c.w ? kOutsideBottom : 0u;
    code |= c.z > c.w ? kOutsideFar : 0u;
    code |= c.z < -c.w ? kOutsideNear : 0u;
    return code;
}
} // namespace

// Corners are points (w = 1): the camera's translation applies to them. A
// box whose corners straddle a plane, or that the frustum passes through,
// is reported as intersecting (the test is conservative, never wrongly
// rejecting).
bool CTQViewport::DoesIntersectViewcone(const CTQVector3& min, const CTQVector3& max)
{
    const CTQMatrix44 worldToClip = m_oProjection * GetInvViewMatrix();
    unsigned common = 0xFFFF;
    for (int corner = 0; corner < 8 && common != 0; ++corner)
    {
        const CTQVector3 point((corner & 1) ? max.x : min.x, (corner & 2) ? max.y : min.y,
                               (corner & 4) ? max.z : min.z);
        common &= OutCode(worldToClip * CTQVector4(point, 1.0f));
    }
    return common == 0;
}

void CTQViewport::AddVisual(std::int32_t id)
{
    AddChild(id);
}

void CTQViewport::RemoveVisual(std::int32_t id)
{
    RemoveChild(id);
}

const _sTQDisplayModes& CTQViewport::GetPresentGfxMode() const
{
    return m_oPresentGfxMode;
}

void CTQViewport::SetDisplayMode(std::int32_t displayServer, const char*)
{
    const CTQDisplayServer* server = TQPeekObjectAs<CTQDisplayServer>(displayServer);
    if (!server)
        return;
    OnDisplaySizeChanged(CTQSize(server->GetDisplayWidth(), server->GetDisplayHeight()));
}

void CTQViewport::SetWindowCaption(const CTQString&) {}

// ---- Projection ----------------------------------------------------------

void CTQViewport::SetProjectionMatrix(const CTQMatrix44& m, bool computeInverse)
{
    m_oProjection = m;
    if (computeInverse)
        m_bInvProjectionValid = m.GetInverse(m_oInvProjection);
}

void CTQViewport::SetInvProjectionMatrix(const CTQMatrix44& m)
{
    m_oInvProjection = m;
    m_bInvProjectionValid = true;
}

void CTQViewport::NotifyPropertyChange()
{
    if (m_oSize.cx <= 0 || m_oSize.cy <= 0)
    {
        Debug_Warning("CTQViewport::NotifyPropertyChange(): viewport %d has no size yet; projection kept",
                      static_cast<int>(GetId()));
        return;
    }
    const float aspect = static_cast<float>(m_oSize.cx) / static_cast<float>(m_oSize.cy);
    const float l = m_fLeft;
    const float r = m_fRight;
    const float b = m_fBottom / aspect;
    const float t = m_fTop / aspect;
    const float n = m_fNear;
    const float f = m_fFar;
    if (r == l || t == b || f == n)
    {
        Debug_Warning("CTQViewport::NotifyPropertyChange(): viewport %d has an empty frustum; projection kept",
                      static_cast<int>(GetId()));
        return;
    }
    if (m_bOrthographic)
        ComputeOrthographic(l, r, b, t, n, f);
    else
        ComputePerspective(l, r, b, t, n, f);
}

void CTQViewport::ComputePerspective(float l, float r, float b, float t, float n, float f)
{
    m_oProjection = CTQMatrix44(2 * n / (r - l), 0, (r + l) / (r - l), 0,  //
                                0, 2 * n / (t - b), (t + b) / (t - b), 0,  //
                                0, 0, -(f + n) / (f - n), -2 * f * n / (f - n), //
                                0, 0, -1, 0);
    m_oInvProjection = CTQMatrix44((r - l) * -f, 0, 0, (r + l) * -f, //
                                   0, (t - b) * -f, 0, (t + b) * -f, //
                                   0, 0, 0, 2 * f * n,               //
                                   0, 0, f - n, -(f + n));
    m_bInvProjectionValid = true;
}

void CTQViewport::ComputeOrthographic(float l, float r, float b, float t, float n, float f)
{
    m_oProjection = CTQMatrix44(2 / (r - l), 0, 0, -(r + l) / (r - l), //
                                0, 2 / (t - b), 0, -(t + b) / (t - b), //
                                0, 0, 2 / (f - n), (f + n) / (f - n),  //
                                0, 0, 0, 1);
    m_bInvProjectionValid = m_oProjection.GetInverse(m_oInvProjection);
}

CTQTimer* CTQViewport::GetTimerRef()
{
    return m_pTimer;
}

void CTQViewport::SetPresentGfxMode(_sTQDisplayModes& mode)
{
    m_oPresentGfxMode = mode;
}

bool CTQViewport::GetFirstVisual(std::int32_t& id, std::int32_t& cursor)
{
    return GetFirstChild(id, cursor);
}

bool CTQViewport::GetNextVisual(std::int32_t& id, std::int32_t& cursor)
{
    return GetNextChild(id, cursor);
}

std::int32_t CTQViewport::GetSerializationMode() const
{
    return kTQSerializationModeSerialize;
}

void CTQViewport::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQDisplayNode>(s, *this);
    s.Serialize(m_nCameraId);
    s.Serialize(m_nSceneId);
    s.Serialize(m_bOrthographic);
    for (float* value : {&m_fLeft, &m_fRight, &m_fBottom, &m_fTop, &m_fNear, &m_fFar})
        s.Serialize(*value);
    TQSerializeMember(s, m_oPos);
    TQSerializeMember(s, m_oSize);
    TQSerializeMember(s, m_oProjection);
    TQSerializeMember(s, m_oInvProjection);
    s.Serialize(m_bInvProjectionValid);
    s.Serialize(m_nDeviceValue0);
    s.Serialize(m_nDeviceValue1);
    TQSerializeMember(s, m_oClearColor);
    s.Serialize(m_bWireframeMode);
    s.Serialize(m_bRealtimeShadowMode);
    TQSerializeMember(s, m_oRealtimeShadowColor);
    if (s.IsStoring())
        return;
    Forget(m_pCamera);
    Forget(m_pScene);
    ResolveCamera();
    ResolveScene();
    m_bDeviceReady = false;
    if (m_oSize.cx > 0 && m_oSize.cy > 0)
        NotifyPropertyChange();
}

#pragma once

#include <Framekit/Display/CTQColor.h>
#include <Framekit/Display/CTQDisplayNode.h>
#include <Framekit/Display/_sTQDisplayModes.h>
#include <Framekit/FramekitExport.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQPoint.h>
#include <Geodex/CTQSize.h>
#include <Geodex/CTQVector3.h>

#include <cstdint>

class CTQCamera;
class CTQDataStream;
class CTQScene;
class CTQString;
class CTQTimer;
class CTQVisual;

// A rectangle of the display with a projection (perspective or orthographic
// frustum), a current scene and a camera. Its children are the scenes it
// renders; it is itself a child of the display server, which tells it of mode
// changes.
//
// Spaces: world (+Z up), camera space (the camera's placement inverted),
// physical space (normalised device coordinates, -1 to 1 across the viewport
// after the division by w) and a scene's virtual space. Matrices act on
// column vectors with the translation in column 4.
//
// Projections, for the frustum l, r, b, t, n, f with the vertical extents
// divided by the aspect ratio (width / height) of the viewport:
//   perspective   rows (2n/(r-l), 0, (r+l)/(r-l), 0), (0, 2n/(t-b), (t+b)/(t-b), 0),
//                      (0, 0, -(f+n)/(f-n), -2fn/(f-n)), (0, 0, -1, 0);
//                 its stored inverse is -2fn times the exact one (users divide by w);
//   orthographic  rows (2/(r-l), 0, 0, -(r+l)/(r-l)), (0, 2/(t-b), 0, -(t+b)/(t-b)),
//                      (0, 0, 2/(f-n), (f+n)/(f-n)), (0, 0, 0, 1),
//                 which maps [l, r] and [b, t] onto [-1, 1] and the near plane to
//                 z = +1, the far plane to -1.
// Until the viewport has a size and a frustum with distinct bounds the
// projection stays the identity.
//
// The camera and the current scene are counted references: the viewport holds
// one reference on each object it has resolved from its id, and resolves an id
// that named no object again on use.
class FRAMEKIT_API CTQViewport : public CTQDisplayNode
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQViewport)

    CTQViewport();
    CTQViewport(const CTQViewport&) = delete;
    CTQViewport& operator=(const CTQViewport&) = delete;
    ~CTQViewport() override;

    // Device layer: told of every visual displayed in this viewport, in the
    // order Display() reaches them, while Render() runs.
    virtual void OnVisualDisplayed(CTQVisual& visual) = 0;
    // Updates every visible child visual, then displays each, making a child
    // scene the current scene while it is displayed (and the previous one
    // current again after it). Leaves no current scene.
    virtual void Render();
    // Precaches every child visual the same way, advancing the load guard by
    // one step per child and to its end at the end.
    virtual void Precache();
    // Device layer: the display mode changed to a display of this size.
    virtual void OnDisplaySizeChanged(const CTQSize& size) = 0;

    virtual void SetCurrentScene(std::int32_t id);
    virtual std::int32_t GetCurrentScene() const;
    virtual bool HasValidCurrentScene() const;
    virtual void SetCamera(std::int32_t id);
    virtual std::int32_t GetCamera() const;
    virtual bool HasValidCamera() const;
    virtual void SetPos(const CTQPoint& pos);
    virtual void SetSize(const CTQSize& size);
    virtual CTQPoint GetPos() const;
    virtual CTQSize GetSize() const;
    virtual void SetClearColor(const CTQColor& color);
    virtual CTQColor GetClearColor() const;
    virtual void SetWireframeMode(bool wireframe);
    virtual bool GetWireframeMode() const;
    virtual void SetRealtimeShadowMode(bool shadows);
    virtual bool GetRealtimeShadowMode() const;
    virtual void SetRealtimeShadowColor(CTQColor color);
    virtual CTQColor GetRealtimeShadowColor() const;
    // Physical coordinates of a world point (no pixel scaling).
    virtual CTQVector3 MapWorldToPhysical(const CTQVector3& v) const;
    // The world point of physical coordinates (z picks the depth).
    virtual CTQVector3 MapPhysicalToWorld(const CTQVector3& v) const;
    // Through the current scene's virtual space (none: virtual is world).
    virtual CTQVector3 MapVirtualToPhysical(const CTQVector3& v) const;
    virtual void SetViewFrustum(float left, float right, float bottom, float top, float nearPlane, float farPlane,
                                bool orthographic);
    virtual void GetViewFrustum(float& left, float& right, float& bottom, float& top, float& nearPlane,
                                float& farPlane) const;
    // Whether any part of the world box may be seen: its eight corners (as
    // points) are tested against the six planes of the view frustum, and the
    // box is rejected only when all of them lie beyond one and the same plane.
    virtual bool DoesIntersectViewcone(const CTQVector3& min, const CTQVector3& max);
    virtual void AddVisual(std::int32_t id);
    virtual void RemoveVisual(std::int32_t id);
    virtual const _sTQDisplayModes& GetPresentGfxMode() const;
    // Passes the display server's new size to OnDisplaySizeChanged.
    virtual void SetDisplayMode(std::int32_t displayServer, const char* mode);
    // Device layer; nothing here.
    virtual void SetWindowCaption(const CTQString& caption);

    void SetProjectionMatrix(const CTQMatrix44& m, bool computeInverse);
    void SetInvProjectionMatrix(const CTQMatrix44& m);
    const CTQMatrix44& GetProjectionMatrix() const { return m_oProjection; }
    const CTQMatrix44& GetInvProjectionMatrix() const { return m_oInvProjection; }
    bool HasValidInvProjectionMatrix() const { return m_bInvProjectionValid; }
    bool IsOrthographic() const { return m_bOrthographic; }
    // The camera's placement (camera to world) and its inverse; the identity
    // without a camera.
    const CTQMatrix44& GetViewMatrix() const;
    const CTQMatrix44& GetInvViewMatrix() const;
    bool GetFirstVisual(std::int32_t& id, std::int32_t& cursor);
    bool GetNextVisual(std::int32_t& id, std::int32_t& cursor);

    // Written by the object database, not created by it.
    std::int32_t GetSerializationMode() const override;
    // The display node part, camera and scene ids (4 each), orthographic (1),
    // the frustum (6 floats), position, size, projection and inverse
    // (versioned), inverse-valid (1), the two device values (4 each), clear
    // colour (versioned), wireframe and shadow modes (1 each) and shadow
    // colour (versioned). Loading resolves camera and scene again and
    // recomputes the projection.
    void Serialize(CTQDataStream& s) override;

protected:
    virtual CTQTimer* GetTimerRef();
    // Recomputes the projection from size and frustum. Without a size, or with
    // a frustum whose opposite bounds coincide, the projection is left as it
    // is and a diagnostic is logged.
    virtual void NotifyPropertyChange();
    virtual void SetPresentGfxMode(_sTQDisplayModes& mode);

    // Free for the device layer: two words and a flag that only it gives a
    // meaning (the flag is false after construction and after loading).
    std::int32_t m_nDeviceValue0 = 0;
    std::int32_t m_nDeviceValue1 = 0;
    bool m_bDeviceReady = false;

private:
    CTQCamera* ResolveCamera() const;
    CTQScene* ResolveScene() const;
    void Forget(CTQObject*& cached) const;
    void ComputePerspective(float l, float r, float b, float t, float n, float f);
    void ComputeOrthographic(float l, float r, float b, float t, float n, float f);
    void DisplayChild(std::int32_t id, bool precache);

    std::int32_t m_nCameraId = -1;
    mutable CTQObject* m_pCamera = nullptr;
    std::int32_t m_nSceneId = -1;
    mutable CTQObject* m_pScene = nullptr;
    bool m_bOrthographic = false;
    float m_fLeft = -1.0f;
    float m_fRight = 1.0f;
    float m_fBottom = -1.0f;
    float m_fTop = 1.0f;
    float m_fNear = 1.0f;
    float m_fFar = 1000.0f;
    CTQPoint m_oPos;
    CTQSize m_oSize;
    CTQMatrix44 m_oProjection;
    CTQMatrix44 m_oInvProjection;
    bool m_bInvProjectionValid = true;
    CTQColor m_oClearColor{0.0f, 0.0f, 0.0f, 1.0f};
    bool m_bWireframeMode = false;
    bool m_bRealtimeShadowMode = false;
    CTQColor m_oRealtimeShadowColor{0.0f, 0.0f, 0.0f, 0.3f};
    CTQTimer* m_pTimer = nullptr;
    _sTQDisplayModes m_oPresentGfxMode;
};

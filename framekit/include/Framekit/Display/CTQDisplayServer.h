#pragma once

#include <Framekit/Display/CTQDisplayNode.h>
#include <Framekit/Display/_sTQDisplayModes.h>
#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/ITQDeviceClassInfixSource.h>
#include <Plinth/CTQString.h>

#include <cstdint>

class CTQDataStream;

// The one object through which the game chooses a display mode and creates
// display objects by class name. This class holds the logic only: it parses
// mode strings, keeps the chosen resolution, colour depth and buffer depths,
// publishes them to the environment server and tells its viewports (its
// children). Opening the display, drawing, creating device objects and
// enumerating modes belong to a device layer deriving from it.
//
// A mode string is free text in which each setting is a tag directly followed
// by its value in round brackets, e.g. "dev(0) type(hal) w(1024) h(768)
// bpp(32) zbuf(24) sbuf(8)". A tag counts only as a whole word: "sw(5)" does
// not set "w".
//
// The newest display server is the current one (TQGetDisplayServer()) and the
// object database's source of the device class infix; destroying the current
// one leaves none, destroying another leaves the current one be.
class FRAMEKIT_API CTQDisplayServer : public CTQDisplayNode, public ITQDeviceClassInfixSource
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQDisplayServer)

    CTQDisplayServer();
    CTQDisplayServer(const CTQDisplayServer&) = delete;
    CTQDisplayServer& operator=(const CTQDisplayServer&) = delete;
    ~CTQDisplayServer() override;

    // Device layer; the base cannot change modes.
    virtual bool CanChangeDisplayMode() const;
    // Stores the mode string, takes over the tags it names (a missing tag keeps
    // its value), publishes "Display/Type" and "Display/Resolution/Width",
    // "Height" and "BPP" to the current environment server and tells every
    // viewport child. Never opens the display; always true.
    virtual bool SetDisplayMode(const char* mode);
    virtual const char* GetDisplayMode() const;
    // Device layer; the base opens nothing.
    virtual bool OpenDisplay();
    virtual void CloseDisplay();
    virtual bool IsDisplayOpen() const;

    // Device layer: each New... returns the new object's id. The base bodies,
    // which an implementation may call, return -1. Each Delete... is DeleteObject.
    virtual std::int32_t NewScene() = 0;
    virtual void DeleteScene(std::int32_t id);
    virtual std::int32_t NewCamera() = 0;
    virtual void DeleteCamera(std::int32_t id);
    virtual std::int32_t NewViewport() = 0;
    virtual void DeleteViewport(std::int32_t id);
    virtual std::int32_t NewPrimitive(int type, std::int32_t count) = 0;
    virtual void DeletePrimitive(std::int32_t id);

    // Creates an object through the object database under the device class
    // name ("CTQ" + infix + the rest: "CTQScene" becomes "CTQHeadlessScene").
    // When the device layer registered no class under that name, the plain
    // class is created. The new id, or -1.
    virtual std::int32_t CreateObject(const CTQString& className);
    // Asks the object database to destroy the object.
    virtual void DeleteObject(std::int32_t id);
    // Device layer: the infix of its class names; null or "" for none.
    const char* GetDeviceClassInfix() const override = 0;

    virtual void AddViewport(std::int32_t id);
    virtual void RemoveViewport(std::int32_t id);

    // Mode enumeration, device layer: call GetNextDisplayMode only while
    // HasMoredisplayModes() is true. The base has no modes; its
    // GetNextDisplayMode hands out an empty record owned by the server.
    virtual void BeginEnumDisplayModes();
    virtual bool HasMoredisplayModes();
    virtual _sTQDisplayModes& GetNextDisplayMode();
    virtual void EndEnumDisplayModes();

    // -1 until a mode string named them.
    int GetDisplayWidth() const { return m_nWidth; }
    int GetDisplayHeight() const { return m_nHeight; }
    int GetDisplayBPP() const { return m_nBpp; }
    int GetDisplayZBufferDepth() const { return m_nZBufferDepth; }
    int GetDisplaySBufferDepth() const { return m_nSBufferDepth; }
    const CTQString& GetDisplayType() const { return m_sType; }
    const CTQString& GetDisplayDevice() const { return m_sDevice; }
    bool GetFirstViewport(std::int32_t& id, std::int32_t& cursor);
    bool GetNextViewport(std::int32_t& id, std::int32_t& cursor);

    // Written by the object database, not created by it.
    std::int32_t GetSerializationMode() const override;
    // The display node part, then mode, type and device (strings; an empty one
    // loads as empty), then width, height, bpp, z- and stencil-buffer depth
    // (32 bits each).
    void Serialize(CTQDataStream& s) override;

protected:
    // The value in brackets behind the first whole-word occurrence of tag
    // followed by "(". False, with value empty, when there is none or its ")"
    // is missing.
    virtual bool GetModeTag(const CTQString& mode, const CTQString& tag, CTQString& value) const;

private:
    void TakeModeTags(const CTQString& mode);
    void PublishMode() const;
    void TellViewports(const char* mode);

    CTQString m_sMode;
    CTQString m_sType;
    CTQString m_sDevice;
    std::int32_t m_nWidth = -1;
    std::int32_t m_nHeight = -1;
    std::int32_t m_nBpp = -1;
    std::int32_t m_nZBufferDepth = -1;
    std::int32_t m_nSBufferDepth = -1;
    _sTQDisplayModes m_oEnumeratedMode;
};

// The current display server, or null.
FRAMEKIT_API CTQDisplayServer* TQGetDisplayServer();

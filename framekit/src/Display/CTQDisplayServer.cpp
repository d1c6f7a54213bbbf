#include <Framekit/Display/CTQDisplayServer.h>
#include <Framekit/Display/CTQViewport.h>
#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Framekit/ObjectModel/TQSerialize.h>

#include <Framekit/ObjectModel/TQObjectLookup.h>

#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQProperty.h>

#include <cctype>

TQ_IMPLEMENT_CLASS_TYPE(CTQDisplayServer, CTQDisplayNode, kTQDefaultDataFormatVersion)

namespace
{
CTQDisplayServer* s_pCurrentDisplayServer = nullptr;

// A tag starts a word when nothing that could belong to a longer tag is
// directly in front of it.
bool StartsWord(const CTQString& text, int at)
{
    if (at == 0)
        return true;
    const unsigned char before = static_cast<unsigned char>(text.GetAt(at - 1));
    return !std::isalnum(before) && before != '_';
}
} // namespace

CTQDisplayServer* TQGetDisplayServer()
{
    return s_pCurrentDisplayServer;
}

CTQDisplayServer::CTQDisplayServer()
{
    s_pCurrentDisplayServer = this;
    TQSetDeviceClassInfixSource(this);
}

CTQDisplayServer::~CTQDisplayServer()
{
    if (s_pCurrentDisplayServer == this)
        s_pCurrentDisplayServer = nullptr;
    if (TQGetDeviceClassInfixSource() == static_cast<ITQDeviceClassInfixSource*>(this))
        TQSetDeviceClassInfixSource(nullptr);
}

bool CTQDisplayServer::CanChangeDisplayMode() const
{
    return false;
}

bool CTQDisplayServer::SetDisplayMode(const char* mode)
{
    m_sMode = mode ? mode : "";
    TakeModeTags(m_sMode);
    PublishMode();
    TellViewports(m_sMode.GetString());
    return true;
}

void CTQDisplayServer::TakeModeTags(const CTQString& mode)
{
    CTQString value;
    if (GetModeTag(mode, "dev", value))
        m_sDevice = value;
    if (GetModeTag(mode, "type", value))
        m_sType = value;
    struct sNumberTag
    {
        const char* tag;
        std::int32_t* field;
    };
    const sNumberTag numbers[] = {{"w", &m_nWidth},
                                  {"h", &m_nHeight},
                                  {"bpp", &m_nBpp},
                                  {"zbuf", &m_nZBufferDepth},
                                  {"sbuf", &m_nSBufferDepth}};
    for (const sNumberTag& number : numbers)
        if (GetModeTag(mode, number.tag, value))
            *number.field = value.ToInt();
}

// Published whatever the mode string named, so the environment always holds
// the values in force.
void CTQDisplayServer::PublishMode() const
{
    CTQEnvironmentServer* environment = TQGetEnvironmentServer();
    if (!environment)
        return;
    environment->SetAttribute("Display/Resolution/Width", CTQProperty(m_nWidth));
    environment->SetAttribute("Display/Resolution/Height", CTQProperty(m_nHeight));
    environment->SetAttribute("Display/Resolution/BPP", CTQProperty(m_nBpp));
    environment->SetAttribute("Display/Type", CTQProperty(m_sType));
}

void CTQDisplayServer::TellViewports(const char* mode)
{
    const std::vector<std::int32_t>& children = GetChildList();
    // By place, not by iterator: a viewport may add or remove viewports while it resizes.
    for (std::size_t i = 0; i < children.size(); ++i)
        if (CTQViewport* viewport = TQPeekObjectAs<CTQViewport>(children[i]))
            viewport->SetDisplayMode(GetId(), mode);
}

const char* CTQDisplayServer::GetDisplayMode() const
{
    return m_sMode.GetString();
}

bool CTQDisplayServer::OpenDisplay()
{
    return false;
}

void CTQDisplayServer::CloseDisplay() {}

bool CTQDisplayServer::IsDisplayOpen() const
{
    return false;
}

std::int32_t CTQDisplayServer::NewScene()
{
    return -1;
}

void CTQDisplayServer::DeleteScene(std::int32_t id)
{
    DeleteObject(id);
}

std::int32_t CTQDisplayServer::NewCamera()
{
    return -1;
}

void CTQDisplayServer::DeleteCamera(std::int32_t id)
{
    DeleteObject(id);
}

std::int32_t CTQDisplayServer::NewViewport()
{
    return -1;
}

void CTQDisplayServer::DeleteViewport(std::int32_t id)
{
    DeleteObject(id);
}

std::int32_t CTQDisplayServer::NewPrimitive(int, std::int32_t)
{
    return -1;
}

void CTQDisplayServer::DeletePrimitive(std::int32_t id)
{
    DeleteObject(id);
}

// The device class is asked for first; the plain class stands in for a class
// the device layer does not specialise (a headless layer draws no scenes of
// its own), so that creating through the server never consumes an id on a
// name nobody registered.
std::int32_t CTQDisplayServer::CreateObject(const CTQString& className)
{
    CTQObjectDatabase* database = TQGetObjectDatabase();
    if (!database || className.IsEmpty())
        return -1;
    const char* infix = GetDeviceClassInfix();
    const CTQString deviceName = className.Left(3) + (infix ? infix : "") + className.Mid(3);
    const bool deviceKnown = CTQObjectFactory::IsValidClassType(deviceName);
    const std::int32_t id = database->CreateObject(deviceKnown ? deviceName : className);
    return TQPeekObject(id) ? id : -1;
}

void CTQDisplayServer::DeleteObject(std::int32_t id)
{
    if (CTQObjectDatabase* database = TQGetObjectDatabase())
        database->DestroyObject(id);
}

void CTQDisplayServer::AddViewport(std::int32_t id)
{
    CTQDisplayNode::AddChild(id);
}

void CTQDisplayServer::RemoveViewport(std::int32_t id)
{
    CTQDisplayNode::RemoveChild(id);
}

void CTQDisplayServer::BeginEnumDisplayModes() {}

bool CTQDisplayServer::HasMoredisplayModes()
{
    return false;
}

_sTQDisplayModes& CTQDisplayServer::GetNextDisplayMode()
{
    m_oEnumeratedMode = _sTQDisplayModes();
    return m_oEnumeratedMode;
}

void CTQDisplayServer::EndEnumDisplayModes() {}

bool CTQDisplayServer::GetFirstViewport(std::int32_t& id, std::int32_t& cursor)
{
    return CTQDisplayNode::GetFirstChild(id, cursor);
}

bool CTQDisplayServer::GetNextViewport(std::int32_t& id, std::int32_t& cursor)
{
    return CTQDisplayNode::GetNextChild(id, cursor);
}

bool CTQDisplayServer::GetModeTag(const CTQString& mode, const CTQString& tag, CTQString& value) const
{
    value.Empty();
    if (tag.IsEmpty())
        return false;
    const CTQString opening = tag + "(";
    for (int at = mode.Find(opening.GetString()); at >= 0; at = mode.Find(opening.GetString(), at + 1))
    {
        if (!StartsWord(mode, at))
            continue;
        const int first = at + opening.GetLength();
        const int closing = mode.Find(')', first);
        if (closing < 0)
            return false;
        value = mode.Mid(first, closing - first);
        return true;
    }
    return false;
}

std::int32_t CTQDisplayServer::GetSerializationMode() const
{
    return kTQSerializationModeSerialize;
}

void CTQDisplayServer::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQDisplayNode>(s, *this);
    TQSerializeString(s, m_sMode);
    TQSerializeString(s, m_sType);
    TQSerializeString(s, m_sDevice);
    s.Serialize(m_nWidth);
    s.Serialize(m_nHeight);
    s.Serialize(m_nBpp);
    s.Serialize(m_nZBufferDepth);
    s.Serialize(m_nSBufferDepth);
}

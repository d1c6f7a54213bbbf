#include <FramekitHeadless/CTQHeadlessKeyboard.h>

#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Plinth/CTQString.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessKeyboard, CTQKeyboard, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessKeyboard)

namespace
{
// The event flag a key holds while it is down; 0 for the other keys.
std::uint32_t FlagOfKey(std::int32_t key)
{
    switch (key)
    {
    case eKeyShift:
        return kInputEventFlagShift;
    case eKeyControl:
        return kInputEventFlagControl;
    case eKeyAlt:
        return kInputEventFlagAlt;
    default:
        return 0;
    }
}
} // namespace

bool CTQHeadlessKeyboard::NeedsPolling() const
{
    return false;
}

bool CTQHeadlessKeyboard::NeedsTrigger() const
{
    return true;
}

bool CTQHeadlessKeyboard::QueueKeyEvent(eInputEventType type, std::int32_t value)
{
    return QueueNewEvent(type, value, 0, 0, 0.0f, m_nHeldFlags);
}

bool CTQHeadlessKeyboard::PressKey(std::int32_t key)
{
    m_nHeldFlags |= FlagOfKey(key);
    return QueueKeyEvent(eInputEventKeyDown, key);
}

bool CTQHeadlessKeyboard::ReleaseKey(std::int32_t key)
{
    m_nHeldFlags &= ~FlagOfKey(key);
    return QueueKeyEvent(eInputEventKeyUp, key);
}

bool CTQHeadlessKeyboard::TapKey(std::int32_t key)
{
    const bool pressed = PressKey(key);
    const bool released = ReleaseKey(key);
    return pressed && released;
}

bool CTQHeadlessKeyboard::TypeChar(std::int32_t character)
{
    return QueueKeyEvent(eInputEventKeyChar, character);
}

bool CTQHeadlessKeyboard::TypeText(const CTQString& text)
{
    bool all = true;
    for (char c : text.view())
        all = TypeChar(static_cast<unsigned char>(c)) && all;
    return all;
}

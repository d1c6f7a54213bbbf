#pragma once

#include <Framekit/Input/CTQKeyboard.h>
#include <FramekitHeadless/HeadlessExport.h>

#include <cstdint>

class CTQString;

// A keyboard without hardware: a game or a test presses its keys by calling
// the feeding operations, each of which queues its events at once and returns
// true when every event reached the queue. Events carry the flags of the
// Shift, Control and Alt keys held when they are made (a Shift key-down event
// already counts Shift as held; its key-up no longer does). A device is fed
// from one thread at a time.
class FRAMEKITHEADLESS_API CTQHeadlessKeyboard : public CTQKeyboard
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessKeyboard)

    bool NeedsPolling() const override;
    bool NeedsTrigger() const override;

    // "key down" / "key up" of the key (an eKeyType code).
    bool PressKey(std::int32_t key);
    bool ReleaseKey(std::int32_t key);
    // Press and release.
    bool TapKey(std::int32_t key);
    // "key char" of the character.
    bool TypeChar(std::int32_t character);
    // "key char" for each byte of the text.
    bool TypeText(const CTQString& text);

    std::uint32_t GetHeldFlags() const { return m_nHeldFlags; }

private:
    bool QueueKeyEvent(eInputEventType type, std::int32_t value);

    std::uint32_t m_nHeldFlags = 0;
};

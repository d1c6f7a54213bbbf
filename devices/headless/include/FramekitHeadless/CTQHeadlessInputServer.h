#pragma once

#include <Framekit/Input/CTQInputServer.h>
#include <FramekitHeadless/HeadlessExport.h>

class CTQHeadlessJoystick;
class CTQHeadlessKeyboard;
class CTQHeadlessMouse;
class CTQObjectDatabase;

// The input server of the headless device layer. CreateDevices makes one
// headless mouse, keyboard and joystick in the current object database and
// enters them under new device ids; a game or a test then feeds them through
// GetMouse(), GetKeyboard() and GetJoystick().
//
// The server holds one reference on each device it made, so the pointers stay
// valid until DestroyDevices (also run at destruction), which takes the devices
// out, destroys their objects and drops the references.
class FRAMEKITHEADLESS_API CTQHeadlessInputServer : public CTQInputServer
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessInputServer)

    CTQHeadlessInputServer();
    ~CTQHeadlessInputServer() override;

    // True when the three devices are there afterwards; devices made before
    // are kept. False without an object database.
    bool CreateDevices() override;
    void DestroyDevices() override;

    // Null before CreateDevices and after DestroyDevices.
    CTQHeadlessMouse* GetMouse() const { return m_pMouse; }
    CTQHeadlessKeyboard* GetKeyboard() const { return m_pKeyboard; }
    CTQHeadlessJoystick* GetJoystick() const { return m_pJoystick; }

private:
    template <class TDevice>
    TDevice* MakeDevice(CTQObjectDatabase& database);
    void DropDevice(CTQInputDevice* device);

    CTQHeadlessMouse* m_pMouse = nullptr;
    CTQHeadlessKeyboard* m_pKeyboard = nullptr;
    CTQHeadlessJoystick* m_pJoystick = nullptr;
};

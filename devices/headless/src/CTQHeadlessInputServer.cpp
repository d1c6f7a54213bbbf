#include <FramekitHeadless/CTQHeadlessInputServer.h>

#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <FramekitHeadless/CTQHeadlessJoystick.h>
#include <FramekitHeadless/CTQHeadlessKeyboard.h>
#include <FramekitHeadless/CTQHeadlessMouse.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessInputServer, CTQInputServer, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessInputServer)

CTQHeadlessInputServer::CTQHeadlessInputServer() = default;

CTQHeadlessInputServer::~CTQHeadlessInputServer()
{
    CTQHeadlessInputServer::DestroyDevices();
}

template <class TDevice>
TDevice* CTQHeadlessInputServer::MakeDevice(CTQObjectDatabase& database)
{
    const std::int32_t objectId = database.CreateObject(TDevice::GetClassType().GetName());
    CTQObject* object = database.QueryObject(objectId);
    if (!object)
        return nullptr;
    auto* device = static_cast<TDevice*>(object);
    const std::int32_t deviceId = GetUniqueDeviceId();
    if (deviceId < 0 || !AddDevice(deviceId, objectId) || !device->Create())
    {
        DropDevice(device);
        return nullptr;
    }
    return device;
}

bool CTQHeadlessInputServer::CreateDevices()
{
    CTQObjectDatabase* database = TQGetObjectDatabase();
    if (!database)
        return false;
    if (!m_pMouse)
        m_pMouse = MakeDevice<CTQHeadlessMouse>(*database);
    if (!m_pKeyboard)
        m_pKeyboard = MakeDevice<CTQHeadlessKeyboard>(*database);
    if (!m_pJoystick)
        m_pJoystick = MakeDevice<CTQHeadlessJoystick>(*database);
    return m_pMouse && m_pKeyboard && m_pJoystick;
}

void CTQHeadlessInputServer::DropDevice(CTQInputDevice* device)
{
    if (!device)
        return;
    if (device->GetDeviceId() >= 0)
        RemoveDevice(device->GetDeviceId());
    device->Destroy();
    // The table's reference (with OnDestruct) when the object is still
    // entered, then ours; the object goes with the last.
    if (CTQObjectDatabase* database = TQGetObjectDatabase())
        database->DestroyObject(device->GetId());
    device->Release();
}

void CTQHeadlessInputServer::DestroyDevices()
{
    DropDevice(m_pMouse);
    DropDevice(m_pKeyboard);
    DropDevice(m_pJoystick);
    m_pMouse = nullptr;
    m_pKeyboard = nullptr;
    m_pJoystick = nullptr;
}

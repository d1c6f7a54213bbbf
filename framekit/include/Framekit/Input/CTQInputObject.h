#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>

#include <cstdint>

// The base of the input server, its devices, events and modifiers. Input objects
// are saved and, when missing, recreated by the object database (serialisation
// mode Serialize | Volatile).
class FRAMEKIT_API CTQInputObject : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQInputObject)

    std::int32_t GetSerializationMode() const override;
    // The CTQObject part in its bracket, then the two user values (4 bytes each).
    void Serialize(CTQDataStream& s) override;

    // Two values the library keeps and serialises but never reads: a game or a
    // device layer may tag input objects with them.
    std::int32_t GetUserValue1() const { return m_nUserValue1; }
    void SetUserValue1(std::int32_t value) { m_nUserValue1 = value; }
    std::int32_t GetUserValue2() const { return m_nUserValue2; }
    void SetUserValue2(std::int32_t value) { m_nUserValue2 = value; }

private:
    std::int32_t m_nUserValue1 = 0;
    std::int32_t m_nUserValue2 = 0;
};

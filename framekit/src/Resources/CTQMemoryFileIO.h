#pragma once

#include <Plinth/CFileIO.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// A CFileIO over bytes in memory, for one resource record at a time: the
// database file frames each record with its length, so a record is written here
// first (its length is then known without seeking back in the file) and read
// from here (it cannot read past its stated length into the next one).
//
// Only the typed binary values and the position operations work, with the same
// encoding and rules as on a file: a read that fails leaves the position where it
// was, and nothing is read past the end. Every other operation fails, as on a
// closed file. Records are written and read through exactly these operations.
class CTQMemoryFileIO final : public CFileIO
{
public:
    // Empties the buffer for writing a new record.
    void StartWriting();
    // Sizes the buffer for reading size bytes and returns where to put them; the
    // position goes to 0.
    std::uint8_t* StartReading(std::size_t size);
    const std::vector<std::uint8_t>& GetBytes() const { return m_aBytes; }

    bool ReadBool(bool& value) override;
    bool WriteBool(bool value) override;
    bool ReadInt16(std::int16_t& value) override;
    bool WriteInt16(std::int16_t value) override;
    bool ReadUInt16(std::uint16_t& value) override;
    bool WriteUInt16(std::uint16_t value) override;
    bool ReadInt32(std::int32_t& value) override;
    bool WriteInt32(std::int32_t value) override;
    bool ReadUInt32(std::uint32_t& value) override;
    bool WriteUInt32(std::uint32_t value) override;
    bool ReadInt(int& value) override;
    bool WriteInt(int value) override;
    bool ReadFloat(float& value) override;
    bool WriteFloat(float value) override;
    bool ReadString(CTQString& value) override;
    bool WriteString(const CTQString& value) override;

    bool Skip(std::int32_t bytes) override;
    bool Seek(std::int32_t offset, int origin) override;
    std::int32_t GetPosition() const override;
    std::int32_t GetSize() const override;

private:
    template <class T>
    bool ReadValue(T& value);
    template <class T>
    bool WriteValue(T value);
    bool ReadBytes(void* data, std::size_t size);
    bool WriteBytes(const void* data, std::size_t size);

    std::vector<std::uint8_t> m_aBytes;
    std::size_t m_nPos = 0;
    bool m_bWriting = true;
};

#include "CTQMemoryFileIO.h"

#include <Plinth/CTQDataStream.h>

#include <cstring>
#include <limits>
#include <string>

void CTQMemoryFileIO::StartWriting()
{
    m_aBytes.clear();
    m_nPos = 0;
    m_bWriting = true;
}

std::uint8_t* CTQMemoryFileIO::StartReading(std::size_t size)
{
    m_aBytes.resize(size);
    m_nPos = 0;
    m_bWriting = false;
    return m_aBytes.data();
}

bool CTQMemoryFileIO::ReadBytes(void* data, std::size_t size)
{
    if (m_bWriting || m_aBytes.size() - m_nPos < size)
        return false;
    if (size > 0)
        std::memcpy(data, m_aBytes.data() + m_nPos, size);
    m_nPos += size;
    return true;
}

bool CTQMemoryFileIO::WriteBytes(const void* data, std::size_t size)
{
    // Positions are 32-bit, as on a file.
    if (!m_bWriting || m_nPos + size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return false;
    if (m_nPos + size > m_aBytes.size())
        m_aBytes.resize(m_nPos + size);
    if (size > 0)
        std::memcpy(m_aBytes.data() + m_nPos, data, size);
    m_nPos += size;
    return true;
}

template <class T>
bool CTQMemoryFileIO::ReadValue(T& value)
{
    T raw;
    if (!ReadBytes(&raw, sizeof raw))
        return false;
    value = TQDetail::ToLittleEndian(raw);
    return true;
}

template <class T>
bool CTQMemoryFileIO::WriteValue(T value)
{
    const T raw = TQDetail::ToLittleEndian(value);
    return WriteBytes(&raw, sizeof raw);
}

bool CTQMemoryFileIO::ReadBool(bool& value)
{
    std::uint8_t byte = 0;
    if (!ReadBytes(&byte, 1))
        return false;
    value = byte != 0;
    return true;
}

bool CTQMemoryFileIO::WriteBool(bool value)
{
    const std::uint8_t byte = value ? 1 : 0;
    return WriteBytes(&byte, 1);
}

bool CTQMemoryFileIO::ReadInt16(std::int16_t& value)
{
    return ReadValue(value);
}

bool CTQMemoryFileIO::WriteInt16(std::int16_t value)
{
    return WriteValue(value);
}

bool CTQMemoryFileIO::ReadUInt16(std::uint16_t& value)
{
    return ReadValue(value);
}

bool CTQMemoryFileIO::WriteUInt16(std::uint16_t value)
{
    return WriteValue(value);
}

bool CTQMemoryFileIO::ReadInt32(std::int32_t& value)
{
    return ReadValue(value);
}

bool CTQMemoryFileIO::WriteInt32(std::int32_t value)
{
    return WriteValue(value);
}

bool CTQMemoryFileIO::ReadUInt32(std::uint32_t& value)
{
    return ReadValue(value);
}

bool CTQMemoryFileIO::WriteUInt32(std::uint32_t value)
{
    return WriteValue(value);
}

bool CTQMemoryFileIO::ReadInt(int& value)
{
    return ReadValue(value);
}

bool CTQMemoryFileIO::WriteInt(int value)
{
    return WriteValue(value);
}

bool CTQMemoryFileIO::ReadFloat(float& value)
{
    return ReadValue(value);
}

bool CTQMemoryFileIO::WriteFloat(float value)
{
    return WriteValue(value);
}

bool CTQMemoryFileIO::ReadString(CTQString& value)
{
    const std::size_t start = m_nPos;
    std::int32_t length = 0;
    if (!ReadValue(length))
        return false;
    if (length < 0 || static_cast<std::size_t>(length) > m_aBytes.size() - m_nPos)
    {
        m_nPos = start;
        return false;
    }
    std::string text(reinterpret_cast<const char*>(m_aBytes.data() + m_nPos), static_cast<std::size_t>(length));
    m_nPos += static_cast<std::size_t>(length);
    value = CTQString(std::move(text));
    return true;
}

bool CTQMemoryFileIO::WriteString(const CTQString& value)
{
    const std::size_t start = m_nPos;
    if (WriteValue(static_cast<std::int32_t>(value.GetLength())) && WriteBytes(value.GetString(), value.view().size()))
        return true;
    m_nPos = start;
    return false;
}

bool CTQMemoryFileIO::Skip(std::int32_t bytes)
{
    return Seek(bytes, eSeekCurrent);
}

bool CTQMemoryFileIO::Seek(std::int32_t offset, int origin)
{
    std::int64_t base = 0;
    if (origin == eSeekCurrent)
        base = static_cast<std::int64_t>(m_nPos);
    else if (origin == eSeekEnd)
        base = static_cast<std::int64_t>(m_aBytes.size());
    else if (origin != eSeekBegin)
        return false;
    const std::int64_t target = base + offset;
    if (target < 0 || target > static_cast<std::int64_t>(m_aBytes.size()))
        return false;
    m_nPos = static_cast<std::size_t>(target);
    return true;
}

std::int32_t CTQMemoryFileIO::GetPosition() const
{
    return static_cast<std::int32_t>(m_nPos);
}

std::int32_t CTQMemoryFileIO::GetSize() const
{
    return static_cast<std::int32_t>(m_aBytes.size());
}

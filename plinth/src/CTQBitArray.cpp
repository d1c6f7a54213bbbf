#include <Plinth/CTQBitArray.h>

#include <Plinth/CTQDataStream.h>

#include <algorithm>
#include <limits>

CTQBitArray::CTQBitArray(int numBits)
{
    SetSize(numBits);
}

void CTQBitArray::SetSize(int numBits)
{
    m_nBits = std::max(numBits, 0);
    m_aBytes.resize(BytesFor(static_cast<std::uint32_t>(m_nBits)), 0);
    // Shrinking may leave old bits above the new count in the last byte.
    ClearPadding();
}

void CTQBitArray::SetBit(int index, bool value)
{
    if (!IsInRange(index))
        return;
    std::uint8_t mask = static_cast<std::uint8_t>(1u << (index % 8));
    std::uint8_t& byte = m_aBytes[static_cast<std::size_t>(index / 8)];
    byte = static_cast<std::uint8_t>(value ? (byte | mask) : (byte & ~mask));
}

bool CTQBitArray::GetBit(int index) const
{
    if (!IsInRange(index))
        return false;
    return (m_aBytes[static_cast<std::size_t>(index / 8)] >> (index % 8)) & 1u;
}

void CTQBitArray::Clear()
{
    std::fill(m_aBytes.begin(), m_aBytes.end(), std::uint8_t{0});
}

void CTQBitArray::SetAll()
{
    std::fill(m_aBytes.begin(), m_aBytes.end(), std::uint8_t{0xFF});
    ClearPadding();
}

bool CTQBitArray::IsAnySet() const
{
    // Padding bits are always 0, so whole bytes can be tested.
    return std::any_of(m_aBytes.begin(), m_aBytes.end(), [](std::uint8_t byte) { return byte != 0; });
}

void CTQBitArray::ClearPadding()
{
    int used = m_nBits % 8;
    if (used != 0 && !m_aBytes.empty())
        m_aBytes.back() = static_cast<std::uint8_t>(m_aBytes.back() & ((1u << used) - 1u));
}

bool CTQBitArray::Serialize(CTQDataStream& stream)
{
    if (stream.IsStoring())
    {
        stream.Write<std::uint32_t>(static_cast<std::uint32_t>(m_nBits));
        stream.Put(m_aBytes.data(), static_cast<std::uint32_t>(m_aBytes.size()));
        return true;
    }

    std::uint32_t numBits = 0;
    if (!stream.Read(numBits))
        return false;
    if (numBits > static_cast<std::uint32_t>(std::numeric_limits<int>::max()))
    {
        stream.SetFailed();
        return false;
    }
    std::uint32_t numBytes = static_cast<std::uint32_t>(BytesFor(numBits));
    if (!stream.CheckCount(numBytes, 1))
        return false;
    std::vector<std::uint8_t> bytes(numBytes);
    if (!stream.Get(bytes.data(), numBytes))
        return false;
    m_nBits = static_cast<int>(numBits);
    m_aBytes = std::move(bytes);
    ClearPadding();
    return true;
}

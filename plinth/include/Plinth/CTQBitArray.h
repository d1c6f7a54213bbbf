#pragma once

#include <Plinth/PlinthExport.h>

#include <cstdint>
#include <vector>

class CTQDataStream;

// A fixed number of flags, packed eight to a byte (bit i in byte i / 8, at
// bit position i % 8). Reads outside the array give false and writes outside
// it change nothing.
//
// Serialised form: the bit count as a 32-bit unsigned integer, then
// (count + 7) / 8 bytes. Bits past the count in the last byte are written as 0
// and ignored when read.
class PLINTH_API CTQBitArray
{
public:
    explicit CTQBitArray(int numBits = 0);

    // Keeps the bits below the new size; new bits are false. Negative sizes count as 0.
    void SetSize(int numBits);
    int GetSize() const { return m_nBits; }

    void SetBit(int index, bool value = true);
    bool GetBit(int index) const;
    void ClearBit(int index) { SetBit(index, false); }
    // All bits false / all bits true.
    void Clear();
    void SetAll();
    bool IsAnySet() const;

    // Writes when the stream is storing, reads when it is loading. A load that
    // finds fewer bytes than the count needs fails the stream, returns false and
    // leaves the array as it was.
    bool Serialize(CTQDataStream& stream);

    bool operator==(const CTQBitArray& other) const = default;

private:
    static std::size_t BytesFor(std::uint32_t numBits) { return numBits / 8 + (numBits % 8 != 0 ? 1 : 0); }
    bool IsInRange(int index) const { return index >= 0 && index < m_nBits; }
    // Restores the invariant that bits past the count are 0.
    void ClearPadding();

    int m_nBits = 0;
    std::vector<std::uint8_t> m_aBytes;
};

#pragma once

#include <Framekit/FramekitExport.h>

#include <cstdint>

class CTQDataStream;

// Packed 32-bit colour layouts, named from the most significant byte down.
enum eTQColorFormat : std::int32_t
{
    eTQColorFormat_RGB = 0,      // 0x00RRGGBB
    eTQColorFormat_RGBA = 1,     // 0xRRGGBBAA
    eTQColorFormat_ARGB = 2,     // 0xAARRGGBB
    eTQColorFormat_BGRA = 3,     // 0xBBGGRRAA
    eTQColorFormat_Direct3D = 4, // 0xAARRGGBB
    eTQColorFormat_OpenGL = 5,   // 0xAABBGGRR
};

// A colour of four 32-bit float channels r, g, b, a, nominally in [0, 1].
//
// Packing turns each channel into a byte as (int)(c × 255) truncated toward
// zero, after clamping the channel to [0, 1] (so 1.5 packs as 255 and -0.2 as
// 0, never as the wrapped low bits; not-a-number packs as 0). The channels
// themselves are never changed by packing; Clip() clamps them on request.
//
// Serialised as r, g, b, a (4-byte little-endian floats); an owner brackets it.
class FRAMEKIT_API CTQColor
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    // (0, 0, 0, 1).
    CTQColor() = default;
    CTQColor(const CTQColor&) = default;
    CTQColor& operator=(const CTQColor&) = default;
    CTQColor(float r, float g, float b, float a) : m_fR(r), m_fG(g), m_fB(b), m_fA(a) {}
    // Each channel from the low byte of its integer: (v & 255) / 255.
    CTQColor(int r, int g, int b, int a);
    virtual ~CTQColor() = default;

    void Set(float r, float g, float b, float a);
    // Each channel byte / 255.
    void Set(unsigned char r, unsigned char g, unsigned char b, unsigned char a);
    void SetR(unsigned char r);
    void SetG(unsigned char g);
    void SetB(unsigned char b);
    void SetA(unsigned char a);
    float GetR() const { return m_fR; }
    float GetG() const { return m_fG; }
    float GetB() const { return m_fB; }
    float GetA() const { return m_fA; }
    float& R() { return m_fR; }
    float& G() { return m_fG; }
    float& B() { return m_fB; }
    float& A() { return m_fA; }
    // The packed byte of each channel (clamped, then (int)(c × 255)).
    int GetRAsByte() const;
    int GetGAsByte() const;
    int GetBAsByte() const;
    int GetAAsByte() const;

    // Component-wise on all four channels; no clamping.
    CTQColor operator+(const CTQColor& c) const;
    CTQColor& operator+=(const CTQColor& c);
    CTQColor operator-(const CTQColor& c) const;
    CTQColor& operator-=(const CTQColor& c);
    CTQColor operator*(float s) const;
    CTQColor& operator*=(float s);
    CTQColor& operator*=(const CTQColor& c);
    // All four channels exactly.
    bool operator==(const CTQColor& c) const;
    bool operator!=(const CTQColor& c) const { return !(*this == c); }

    // Each channel above 1 becomes 1, then each below 0 becomes 0.
    void Clip();

    std::uint32_t AsRGB() const;
    std::uint32_t AsRGBA() const;
    std::uint32_t AsARGB() const;
    std::uint32_t AsBGRA() const;
    std::uint32_t AsDirect3D() const;
    std::uint32_t AsOpenGL() const;
    // One of the layouts above by value; 0 for a value that names none.
    std::uint32_t AsFormat(eTQColorFormat format) const;
    // The same 32 bits read as a float (the form some vertex formats take).
    float AsFormatFloat(eTQColorFormat format) const;
    // The inverse of AsFormat: each byte / 255; RGB carries no alpha and sets
    // it to 0. A value that names no layout leaves the colour unchanged.
    void SetAs(std::uint32_t packed, eTQColorFormat format);

    virtual bool CanSerialize() const { return true; }
    virtual void Serialize(CTQDataStream& s);

protected:
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

private:
    float m_fR = 0.0f;
    float m_fG = 0.0f;
    float m_fB = 0.0f;
    float m_fA = 1.0f;
};

inline CTQColor operator*(float s, const CTQColor& c)
{
    return c * s;
}

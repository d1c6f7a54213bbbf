#include <Framekit/Display/CTQColor.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>

#include <Plinth/CTQDataStream.h>

#include <bit>

int CTQColor::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;

namespace
{
constexpr float kByteScale = 255.0f;

float FromByte(int value)
{
    return static_cast<float>(value & 0xFF) / kByteScale;
}

// Clamped first, so a channel outside [0, 1] packs as the nearest end instead
// of wrapping into the low bits of an out-of-range integer. The comparisons
// are written so that not-a-number falls to 0.
std::uint32_t ToByte(float channel)
{
    if (!(channel > 0.0f))
        return 0;
    if (channel >= 1.0f)
        return 0xFF;
    return static_cast<std::uint32_t>(static_cast<int>(channel * kByteScale)) & 0xFF;
}

// Four bytes from the most significant down.
std::uint32_t Pack(std::uint32_t b3, std::uint32_t b2, std::uint32_t b1, std::uint32_t b0)
{
    return (b3 << 24) | (b2 << 16) | (b1 << 8) | b0;
}

int ByteAt(std::uint32_t packed, int shift)
{
    return static_cast<int>((packed >> shift) & 0xFF);
}
} // namespace

CTQColor::CTQColor(int r, int g, int b, int a) : m_fR(FromByte(r)), m_fG(FromByte(g)), m_fB(FromByte(b)), m_fA(FromByte(a))
{
}

void CTQColor::Set(float r, float g, float b, float a)
{
    m_fR = r;
    m_fG = g;
    m_fB = b;
    m_fA = a;
}

void CTQColor::Set(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
    m_fR = FromByte(r);
    m_fG = FromByte(g);
    m_fB = FromByte(b);
    m_fA = FromByte(a);
}

void CTQColor::SetR(unsigned char r)
{
    m_fR = FromByte(r);
}

void CTQColor::SetG(unsigned char g)
{
    m_fG = FromByte(g);
}

void CTQColor::SetB(unsigned char b)
{
    m_fB = FromByte(b);
}

void CTQColor::SetA(unsigned char a)
{
    m_fA = FromByte(a);
}

int CTQColor::GetRAsByte() const
{
    return static_cast<int>(ToByte(m_fR));
}

int CTQColor::GetGAsByte() const
{
    return static_cast<int>(ToByte(m_fG));
}

int CTQColor::GetBAsByte() const
{
    return static_cast<int>(ToByte(m_fB));
}

int CTQColor::GetAAsByte() const
{
    return static_cast<int>(ToByte(m_fA));
}

CTQColor CTQColor::operator+(const CTQColor& c) const
{
    return CTQColor(m_fR + c.m_fR, m_fG + c.m_fG, m_fB + c.m_fB, m_fA + c.m_fA);
}

CTQColor& CTQColor::operator+=(const CTQColor& c)
{
    return *this = *this + c;
}

CTQColor CTQColor::operator-(const CTQColor& c) const
{
    return CTQColor(m_fR - c.m_fR, m_fG - c.m_fG, m_fB - c.m_fB, m_fA - c.m_fA);
}

CTQColor& CTQColor::operator-=(const CTQColor& c)
{
    return *this = *this - c;
}

CTQColor CTQColor::operator*(float s) const
{
    return CTQColor(m_fR * s, m_fG * s, m_fB * s, m_fA * s);
}

CTQColor& CTQColor::operator*=(float s)
{
    return *this = *this * s;
}

CTQColor& CTQColor::operator*=(const CTQColor& c)
{
    m_fR *= c.m_fR;
    m_fG *= c.m_fG;
    m_fB *= c.m_fB;
    m_fA *= c.m_fA;
    return *this;
}

bool CTQColor::operator==(const CTQColor& c) const
{
    return m_fR == c.m_fR && m_fG == c.m_fG && m_fB == c.m_fB && m_fA == c.m_fA;
}

void CTQColor::Clip()
{
    for (float* channel : {&m_fR, &m_fG, &m_fB, &m_fA})
    {
        if (*channel > 1.0f)
            *channel = 1.0f;
        if (*channel < 0.0f)
            *channel = 0.0f;
    }
}

std::uint32_t CTQColor::AsRGB() const
{
    return Pack(0, ToByte(m_fR), ToByte(m_fG), ToByte(m_fB));
}

std::uint32_t CTQColor::AsRGBA() const
{
    return Pack(ToByte(m_fR), ToByte(m_fG), ToByte(m_fB), ToByte(m_fA));
}

std::uint32_t CTQColor::AsARGB() const
{
    return Pack(ToByte(m_fA), ToByte(m_fR), ToByte(m_fG), ToByte(m_fB));
}

std::uint32_t CTQColor::AsBGRA() const
{
    return Pack(ToByte(m_fB), ToByte(m_fG), ToByte(m_fR), ToByte(m_fA));
}

std::uint32_t CTQColor::AsDirect3D() const
{
    return AsARGB();
}

std::uint32_t CTQColor::AsOpenGL() const
{
    return Pack(ToByte(m_fA), ToByte(m_fB), ToByte(m_fG), ToByte(m_fR));
}

std::uint32_t CTQColor::AsFormat(eTQColorFormat format) const
{
    switch (format)
    {
    case eTQColorFormat_RGB:
        return AsRGB();
    case eTQColorFormat_RGBA:
        return AsRGBA();
    case eTQColorFormat_ARGB:
        return AsARGB();
    case eTQColorFormat_BGRA:
        return AsBGRA();
    case eTQColorFormat_Direct3D:
        return AsDirect3D();
    case eTQColorFormat_OpenGL:
        return AsOpenGL();
    }
    return 0;
}

float CTQColor::AsFormatFloat(eTQColorFormat format) const
{
    return std::bit_cast<float>(AsFormat(format));
}

void CTQColor::SetAs(std::uint32_t packed, eTQColorFormat format)
{
    const int b3 = ByteAt(packed, 24);
    const int b2 = ByteAt(packed, 16);
    const int b1 = ByteAt(packed, 8);
    const int b0 = ByteAt(packed, 0);
    switch (format)
    {
    case eTQColorFormat_RGB:
        Set(FromByte(b2), FromByte(b1), FromByte(b0), 0.0f);
        return;
    case eTQColorFormat_RGBA:
        Set(FromByte(b3), FromByte(b2), FromByte(b1), FromByte(b0));
        return;
    case eTQColorFormat_ARGB:
    case eTQColorFormat_Direct3D:
        Set(FromByte(b2), FromByte(b1), FromByte(b0), FromByte(b3));
        return;
    case eTQColorFormat_BGRA:
        Set(FromByte(b1), FromByte(b2), FromByte(b3), FromByte(b0));
        return;
    case eTQColorFormat_OpenGL:
        Set(FromByte(b0), FromByte(b1), FromByte(b2), FromByte(b3));
        return;
    }
}

void CTQColor::Serialize(CTQDataStream& s)
{
    s.Serialize(m_fR);
    s.Serialize(m_fG);
    s.Serialize(m_fB);
    s.Serialize(m_fA);
}

#include "DisplayTestSupport.h"

#include <bit>
#include <cmath>
#include <limits>

using namespace DisplayTest;

namespace
{
void ExpectColor(const CTQColor& c, float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(c.GetR(), r);
    EXPECT_FLOAT_EQ(c.GetG(), g);
    EXPECT_FLOAT_EQ(c.GetB(), b);
    EXPECT_FLOAT_EQ(c.GetA(), a);
}

constexpr eTQColorFormat kAllFormats[] = {eTQColorFormat_RGB,  eTQColorFormat_RGBA,     eTQColorFormat_ARGB,
                                          eTQColorFormat_BGRA, eTQColorFormat_Direct3D, eTQColorFormat_OpenGL};
} // namespace

TEST(CTQColorTest, EveryLayoutPlacesTheChannelsAsDocumented)
{
    const CTQColor c(1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_EQ(c.AsRGB(), 0x00FF7F00u);
    EXPECT_EQ(c.AsRGBA(), 0xFF7F00FFu);
    EXPECT_EQ(c.AsARGB(), 0xFFFF7F00u);
    EXPECT_EQ(c.AsDirect3D(), 0xFFFF7F00u);
    EXPECT_EQ(c.AsBGRA(), 0x007FFFFFu);
    EXPECT_EQ(c.AsOpenGL(), 0xFF007FFFu);

    // Four different channels, so that a swapped pair shows.
    CTQColor d;
    d.Set(static_cast<unsigned char>(0x11), 0x22, 0x33, 0x44);
    EXPECT_EQ(d.AsFormat(eTQColorFormat_RGB), 0x00112233u);
    EXPECT_EQ(d.AsFormat(eTQColorFormat_RGBA), 0x11223344u);
    EXPECT_EQ(d.AsFormat(eTQColorFormat_ARGB), 0x44112233u);
    EXPECT_EQ(d.AsFormat(eTQColorFormat_BGRA), 0x33221144u);
    EXPECT_EQ(d.AsFormat(eTQColorFormat_Direct3D), 0x44112233u);
    EXPECT_EQ(d.AsFormat(eTQColorFormat_OpenGL), 0x44332211u);
    EXPECT_EQ(d.AsFormat(static_cast<eTQColorFormat>(6)), 0u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(d.AsFormatFloat(eTQColorFormat_RGBA)), 0x11223344u);
}

TEST(CTQColorTest, PackingTruncates)
{
    EXPECT_EQ(CTQColor(0.999f, 0.0f, 0.0f, 0.0f).GetRAsByte(), 254);
    EXPECT_EQ(CTQColor(0.5f, 0.0f, 0.0f, 0.0f).GetRAsByte(), 127);
}

TEST(CTQColorTest, ChannelsOutsideTheRangeAreClampedBeforePacking)
{
    const CTQColor c(1.5f, -0.2f, 0.5f, 2.0f);
    EXPECT_EQ(c.AsRGBA(), 0xFF007FFFu) << "1.5 must not wrap to 382 & 255 = 126, -0.2 not to 0xCD";
    EXPECT_EQ(c.GetGAsByte(), 0);
    EXPECT_EQ(c.GetAAsByte(), 255);
    ExpectColor(c, 1.5f, -0.2f, 0.5f, 2.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(CTQColor(nan, 1.0f, nan, nan).AsRGBA(), 0x00FF0000u);
}

TEST(CTQColorTest, UnpackingIsTheInverseInEveryLayout)
{
    for (eTQColorFormat format : kAllFormats)
    {
        for (std::uint32_t value = 0; value < 256; ++value)
        {
            const std::uint32_t packed = value | ((255 - value) << 8) | (((value * 7) & 255) << 16) | 0x5A000000u;
            CTQColor c;
            c.SetAs(packed, format);
            const std::uint32_t expected = format == eTQColorFormat_RGB ? (packed & 0x00FFFFFFu) : packed;
            ASSERT_EQ(c.AsFormat(format), expected) << "format " << format << ", byte " << value;
        }
    }
}

TEST(CTQColorTest, UnpackingRgbGivesNoAlpha)
{
    CTQColor c;
    c.SetAs(0x336699u, eTQColorFormat_RGB);
    ExpectColor(c, 0.2f, 0.4f, 0.6f, 0.0f);
    c.SetAs(0x33669911u, eTQColorFormat_BGRA);
    ExpectColor(c, 0x99 / 255.0f, 0x66 / 255.0f, 0x33 / 255.0f, 0x11 / 255.0f);
    c.SetAs(0xFFFFFFFFu, static_cast<eTQColorFormat>(9));
    ExpectColor(c, 0x99 / 255.0f, 0x66 / 255.0f, 0x33 / 255.0f, 0x11 / 255.0f);
}

TEST(CTQColorTest, ClipClampsEachChannel)
{
    CTQColor c(1.5f, -0.2f, 0.5f, 1.0f);
    c.Clip();
    ExpectColor(c, 1.0f, 0.0f, 0.5f, 1.0f);
}

TEST(CTQColorTest, DefaultIsOpaqueBlackAndByteConstructionUsesTheLowByte)
{
    ExpectColor(CTQColor(), 0, 0, 0, 1);
    ExpectColor(CTQColor(256 + 255, 0, 51, -1), 1.0f, 0.0f, 0.2f, 1.0f);
    CTQColor c;
    c.SetR(255);
    c.SetA(0);
    ExpectColor(c, 1.0f, 0.0f, 0.0f, 0.0f);
}

TEST(CTQColorTest, ArithmeticWorksOnAllFourChannels)
{
    CTQColor a(0.5f, 0.25f, 1.0f, 1.0f);
    const CTQColor b(0.25f, 0.25f, 0.5f, 0.5f);
    ExpectColor(a + b, 0.75f, 0.5f, 1.5f, 1.5f);
    ExpectColor(a - b, 0.25f, 0.0f, 0.5f, 0.5f);
    ExpectColor(a * 2.0f, 1.0f, 0.5f, 2.0f, 2.0f);
    ExpectColor(2.0f * a, 1.0f, 0.5f, 2.0f, 2.0f);
    a *= b;
    ExpectColor(a, 0.125f, 0.0625f, 0.5f, 0.5f);
    a += b;
    a -= b;
    EXPECT_EQ(a, CTQColor(0.125f, 0.0625f, 0.5f, 0.5f));
    EXPECT_NE(a, CTQColor(0.125f, 0.0625f, 0.5f, 0.25f));
    a.R() = 0.0f;
    EXPECT_FLOAT_EQ(a.GetR(), 0.0f);
}

TEST(CTQColorTest, StoredAsFourFloatsInOrder)
{
    CTQColor c(0.25f, 0.5f, 0.75f, 1.0f);
    ByteWriter expected;
    expected.F32(0.25f).F32(0.5f).F32(0.75f).F32(1.0f);
    EXPECT_EQ(Store(c), expected.Get());
    CTQColor loaded;
    ASSERT_TRUE(Load(loaded, expected.Get()));
    EXPECT_EQ(loaded, c);
}

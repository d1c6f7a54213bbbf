#include "VisualResTestSupport.h"

#include <Framekit/Resources/CTQ3DVisualRes.h>
#include <Framekit/Resources/CTQResourceFactory.h>

#include <gtest/gtest.h>

#include <string>

using namespace VisualResTest;

namespace
{
// ParseVertexBuffer is the resource's own business; the tests reach it the way a
// game does, by naming a file.
struct Geometry
{
    CTQVector3 min;
    CTQVector3 max;
    std::int32_t vertices = -1;
    std::int32_t triangles = -1;
};

Geometry GeometryOf(const CTQ3DVisualRes& res)
{
    Geometry g;
    res.GetBounds(g.min, g.max);
    g.vertices = res.GetVertexCount();
    g.triangles = res.GetTriangleCount();
    return g;
}

Geometry Parse(const std::string& text)
{
    TempPath path(".vb");
    TestSupport::WriteFileBytes(path, text);
    CTQ3DVisualRes res;
    res.SetVertexbufferFilename(path.c_str());
    return GeometryOf(res);
}

void ExpectVector(const CTQVector3& v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}
} // namespace

// ---- The vertex-buffer parser ----------------------------------------------------------------

TEST(CTQ3DVisualResTest, BoundsAndCountsOfASmallFile)
{
    const Geometry g = Parse("v 1 2 3\nv -1 5 0\nf 1 2 3\n");
    ExpectVector(g.min, -1, 2, 0);
    ExpectVector(g.max, 1, 5, 3);
    EXPECT_EQ(g.vertices, 2);
    EXPECT_EQ(g.triangles, 1);
}

TEST(CTQ3DVisualResTest, FaceIndicesPastTheThirdAreNotCounted)
{
    // Two quads: 3 + 3 counted indices make 2 triangles, not 8 / 3 = 2 by luck:
    // three quads would give 4 if every index counted (12 / 3), 3 as it is.
    EXPECT_EQ(Parse("f 1 2 3 4\nf 1 2 3 4\n").triangles, 2);
    EXPECT_EQ(Parse("f 1 2 3 4\nf 1 2 3 4\nf 1 2 3 4\n").triangles, 3);
    // Short faces add what they have: 2 + 1 indices are one triangle.
    EXPECT_EQ(Parse("f 1 2\nf 3\n").triangles, 1);
}

TEST(CTQ3DVisualResTest, VertexLineWithTwoNumbersIsIgnored)
{
    const Geometry g = Parse("v 4 4 4\nv -9 -9\n");
    EXPECT_EQ(g.vertices, 1);
    ExpectVector(g.min, 4, 4, 4);
    ExpectVector(g.max, 4, 4, 4);
}

TEST(CTQ3DVisualResTest, UnparsableVertexIsSkippedNotCountedWithGarbage)
{
    // Each bad line would, counted, either add a vertex or pull the bounds to 0 or
    // to a garbage value.
    const Geometry g = Parse("v 1 1 1\n"
                             "v 1 abc 3\n"
                             "v 2 2 2x\n"
                             "v nan 0 0\n"
                             "v 1e999 0 0\n"
                             "v - 0 0\n"
                             "v 3 3 3\n");
    EXPECT_EQ(g.vertices, 2);
    ExpectVector(g.min, 1, 1, 1);
    ExpectVector(g.max, 3, 3, 3);
}

TEST(CTQ3DVisualResTest, OverlongLineIsOneLineAndItsTailIsNotParsed)
{
    const std::string pad(CTQ3DVisualRes::kMaxLineLength - 1, ' ');
    // A comment whose characters past the limit look like a vertex and a face.
    std::string text = "#" + pad + "v 100 100 100\n";
    text += "#" + pad + "f 1 2 3\n";
    // A vertex line made overlong by trailing blanks still counts once.
    text += "v 1 2 3" + std::string(3 * CTQ3DVisualRes::kMaxLineLength, ' ') + "v 9 9 9\n";
    text += "f 1 1 1\n";
    const Geometry g = Parse(text);
    EXPECT_EQ(g.vertices, 1);
    ExpectVector(g.max, 1, 2, 3);
    EXPECT_EQ(g.triangles, 1);
}

TEST(CTQ3DVisualResTest, TabsCarriageReturnsExponentsAndOtherLineKinds)
{
    const Geometry g = Parse("# a comment\r\n"
                             "vt 0.5 0.5\r\n"
                             "vn 0 0 100\r\n"
                             "\tv\t+1.5e1 -2.5E-1  0\r\n"
                             "\r\n"
                             "v 0 0 -4"); // last line without a line end
    EXPECT_EQ(g.vertices, 2);
    ExpectVector(g.min, 0, -0.25f, -4);
    ExpectVector(g.max, 15, 0, 0);
    EXPECT_EQ(g.triangles, 0);
}

TEST(CTQ3DVisualResTest, NamingAnotherFileDescribesThatFileAlone)
{
    TempPath first(".vb");
    TempPath second(".vb");
    TestSupport::WriteFileBytes(first, std::string("v -10 -10 -10\nv 10 10 10\nf 1 2 1\n"));
    TestSupport::WriteFileBytes(second, std::string("v 1 1 1\n"));
    CTQ3DVisualRes res;
    res.SetVertexbufferFilename(first.c_str());
    res.SetVertexbufferFilename(second.c_str());
    const Geometry g = GeometryOf(res);
    ExpectVector(g.min, 1, 1, 1);
    ExpectVector(g.max, 1, 1, 1);
    EXPECT_EQ(g.vertices, 1);
    EXPECT_EQ(g.triangles, 0);
    EXPECT_EQ(res.GetVertexbufferFilename(), CTQString(second.c_str()));
}

TEST(CTQ3DVisualResTest, MissingFileGivesZeroCountsKeepsBoundsAndWarns)
{
    TempPath good(".vb");
    TempPath missing(".vb");
    TestSupport::WriteFileBytes(good, std::string("v 1 2 3\nf 1 1 1\n"));
    CTQ3DVisualRes res;
    res.SetVertexbufferFilename(good.c_str());
    WarningCapture warnings;
    res.SetVertexbufferFilename(missing.c_str());
    const Geometry g = GeometryOf(res);
    EXPECT_EQ(g.vertices, 0);
    EXPECT_EQ(g.triangles, 0);
    ExpectVector(g.min, 1, 2, 3);
    ExpectVector(g.max, 1, 2, 3);
    EXPECT_EQ(res.GetVertexbufferFilename(), CTQString(missing.c_str()));
    ASSERT_EQ(warnings.Texts().size(), 1u);
    EXPECT_NE(warnings.Texts()[0].find(missing.c_str()), std::string::npos);

    // An empty name is refused by the file layer the same way.
    res.SetVertexbufferFilename("");
    EXPECT_EQ(res.GetVertexCount(), 0);
}

TEST(CTQ3DVisualResTest, FileWithoutVerticesLeavesTheBounds)
{
    TempPath withVertex(".vb");
    TempPath withoutVertex(".vb");
    TestSupport::WriteFileBytes(withVertex, std::string("v 7 8 9\n"));
    TestSupport::WriteFileBytes(withoutVertex, std::string("f 1 2 3\n\n\n"));
    CTQ3DVisualRes res;
    res.SetVertexbufferFilename(withVertex.c_str());
    res.SetVertexbufferFilename(withoutVertex.c_str());
    const Geometry g = GeometryOf(res);
    ExpectVector(g.min, 7, 8, 9);
    ExpectVector(g.max, 7, 8, 9);
    EXPECT_EQ(g.vertices, 0);
    EXPECT_EQ(g.triangles, 1);
}

TEST(CTQ3DVisualResTest, GivenGeometryIsTakenWithoutOpeningTheFile)
{
    CTQ3DVisualRes res;
    WarningCapture warnings;
    res.SetVertexbuffer("not/there.vb", CTQVector3(-1, -2, -3), CTQVector3(4, 5, 6), 8, 12);
    EXPECT_TRUE(warnings.Texts().empty());
    const Geometry g = GeometryOf(res);
    ExpectVector(g.min, -1, -2, -3);
    ExpectVector(g.max, 4, 5, 6);
    EXPECT_EQ(g.vertices, 8);
    EXPECT_EQ(g.triangles, 12);
    res.SetVertexbuffer("x", CTQVector3(), CTQVector3(), -5, -1);
    EXPECT_EQ(res.GetVertexCount(), 0);
    EXPECT_EQ(res.GetTriangleCount(), 0);
}

// ---- The record ---------------------------------------------------------------------------------

namespace
{
Bytes ExpectedRecord()
{
    ByteWriter b;
    b.Raw(BareResourceRecord(-1, "box"));
    b.U16(0).U16(0).Str("box.vb").Str("box.png");
    b.F32(-1).F32(-2.5f).F32(-3).F32(4).F32(5).F32(6.25f);
    b.I32(8).I32(12);
    return b.Get();
}

void Configure(CTQ3DVisualRes& res)
{
    res.SetName("box");
    res.SetTextureFilename("box.png");
    res.SetVertexbuffer("box.vb", CTQVector3(-1, -2.5f, -3), CTQVector3(4, 5, 6.25f), 8, 12);
}
} // namespace

TEST(CTQ3DVisualResTest, RecordBytesAreExact)
{
    TempPath path;
    CTQ3DVisualRes res;
    Configure(res);
    ASSERT_TRUE(SaveTo(res, path));
    EXPECT_EQ(TestSupport::ReadFileBytes(path), ExpectedRecord());
}

TEST(CTQ3DVisualResTest, RecordRoundTrip)
{
    TempPath path;
    TestSupport::WriteFileBytes(path, ExpectedRecord());
    CTQ3DVisualRes res;
    ASSERT_TRUE(LoadFrom(res, path));
    EXPECT_EQ(res.GetName(), "box");
    EXPECT_EQ(res.GetVertexbufferFilename(), "box.vb");
    EXPECT_EQ(res.GetTextureFilename(), "box.png");
    const Geometry g = GeometryOf(res);
    ExpectVector(g.min, -1, -2.5f, -3);
    ExpectVector(g.max, 4, 5, 6.25f);
    EXPECT_EQ(g.vertices, 8);
    EXPECT_EQ(g.triangles, 12);
}

TEST(CTQ3DVisualResTest, RecordWithOtherMarkerOrVersionIsRejected)
{
    const std::size_t base = BareResourceRecord(-1, "box").size();
    for (std::size_t at : {base, base + 2})
    {
        Bytes bytes = ExpectedRecord();
        bytes[at] = 1;
        TempPath path;
        TestSupport::WriteFileBytes(path, bytes);
        CTQ3DVisualRes res;
        EXPECT_FALSE(LoadFrom(res, path)) << "byte " << at;
        // Nothing past the rejected value was taken.
        EXPECT_TRUE(res.GetVertexbufferFilename().IsEmpty());
    }
}

TEST(CTQ3DVisualResTest, TruncatedRecordFailsAtEveryLength)
{
    const Bytes full = ExpectedRecord();
    for (std::size_t length = 0; length < full.size(); ++length)
    {
        TempPath path;
        TestSupport::WriteFileBytes(path, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)));
        CTQ3DVisualRes res;
        EXPECT_FALSE(LoadFrom(res, path)) << "length " << length;
    }
}

TEST(CTQ3DVisualResTest, NegativeCountIsRejected)
{
    Bytes bytes = ExpectedRecord();
    // The vertex count is the next to last 32-bit value.
    bytes[bytes.size() - 5] = 0xFF;
    TempPath path;
    TestSupport::WriteFileBytes(path, bytes);
    CTQ3DVisualRes res;
    EXPECT_FALSE(LoadFrom(res, path));
}

TEST(CTQ3DVisualResTest, ClassTypeAndNotCreatableByItself)
{
    CTQ3DVisualRes res;
    EXPECT_TRUE(res.IsOfType(CTQResource::GetClassType()));
    EXPECT_EQ(res.GetType().GetName(), "CTQ3DVisualRes");
    EXPECT_FALSE(CTQResourceFactory::IsValidClassType("CTQ3DVisualRes"));
    EXPECT_EQ(res.GetAssociatedCommandObjectNode(), "CTQResourceInstanceCommandObject");
}

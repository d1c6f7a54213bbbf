#include "ToolTestSupport.h"

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Framekit/Resources/CTQResourceFactory.h>
#include <Plinth/CFileIO.h>

#include <nlohmann/json.hpp>

namespace
{
using CResDumperTest = ToolFixture;

// Registered only while a test holds its factory entry, to make files with a type
// that the dumper does not know.
class CToolTransientRes : public CTQResource
{
public:
    TQ_DECLARE_CLASS_TYPE(CToolTransientRes)
};
TQ_IMPLEMENT_CLASS_TYPE(CToolTransientRes, CTQResource, kTQDefaultDataFormatVersion)

// Everything the format can hold, including what only a damaged or hand-made file
// has: names shared by two resources (referred to by id), a reference to an id that
// is not in the file, back-links that no reference makes, non-finite floats, an
// empty attribute, a visual whose vertex buffer is not at hand.
const char* kEverything = R"({
  "resources": [
    {"id": 7, "name": "crate", "resourceClass": "Crates", "associatedClass": "CGameCrate", "singleton": true,
     "attributes": {"n": {"int": -2147483648}, "f": {"float": 0.1}, "fTiny": {"float": 1e-45},
                    "fNan": {"float": "nan"}, "fInf": {"float": "-inf"}, "s": {"string": "h\u00e9 \"q\""},
                    "x": {"none": null}},
     "references": {"refLid": "lid", "refOtherClass": {"resource": "lid", "class": "Other"},
                    "refTwin": {"id": 2}, "refGone": {"id": 99, "class": "G"}, "refUnset": {"id": -1}},
     "dependencies": [2, 40]},
    {"id": 3, "name": "lid", "type": "CTQMeshVisualRes", "resourceClass": "Lids",
     "visual": {"vertexBuffer": "gone/lid.vb", "texture": "lid.png", "mesh": "lid.mesh",
                "boundsMin": [-1.5, 0, 1e-3], "boundsMax": [3.4e38, 2, "inf"], "vertexCount": 36, "triangleCount": 12}},
    {"id": 2, "name": "twin"}, {"id": 1, "name": "twin", "references": {"refCrate": "crate"}}
  ]
})";
} // namespace

TEST_F(CResDumperTest, BuildDumpBuildGivesTheSameBytes)
{
    CResReport report;
    ASSERT_TRUE(Build("first", kEverything, report)) << OnlyError(report);
    std::string json;
    ASSERT_TRUE(Dump("first.res", json, report)) << OnlyError(report);
    ASSERT_TRUE(Build("second", json, report)) << OnlyError(report) << json;
    EXPECT_EQ(Bytes("second.res"), Bytes("first.res"));
    std::string again;
    ASSERT_TRUE(Dump("second.res", again, report));
    EXPECT_EQ(again, json);
    EXPECT_TRUE(report.GetWarnings().empty());
}

TEST_F(CResDumperTest, DumpPrintsReferencesByNameAndOnlyUnexpectedBackLinks)
{
    CResReport report;
    ASSERT_TRUE(Build("first", kEverything, report));
    std::string text;
    ASSERT_TRUE(Dump("first.res", text, report));
    const auto json = nlohmann::json::parse(text);
    const auto& crate = json["resources"][3];
    ASSERT_EQ(crate["id"], 7);
    EXPECT_EQ(crate["references"]["refLid"], "lid");
    EXPECT_EQ(crate["references"]["refOtherClass"], nlohmann::json::parse(R"({"resource": "lid", "class": "Other"})"));
    // "twin" is not unique: the id is printed, with the class the reference holds.
    EXPECT_EQ(crate["references"]["refTwin"], nlohmann::json::parse(R"({"id": 2, "class": ""})"));
    // Given dependencies replace the back-links: 2 and 40, not 1 that twin 1's
    // reference would make. They differ from what the references make: printed.
    EXPECT_EQ(crate["dependencies"], nlohmann::json::parse("[2, 40]"));
    EXPECT_EQ(crate["attributes"]["f"]["float"].dump(), "0.1");
    // The lid's back-link from the crate is what the reference makes: not printed.
    EXPECT_FALSE(json["resources"][2].contains("dependencies"));
    EXPECT_EQ(json["resources"][2]["visual"]["vertexCount"], 36);
}

// A file made by the library itself, not by the tool: dumped and built again it
// comes back byte for byte.
TEST_F(CResDumperTest, FileMadeByTheLibraryComesBack)
{
    {
        CTQResourceClassDatabase classes;
        CTQLocalResourceDatabase db;
        ASSERT_TRUE(classes.CreateResourceClass("Doors", "CTQResource"));
        const std::int32_t door = db.CreateResourceFromClass("door", "Doors");
        const std::int32_t frame = db.CreateResource("frame", "CTQMeshVisualRes");
        CTQResource* resource = db.QueryResource(door);
        resource->SetAttribute("fAngle", 90.0f);
        resource->AddReference("refFrame", frame, "Frames");
        db.ReleaseResource(door);
        CFileIO file;
        file.Open(Path("lib.res").c_str(), CFileIO::eWrite);
        ASSERT_TRUE(db.Save(&file));
    }
    CResReport report;
    std::string json;
    ASSERT_TRUE(Dump("lib.res", json, report)) << OnlyError(report);
    ASSERT_TRUE(Build("rebuilt", json, report)) << OnlyError(report);
    EXPECT_EQ(Bytes("rebuilt.res"), Bytes("lib.res"));
}

TEST_F(CResDumperTest, ClassFileRoundTrip)
{
    CResReport report;
    ASSERT_TRUE(Build("classes", R"({"kind": "classes", "resources": [
        {"name": "B", "type": "CTQMeshVisualRes", "attributes": {"f": {"float": 2}},
         "references": {"refX": {"id": 5, "class": "X"}}, "dependencies": [8],
         "visual": {"texture": "t.png", "boundsMin": [0, 0, 0], "boundsMax": [1, 1, 1],
                    "vertexCount": 8, "triangleCount": 12}},
        {"name": "A", "singleton": true}]})",
                      report))
        << OnlyError(report);
    std::string json;
    ASSERT_TRUE(Dump("classes.res", json, report)) << OnlyError(report);
    EXPECT_EQ(nlohmann::json::parse(json)["kind"], "classes");
    ASSERT_TRUE(Build("again", json, report)) << OnlyError(report);
    EXPECT_EQ(Bytes("again.res"), Bytes("classes.res"));
}

TEST_F(CResDumperTest, EmptyFilesOfBothKindsAreToldApart)
{
    CResReport report;
    ASSERT_TRUE(Build("db", R"({"resources": []})", report));
    ASSERT_TRUE(Build("cls", R"({"kind": "classes", "resources": []})", report));
    EXPECT_EQ(Bytes("db.res").size(), 12u);
    EXPECT_EQ(Bytes("cls.res").size(), 8u);
    std::string json;
    ASSERT_TRUE(Dump("db.res", json, report));
    EXPECT_EQ(nlohmann::json::parse(json)["kind"], "database");
    ASSERT_TRUE(Dump("cls.res", json, report));
    EXPECT_EQ(nlohmann::json::parse(json)["kind"], "classes");
}

// ---- Files that cannot be dumped whole ----------------------------------------------------------

TEST_F(CResDumperTest, NotAResourceFileOrNoFileAtAll)
{
    Write("text.res", "hello, world");
    CResReport report;
    std::string json;
    EXPECT_FALSE(Dump("text.res", json, report));
    EXPECT_TRUE(json.empty());
    EXPECT_TRUE(Mentions(OnlyError(report), {Path("text.res"), "not a resource file"}));

    CResReport missing;
    EXPECT_FALSE(Dump("absent.res", json, missing));
    EXPECT_TRUE(Mentions(OnlyError(missing), {Path("absent.res")}));
}

TEST_F(CResDumperTest, TruncatedFilePrintsWhatWasReadAndFails)
{
    CResReport report;
    ASSERT_TRUE(Build("full", R"({"resources": [{"name": "a"}, {"name": "b"}, {"name": "c"}]})", report));
    TestSupport::Bytes bytes = Bytes("full.res");
    bytes.resize(bytes.size() - 10);
    Write("cut.res", std::string(bytes.begin(), bytes.end()));
    std::string json;
    EXPECT_FALSE(Dump("cut.res", json, report));
    EXPECT_TRUE(Mentions(OnlyError(report), {Path("cut.res"), "record 2 of 3"}));
    EXPECT_EQ(nlohmann::json::parse(json)["resources"].size(), 2u);
}

TEST_F(CResDumperTest, RecordOfAnUnknownTypeIsNamedAndLeftOut)
{
    CResReport report;
    {
        CTQResourceFactoryT<CToolTransientRes> entry;
        ASSERT_TRUE(Build("t", R"({"resources": [{"name": "a"}, {"id": 6, "name": "odd", "type": "CToolTransientRes"}]})",
                          report))
            << OnlyError(report);
    }
    std::string json;
    EXPECT_FALSE(Dump("t.res", json, report));
    EXPECT_TRUE(Mentions(OnlyError(report), {Path("t.res"), "'odd' (id 6)", "'CToolTransientRes'"}));
    EXPECT_EQ(nlohmann::json::parse(json)["resources"].size(), 1u);
}

TEST_F(CResDumperTest, RecordThatCannotBeReadIsNamed)
{
    CResReport report;
    ASSERT_TRUE(Build("r", R"({"resources": [{"id": 4, "name": "bad"}, {"id": 5, "name": "good"}]})", report));
    TestSupport::Bytes bytes = Bytes("r.res");
    // The first record's marker, just past the header (12), the type (4 + 11), the
    // empty resource class (4) and the length (4).
    bytes[12 + 15 + 4 + 4] = 1;
    Write("r.res", std::string(bytes.begin(), bytes.end()));
    std::string json;
    EXPECT_FALSE(Dump("r.res", json, report));
    EXPECT_TRUE(Mentions(OnlyError(report), {"(id 4)", "cannot be read"}));
    EXPECT_EQ(nlohmann::json::parse(json)["resources"][0]["name"], "good");
}

// Placements print their resource by name where the name is unique in the file,
// else by id; flags only when set; the file built again from the print is the
// same, byte for byte.
TEST_F(CResDumperTest, ObjectListsPrintTheirPlacementsAndBuildBackTheSame)
{
    CResReport report;
    ASSERT_TRUE(Build("first", R"({"resources": [
        {"id": 1, "name": "tree", "associatedClass": "CTQVisual3d"},
        {"id": 2, "name": "twin"}, {"id": 3, "name": "twin"},
        {"id": 5, "name": "scenery", "type": "CTQObjectListRes",
         "objects": [{"resource": "tree", "pos": [1.5, -2, 0.1], "rotation": [0, -0.0, 3.25], "flags": 32769},
                     {"resource": 3}, {"resource": 99, "pos": ["inf", 0, 0]}, {"resource": -1}]}]})",
                      report))
        << OnlyError(report);
    std::string json;
    ASSERT_TRUE(Dump("first.res", json, report)) << OnlyError(report);
    const nlohmann::ordered_json document = nlohmann::ordered_json::parse(json);
    const nlohmann::ordered_json& objects = document["resources"][3]["objects"];
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0]["resource"], "tree");
    EXPECT_EQ(objects[0]["flags"], 32769);
    EXPECT_EQ(objects[1]["resource"], 3) << "'twin' names two resources";
    EXPECT_EQ(objects[2]["resource"], 99);
    EXPECT_EQ(objects[2]["pos"][0], "inf");
    EXPECT_FALSE(objects[3].contains("flags"));
    ASSERT_TRUE(Build("second", json, report)) << OnlyError(report) << json;
    EXPECT_EQ(Bytes("second.res"), Bytes("first.res"));
}

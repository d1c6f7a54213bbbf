#include "ToolTestSupport.h"

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQMeshVisualRes.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Framekit/Spatial/CTQObjectListRes.h>
#include <Plinth/CFileIO.h>

#include <memory>

namespace
{
using CResBuilderTest = ToolFixture;

// A built file loaded the way the game loads it.
class Loaded
{
public:
    explicit Loaded(const std::string& path)
    {
        CFileIO file;
        file.Open(path.c_str(), CFileIO::eRead);
        ok = db.Load(&file);
    }
    ~Loaded()
    {
        for (CTQResource* resource : held)
            db.ReleaseResource(resource->GetId());
    }
    CTQResource* operator[](std::int32_t id)
    {
        CTQResource* resource = db.QueryResource(id);
        if (resource)
            held.push_back(resource);
        return resource;
    }

    CTQResourceClassDatabase classes;
    CTQLocalResourceDatabase db;
    bool ok = false;

private:
    std::vector<CTQResource*> held;
};

const char* kLevel = R"({
  // Comments are allowed: descriptions are written by hand.
  "resources": [
    {"name": "crate", "resourceClass": "Crates", "associatedClass": "CGameCrate", "singleton": true,
     "attributes": {"nHealth": {"int": -7}, "fMass": {"float": 2.5}, "szLabel": {"string": "oak"},
                    "bBreakable": {"bool": true}, "xNothing": {"none": null}},
     "references": {"refLid": "lid", "refKey": {"resource": "key", "class": "Keys"},
                    "refFar": {"id": 77, "class": "Far"}, "refUnset": {"id": -1}}},
    {"id": 0, "name": "lid", "type": "CTQMeshVisualRes", "resourceClass": "Lids",
     "visual": {"vertexBuffer": "meshes/lid.vb", "texture": "lid.png", "mesh": "lid.mesh"}},
    {"name": "key"}
  ]
})";
} // namespace

TEST_F(CResBuilderTest, EveryPartOfTheDescriptionReachesTheFile)
{
    std::filesystem::create_directories(Path("meshes"));
    Write("meshes/lid.vb", "v -1 0 2\nv 3 4 5\nf 1 2 1\n");
    CResReport report;
    ASSERT_TRUE(Build("level", kLevel, report)) << OnlyError(report);

    Loaded file(Path("level.res"));
    ASSERT_TRUE(file.ok);
    // Given id 0 first; the others take the smallest free ids in list order.
    ASSERT_EQ(file.db.GetCount(), 3);
    CTQResource* crate = file[1];
    CTQResource* lid = file[0];
    CTQResource* key = file[2];
    ASSERT_TRUE(crate && lid && key);
    EXPECT_EQ(crate->GetName(), "crate");
    EXPECT_EQ(crate->GetType().GetName(), "CTQResource");
    EXPECT_EQ(crate->GetAssociatedClassType(), "CGameCrate");
    EXPECT_TRUE(crate->IsSingleton());
    CTQString resourceClass;
    EXPECT_TRUE(file.db.GetResourceClassType(1, resourceClass));
    EXPECT_EQ(resourceClass, "Crates");

    EXPECT_EQ((*crate)["nHealth"].GetType(), eTQPropertyType::Integer);
    EXPECT_EQ((*crate)["nHealth"].GetInt(), -7);
    EXPECT_EQ((*crate)["fMass"].GetType(), eTQPropertyType::Number);
    EXPECT_EQ((*crate)["fMass"].GetFloat(), 2.5f);
    EXPECT_EQ((*crate)["szLabel"].GetString(), "oak");
    EXPECT_EQ((*crate)["bBreakable"].GetInt(), 1);
    EXPECT_TRUE(crate->HasAttribute("xNothing"));
    EXPECT_TRUE((*crate)["xNothing"].IsEmpty());

    // A reference by name takes the target's id and, unless given, its resource class.
    CTQString classType;
    EXPECT_EQ(crate->GetReferenceId("refLid"), 0);
    EXPECT_TRUE(crate->GetReferenceResourceClassType("refLid", classType));
    EXPECT_EQ(classType, "Lids");
    EXPECT_EQ(crate->GetReferenceId("refKey"), 2);
    EXPECT_TRUE(crate->GetReferenceResourceClassType("refKey", classType));
    EXPECT_EQ(classType, "Keys");
    EXPECT_EQ(crate->GetReferenceId("refFar"), 77);
    EXPECT_EQ(crate->GetReferenceId("refUnset"), -1);
    EXPECT_TRUE(crate->HasReference("refUnset"));
    // Back-links, in both targets that are in the file.
    EXPECT_TRUE(lid->DoesDependOn(1));
    EXPECT_TRUE(key->DoesDependOn(1));
    EXPECT_EQ(lid->GetNumDependencies(), 1);

    // The vertex buffer is read beside the description; the name stays as written.
    ASSERT_TRUE(lid->IsOfType(CTQMeshVisualRes::GetClassType()));
    auto* mesh = static_cast<CTQMeshVisualRes*>(lid);
    EXPECT_EQ(mesh->GetVertexbufferFilename(), "meshes/lid.vb");
    EXPECT_EQ(mesh->GetTextureFilename(), "lid.png");
    EXPECT_EQ(mesh->GetMeshFilename(), "lid.mesh");
    CTQVector3 min;
    CTQVector3 max;
    mesh->GetBounds(min, max);
    EXPECT_EQ(min, CTQVector3(-1, 0, 2));
    EXPECT_EQ(max, CTQVector3(3, 4, 5));
    EXPECT_EQ(mesh->GetVertexCount(), 2);
    EXPECT_EQ(mesh->GetTriangleCount(), 1);
}

TEST_F(CResBuilderTest, SmallestFileBytesAreExact)
{
    CResReport report;
    ASSERT_TRUE(Build("one", R"({"resources": [{"id": 3, "name": "a"}]})", report));
    const TestSupport::Bytes expected = {
        0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,                        // header, 1 resource
        11, 0, 0, 0, 'C', 'T', 'Q', 'R', 'e', 's', 'o', 'u', 'r', 'c', 'e', // type
        0, 0, 0, 0,                                                // resource class ""
        30, 0, 0, 0,                                               // record length
        0, 0, 2, 0, 3, 0, 0, 0, 1, 0, 0, 0, 'a', 0, 0, 0, 0,       // marker, version, id, name, class
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};                    // singleton, 3 empty lists
    EXPECT_EQ(Bytes("one.res"), expected);
}

TEST_F(CResBuilderTest, ClassFileHoldsNamedPrototypes)
{
    CResReport report;
    ASSERT_TRUE(Build("classes", R"({"kind": "classes", "resources": [
        {"name": "Crates", "associatedClass": "CGameCrate", "attributes": {"nHealth": {"int": 50}}},
        {"name": "Lids", "type": "CTQMeshVisualRes", "references": {"refHinge": {"id": 4, "class": "H"}}}]})",
                      report))
        << OnlyError(report);
    CTQResourceClassDatabase classes;
    CFileIO file;
    file.Open(Path("classes.res").c_str(), CFileIO::eRead);
    ASSERT_TRUE(classes.Load(&file));
    ASSERT_EQ(classes.GetCount(), 2);
    CTQResource* crates = classes.QueryResourceClass("Crates");
    ASSERT_NE(crates, nullptr);
    EXPECT_EQ((*crates)["nHealth"].GetInt(), 50);
    EXPECT_EQ(crates->GetId(), -1);
    classes.ReleaseResourceClass("Crates");
    CTQResource* lids = classes.QueryResourceClass("Lids");
    ASSERT_NE(lids, nullptr);
    EXPECT_EQ(lids->GetType().GetName(), "CTQMeshVisualRes");
    EXPECT_EQ(lids->GetReferenceId("refHinge"), 4);
    classes.ReleaseResourceClass("Lids");
}

// ---- Faults in the description: each names the file and the resource ------------------------

TEST_F(CResBuilderTest, BadJsonNamesTheFileAndWritesNothing)
{
    CResReport report;
    EXPECT_FALSE(Build("bad", R"({"resources": [ {"name": "a"},, ]})", report));
    EXPECT_TRUE(Mentions(OnlyError(report), {Path("bad.json"), "not valid JSON", "line 1"}));
    EXPECT_FALSE(Exists("bad.res"));
}

TEST_F(CResBuilderTest, UnreadableDescriptionIsAnError)
{
    CResReport missing;
    EXPECT_FALSE(CResBuilder::BuildFile(Path("absent.json"), Path("out.res"), missing));
    EXPECT_TRUE(Mentions(OnlyError(missing), {Path("absent.json"), "cannot be read"}));
    CResReport folder;
    EXPECT_FALSE(CResBuilder::BuildFile(Path(""), Path("out.res"), folder));
    EXPECT_EQ(folder.GetErrors().size(), 1u);
    EXPECT_FALSE(Exists("out.res"));
}

TEST_F(CResBuilderTest, UnknownTypeNamesFileAndResource)
{
    CResReport report;
    EXPECT_FALSE(Build("level", R"({"resources": [{"name": "a"}, {"name": "door", "type": "CTQNoSuchRes"}]})",
                       report));
    EXPECT_TRUE(Mentions(OnlyError(report), {Path("level.json"), "resources[1] 'door'", "'CTQNoSuchRes'"}));
    // A class registered with the object factory only cannot be a resource.
    CResReport objectClass;
    EXPECT_FALSE(Build("level", R"({"resources": [{"name": "a", "type": "CTQCamera"}]})", objectClass));
}

TEST_F(CResBuilderTest, MissingOrAmbiguousReferenceNamesTheReference)
{
    CResReport missing;
    EXPECT_FALSE(Build("level", R"({"resources": [{"name": "crate", "references": {"refLid": "lid"}}]})", missing));
    EXPECT_TRUE(Mentions(OnlyError(missing), {Path("level.json"), "'crate'", "'refLid'", "'lid'"}));

    CResReport ambiguous;
    EXPECT_FALSE(Build("level", R"({"resources": [{"name": "lid"}, {"name": "lid"},
        {"name": "crate", "references": {"refLid": {"resource": "lid"}}}]})",
                       ambiguous));
    EXPECT_TRUE(Mentions(OnlyError(ambiguous), {"'crate'", "'refLid'", "more than one"}));

    CResReport self;
    EXPECT_FALSE(Build("level", R"({"resources": [{"name": "a", "references": {"refMe": "a"}}]})", self));
    EXPECT_TRUE(Mentions(OnlyError(self), {"'a'", "itself"}));
}

TEST_F(CResBuilderTest, EveryFaultIsReportedNotOnlyTheFirst)
{
    CResReport report;
    EXPECT_FALSE(Build("level", R"({"resources": [
        {"name": "a", "atributes": {}},
        {"name": "b", "attributes": {"n": {"int": 2147483648}}},
        {"name": "c", "attributes": {"n": {"int": 1.5}, "f": {"float": 1e300}, "s": {"string": 3}, "x": {"long": 1}}},
        {"name": "d", "id": -1},
        {"name": "e", "id": 4}, {"name": "f", "id": 4},
        {"name": "g", "singleton": "yes"},
        {"id": 9}]})",
                       report));
    const std::vector<std::string>& errors = report.GetErrors();
    ASSERT_EQ(errors.size(), 10u);
    EXPECT_TRUE(Mentions(errors[0], {"resources[0] 'a'", "'atributes'"}));
    EXPECT_TRUE(Mentions(errors[1], {"'b'", "attribute 'n'", "32 bits"}));
    EXPECT_TRUE(Mentions(errors[2], {"'c'", "attribute 'n'"}));
    EXPECT_TRUE(Mentions(errors[3], {"'c'", "attribute 'f'"}));
    EXPECT_TRUE(Mentions(errors[4], {"'c'", "attribute 's'"}));
    EXPECT_TRUE(Mentions(errors[5], {"'c'", "attribute 'x'", "'long'"}));
    EXPECT_TRUE(Mentions(errors[6], {"'d'", "\"id\""}));
    EXPECT_TRUE(Mentions(errors[7], {"'g'", "singleton"}));
    EXPECT_TRUE(Mentions(errors[8], {"resources[7]", "\"name\""}));
    EXPECT_TRUE(Mentions(errors[9], {"'f'", "id 4", "'e'"}));
}

TEST_F(CResBuilderTest, VisualFaults)
{
    CResReport notVisual;
    EXPECT_FALSE(Build("v", R"({"resources": [{"name": "a", "visual": {"texture": "t"}}]})", notVisual));
    EXPECT_TRUE(Mentions(OnlyError(notVisual), {"'a'", "CTQ3DVisualRes"}));

    CResReport partial;
    EXPECT_FALSE(Build("v", R"({"resources": [{"name": "a", "type": "CTQMeshVisualRes",
        "visual": {"vertexBuffer": "x.vb", "vertexCount": 3}}]})",
                       partial));
    EXPECT_TRUE(Mentions(OnlyError(partial), {"'a'", "boundsMin"}));

    CResReport missingFile;
    EXPECT_FALSE(Build("v", R"({"resources": [{"name": "a", "type": "CTQMeshVisualRes",
        "visual": {"vertexBuffer": "nowhere.vb"}}]})",
                       missingFile));
    EXPECT_TRUE(Mentions(OnlyError(missingFile), {Path("v.json"), "'a'", "'nowhere.vb'"}));
    EXPECT_FALSE(Exists("v.res"));
}

TEST_F(CResBuilderTest, ClassFileFaults)
{
    CResReport report;
    EXPECT_FALSE(Build("c", R"({"kind": "classes", "resources": [
        {"name": "A"}, {"name": "A"}, {"name": "B", "id": 3},
        {"name": "C", "references": {"refX": "A"}}]})",
                       report));
    ASSERT_EQ(report.GetErrors().size(), 3u);
    EXPECT_TRUE(Mentions(report.GetErrors()[0], {"'B'", "'id'"}));
    EXPECT_TRUE(Mentions(report.GetErrors()[1], {"'C'", "'refX'"}));
    EXPECT_TRUE(Mentions(report.GetErrors()[2], {"resources[1] 'A'", "twice"}));
}

TEST_F(CResBuilderTest, FailedBuildLeavesAnEarlierOutputAlone)
{
    CResReport good;
    ASSERT_TRUE(Build("level", R"({"resources": [{"name": "a"}]})", good));
    const TestSupport::Bytes before = Bytes("level.res");
    CResReport bad;
    EXPECT_FALSE(Build("level", R"({"resources": [{"name": "a", "type": "Nope"}]})", bad));
    EXPECT_EQ(Bytes("level.res"), before);
}

namespace
{
const char* kScenery = R"({
  "resources": [
    {"id": 4, "name": "tree", "associatedClass": "CTQVisual3d"},
    {"id": 0, "name": "scenery", "type": "CTQObjectListRes", "associatedClass": "CTQObjectList",
     "attributes": {"nPatchesX": {"int": 16}, "nPatchesY": {"int": 8}},
     "objects": [
       {"resource": "tree", "pos": [4, 8.5, 0], "rotation": [0, 0, 1.5], "flags": 1},
       {"resource": 77},
       {"resource": -1, "pos": [-2, 0, 3]}
     ]}
  ]
})";
} // namespace

TEST_F(CResBuilderTest, ObjectListPlacementsReachTheFileInOrder)
{
    CResReport report;
    ASSERT_TRUE(Build("scenery", kScenery, report)) << OnlyError(report);
    Loaded file(Path("scenery.res"));
    ASSERT_TRUE(file.ok);
    CTQResource* resource = file[0];
    ASSERT_NE(resource, nullptr);
    ASSERT_TRUE(resource->IsOfType(CTQObjectListRes::GetClassType()));
    const auto& list = static_cast<const CTQObjectListRes&>(*resource);
    ASSERT_EQ(list.GetObjectCount(), 3);
    const sObjectList& first = list.GetObjects().at(0);
    EXPECT_EQ(first.nResourceId, 4);
    EXPECT_EQ(first.fX, 4.0f);
    EXPECT_EQ(first.fY, 8.5f);
    EXPECT_EQ(first.vRotation, CTQVector3(0, 0, 1.5f));
    EXPECT_EQ(first.nFlags, 1);
    EXPECT_EQ(list.GetResourceId(1), 77);
    EXPECT_EQ(list.GetObjects().at(1).nFlags, 0);
    EXPECT_EQ(list.GetResourceId(2), -1);
    EXPECT_EQ(list.GetObjects().at(2).fZ, 3.0f);
    EXPECT_EQ(resource->GetAttribute("nPatchesX").GetInt(), 16);
}

TEST_F(CResBuilderTest, PlacementFaultsNameTheResourceAndThePlacement)
{
    struct sCase
    {
        const char* json;
        std::initializer_list<std::string> pieces;
    };
    const sCase cases[] = {
        {R"({"resources": [{"name": "a", "objects": []}]})", {"'a'", "CTQObjectListRes", "CTQResource"}},
        {R"({"resources": [{"name": "l", "type": "CTQObjectListRes", "objects": {}}]})", {"'l'", "array"}},
        {R"({"resources": [{"name": "l", "type": "CTQObjectListRes", "objects": [{"resource": 1, "scale": 2}]}]})",
         {"\"objects\"[0]", "'scale'"}},
        {R"({"resources": [{"name": "l", "type": "CTQObjectListRes", "objects": [{"pos": [1, 2, 3]}]}]})",
         {"\"objects\"[0]", "\"resource\""}},
        {R"({"resources": [{"name": "l", "type": "CTQObjectListRes",
            "objects": [{"resource": 1}, {"resource": 1, "pos": [1, 2]}]}]})",
         {"\"objects\"[1]", "\"pos\"", "three numbers"}},
        {R"({"resources": [{"name": "l", "type": "CTQObjectListRes", "objects": [{"resource": 1, "flags": 65536}]}]})",
         {"\"flags\"", "65535"}},
        {R"({"resources": [{"name": "l", "type": "CTQObjectListRes", "objects": [{"resource": "nowhere"}]}]})",
         {"'l'", "'nowhere'", "not a resource of this file"}},
        {R"({"resources": [{"name": "t"}, {"name": "t"},
            {"name": "l", "type": "CTQObjectListRes", "objects": [{"resource": "t"}]}]})",
         {"'t'", "more than one"}},
        {R"({"kind": "classes", "resources": [{"name": "l", "type": "CTQObjectListRes",
            "objects": [{"resource": "l"}]}]})",
         {"class file", "give the id"}},
    };
    for (const sCase& c : cases)
    {
        CResReport report;
        EXPECT_FALSE(Build("bad", c.json, report)) << c.json;
        EXPECT_TRUE(Mentions(OnlyError(report), c.pieces)) << c.json;
        EXPECT_FALSE(Exists("bad.res"));
    }
}

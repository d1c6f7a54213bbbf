#include "ToolTestSupport.h"

namespace
{
using CResCheckerTest = ToolFixture;

bool Check(const std::string& path, CResReport& report)
{
    return CResChecker::CheckFile(path, eResFileKind::Unknown, report);
}
} // namespace

TEST_F(CResCheckerTest, SoundFileHasNothingToReport)
{
    CResReport report;
    ASSERT_TRUE(Build("ok", R"({"resources": [{"name": "a", "references": {"refB": "b", "refNone": {"id": -1}}},
        {"name": "b"}]})",
                      report));
    EXPECT_TRUE(Check(Path("ok.res"), report));
    EXPECT_TRUE(report.GetErrors().empty());
}

TEST_F(CResCheckerTest, ReferenceToAMissingIdIsBroken)
{
    CResReport report;
    ASSERT_TRUE(Build("b", R"({"resources": [{"id": 1, "name": "crate", "references": {"refLid": {"id": 99}}}]})",
                      report));
    EXPECT_FALSE(Check(Path("b.res"), report));
    EXPECT_TRUE(Mentions(OnlyError(report), {Path("b.res"), "'crate' (id 1)", "'refLid'", "id 99"}));
}

TEST_F(CResCheckerTest, MissingAndStaleBackLinksAreReported)
{
    CResReport report;
    ASSERT_TRUE(Build("l", R"({"resources": [
        {"id": 0, "name": "a", "references": {"refB": "b"}},
        {"id": 1, "name": "b", "dependencies": [2]},
        {"id": 2, "name": "c", "dependencies": [50]}]})",
                      report));
    EXPECT_FALSE(Check(Path("l.res"), report));
    const std::vector<std::string>& errors = report.GetErrors();
    ASSERT_EQ(errors.size(), 3u);
    // a refers to b, but b lists c instead of a; c lists an id that is not there.
    EXPECT_TRUE(Mentions(errors[0], {"'a' (id 0)", "'refB'", "'b' (id 1)", "does not list it"}));
    EXPECT_TRUE(Mentions(errors[1], {"'b' (id 1)", "'c' (id 2)", "which it does not"}));
    EXPECT_TRUE(Mentions(errors[2], {"'c' (id 2)", "id 50", "not in the file"}));
}

TEST_F(CResCheckerTest, UnreadableFileFails)
{
    CResReport report;
    EXPECT_FALSE(Check(Path("absent.res"), report));
    EXPECT_TRUE(Mentions(OnlyError(report), {Path("absent.res")}));
}

TEST_F(CResCheckerTest, PlacementsMustPlaceResourcesOfTheFileThatBuildObjects)
{
    CResReport report;
    ASSERT_TRUE(Build("p", R"({"resources": [
        {"id": 0, "name": "tree", "associatedClass": "CTQVisual3d"},
        {"id": 1, "name": "note"},
        {"id": 2, "name": "scenery", "type": "CTQObjectListRes",
         "objects": [{"resource": "tree"}, {"resource": 40}, {"resource": "note"}, {"resource": -1}]}]})",
                      report));
    EXPECT_FALSE(Check(Path("p.res"), report));
    const std::vector<std::string>& errors = report.GetErrors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_TRUE(Mentions(errors[0], {Path("p.res"), "'scenery' (id 2)", "placement 1", "id 40", "not in the file"}));
    EXPECT_TRUE(Mentions(errors[1], {"'scenery' (id 2)", "placement 2", "'note' (id 1)", "builds no object"}));
}

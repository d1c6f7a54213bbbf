#pragma once

// A scratch folder per test for the framekit-res tests, with the description and
// resource files a test writes and reads there.

#include "Support/TempPath.h"

#include <FramekitRes/CResBuilder.h>
#include <FramekitRes/CResChecker.h>
#include <FramekitRes/CResDumper.h>
#include <FramekitRes/CResReport.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class ToolFixture : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(m_oDir.path()); }

    // A file of the scratch folder.
    std::string Path(const std::string& name) const { return (m_oDir.path() / name).string(); }
    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
        out << text;
    }
    TestSupport::Bytes Bytes(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return TestSupport::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }

    // Writes the description to <name>.json and builds <name>.res from it.
    bool Build(const std::string& name, const std::string& json, CResReport& report) const
    {
        Write(name + ".json", json);
        return CResBuilder::BuildFile(Path(name + ".json"), Path(name + ".res"), report);
    }
    bool Dump(const std::string& resName, std::string& json, CResReport& report) const
    {
        return CResDumper::DumpFile(Path(resName), eResFileKind::Unknown, json, report);
    }

    // The one error the report holds ("" and a test failure when there is not
    // exactly one).
    static std::string OnlyError(const CResReport& report)
    {
        EXPECT_EQ(report.GetErrors().size(), 1u);
        return report.GetErrors().empty() ? std::string() : report.GetErrors().front();
    }

private:
    TestSupport::TempPath m_oDir{"_dir"};
};

// Whether every piece occurs in text; the message shows the text.
inline ::testing::AssertionResult Mentions(const std::string& text, std::initializer_list<std::string> pieces)
{
    for (const std::string& piece : pieces)
    {
        if (text.find(piece) == std::string::npos)
            return ::testing::AssertionFailure() << "'" << piece << "' is not in: " << text;
    }
    return ::testing::AssertionSuccess();
}

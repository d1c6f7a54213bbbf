// framekit-res: authors and inspects resource files without an editor.
//
//   framekit-res build level.json -o level.res   JSON description -> resource file
//   framekit-res dump level.res [-o level.json]  resource file -> JSON description
//   framekit-res check level.res                 reports broken references
//
// The JSON description is documented in FramekitRes/CResBuilder.h.

#include <FramekitRes/CResBuilder.h>
#include <FramekitRes/CResChecker.h>
#include <FramekitRes/CResDumper.h>
#include <FramekitRes/CResReport.h>
#include <FramekitRes/ResFileKind.h>

#include <Plinth/Log.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <string>

namespace
{
// Exit codes: 0 done, 1 errors in the input or the file, 2 a bad command line
// (CLI11's own codes, also non-zero, where it reports the fault itself).
constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;

int Finish(const CResReport& report, bool ok)
{
    for (const std::string& line : report.GetWarnings())
        std::fprintf(stderr, "warning: %s\n", line.c_str());
    for (const std::string& line : report.GetErrors())
        std::fprintf(stderr, "error: %s\n", line.c_str());
    return ok && !report.HasErrors() ? 0 : kExitErrors;
}

bool KindFromOption(const std::string& name, eResFileKind& kind)
{
    kind = name.empty() ? eResFileKind::Unknown : ResFileKindFromName(name);
    if (!name.empty() && kind == eResFileKind::Unknown)
    {
        std::fprintf(stderr, "error: --kind must be \"database\" or \"classes\"\n");
        return false;
    }
    return true;
}

int Dump(const std::string& path, const std::string& kindName, const std::string& outPath)
{
    eResFileKind kind = eResFileKind::Unknown;
    if (!KindFromOption(kindName, kind))
        return kExitUsage;
    CResReport report;
    std::string json;
    bool ok = CResDumper::DumpFile(path, kind, json, report);
    if (outPath.empty())
        std::fputs(json.c_str(), stdout);
    else if (!json.empty())
    {
        std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
        if (!(out << json) || !out.flush())
        {
            report.Error(outPath, "", "cannot be written");
            ok = false;
        }
    }
    return Finish(report, ok);
}

int Check(const std::string& path, const std::string& kindName)
{
    eResFileKind kind = eResFileKind::Unknown;
    if (!KindFromOption(kindName, kind))
        return kExitUsage;
    CResReport report;
    const bool ok = CResChecker::CheckFile(path, kind, report);
    if (ok)
        std::printf("%s: no broken references\n", path.c_str());
    return Finish(report, ok);
}

// Library diagnostics (a vertex buffer that cannot be opened, say) join the
// tool's own warnings on stderr.
void PrintDiagnostic(const TQLogMessage& message, void*)
{
    std::fprintf(stderr, "note: %s", message.text);
    const std::string text = message.text;
    if (text.empty() || text.back() != '\n')
        std::fputc('\n', stderr);
}
} // namespace

int main(int argc, char** argv)
{
    TQSetLogSink(PrintDiagnostic);
    CLI::App app{"Builds, prints and checks Framekit resource files."};
    app.require_subcommand(1);

    std::string buildIn;
    std::string buildOut;
    CLI::App* build = app.add_subcommand("build", "Compile a JSON description into a resource file");
    build->add_option("input", buildIn, "JSON description")->required();
    build->add_option("-o,--output", buildOut, "Resource file to write")->required();

    std::string dumpIn;
    std::string dumpOut;
    std::string dumpKind;
    CLI::App* dump = app.add_subcommand("dump", "Print a resource database or resource class file as JSON");
    dump->add_option("file", dumpIn, "Resource file")->required();
    dump->add_option("-o,--output", dumpOut, "Write the JSON here instead of to stdout");
    dump->add_option("--kind", dumpKind, "database or classes (default: told from the file)");

    std::string checkIn;
    std::string checkKind;
    CLI::App* check = app.add_subcommand("check", "Report broken references; non-zero exit when there are any");
    check->add_option("file", checkIn, "Resource file")->required();
    check->add_option("--kind", checkKind, "database or classes (default: told from the file)");

    CLI11_PARSE(app, argc, argv);

    if (build->parsed())
    {
        CResReport report;
        const bool ok = CResBuilder::BuildFile(buildIn, buildOut, report);
        return Finish(report, ok);
    }
    if (dump->parsed())
        return Dump(dumpIn, dumpKind, dumpOut);
    return Check(checkIn, checkKind);
}

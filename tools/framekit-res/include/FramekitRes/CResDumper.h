#pragma once

#include <FramekitRes/ResFileKind.h>

#include <string>

class CResReport;

// Prints a resource database file or a resource class file as the JSON
// description that CResBuilder reads (see CResBuilder.h), so that building the
// printed description gives the file again.
//
// Ids are printed for every resource of a database file; references name their
// target where its name is unique in the file and print its id otherwise;
// dependencies are printed only where they differ from the back-links that the
// file's references make; a visual's geometry is printed whole, so that building
// needs no vertex-buffer file.
//
// While it runs the dumper has databases of its own, which are the current ones.
class CResDumper
{
public:
    // kind Unknown: told from the file's first bytes. json holds the description
    // of everything that could be read (empty when nothing could). False, with
    // errors in report naming the file and the resource, when the file cannot be
    // read or records of it had to be left out.
    static bool DumpFile(const std::string& path, eResFileKind kind, std::string& json, CResReport& report);
};

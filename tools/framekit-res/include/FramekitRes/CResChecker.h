#pragma once

#include <FramekitRes/ResFileKind.h>

#include <string>

class CResReport;

// Finds what is broken in a resource file, each finding an error in the report
// naming the file and the resource:
// - a reference to an id that is not in the file (references to -1 are unset,
//   not broken);
// - a reference whose target does not list the referring resource among its
//   dependencies (a missing back-link);
// - a dependency on an id that is not in the file, or whose resource does not
//   refer to this one (a stale back-link);
// - a placement of an object list that places an id that is not in the file, or
//   a resource that builds no object (it names no associated class);
// - records that the game would leave out (unknown type, unreadable).
// References of a class file's prototypes point into a database that is not at
// hand, so only the last point applies to class files.
//
// While it runs the checker has databases of its own, which are the current ones.
class CResChecker
{
public:
    // True when nothing is broken.
    static bool CheckFile(const std::string& path, eResFileKind kind, CResReport& report);
};

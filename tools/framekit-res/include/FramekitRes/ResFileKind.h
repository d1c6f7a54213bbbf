#pragma once

#include <string>

class CResReport;

// The two kinds of resource file.
enum class eResFileKind
{
    Unknown,
    Database, // a resource database file (CTQLocalResourceDatabase)
    Classes,  // a resource class file (CTQResourceClassDatabase)
};

// "database", "classes"; "" for Unknown.
const char* ResFileKindName(eResFileKind kind);
// Unknown for any other text.
eResFileKind ResFileKindFromName(const std::string& name);

// Tells the kind from the file's first bytes. Both kinds begin with a 16-bit
// marker and version, both 0; a database file follows them with a reserved 32-bit
// 0, a class file with its prototype count. So a non-zero value there, or a file
// that ends after it, is a class file; anything else that starts right is a
// database file. Unknown (with an error in report) for a file that cannot be read
// or starts otherwise.
eResFileKind DetectResFileKind(const std::string& path, CResReport& report);

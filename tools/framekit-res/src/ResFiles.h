#pragma once

// File helpers shared by the framekit-res commands.

#include <cstdint>
#include <string>

class CFileIO;
class CResReport;

namespace ResFiles
{
// Opens path for reading or writing; false, with an error naming the file, when
// the file layer refuses (the file layer's exception is reported and deleted).
bool OpenForReading(CFileIO& file, const std::string& path, CResReport& report);
bool OpenForWriting(CFileIO& file, const std::string& path, CResReport& report);

// How messages name a stored resource: "resource 'crate' (id 3)"; without the id
// part for id -1.
std::string ResourceLabel(const std::string& name, std::int32_t id);
} // namespace ResFiles

#include "ResFiles.h"

#include <FramekitRes/CResReport.h>
#include <FramekitRes/ResFileKind.h>

#include <Plinth/CFileIO.h>

const char* ResFileKindName(eResFileKind kind)
{
    switch (kind)
    {
    case eResFileKind::Database:
        return "database";
    case eResFileKind::Classes:
        return "classes";
    case eResFileKind::Unknown:
        break;
    }
    return "";
}

eResFileKind ResFileKindFromName(const std::string& name)
{
    if (name == "database")
        return eResFileKind::Database;
    if (name == "classes")
        return eResFileKind::Classes;
    return eResFileKind::Unknown;
}

eResFileKind DetectResFileKind(const std::string& path, CResReport& report)
{
    CFileIO file;
    if (!ResFiles::OpenForReading(file, path, report))
        return eResFileKind::Unknown;
    std::uint16_t marker = 1;
    std::uint16_t version = 1;
    std::int32_t reserved = 0;
    if (!file.ReadUInt16(marker) || !file.ReadUInt16(version) || marker != 0 || version != 0)
    {
        report.Error(path, "", "not a resource file (it does not start with a 16-bit marker and version of 0)");
        return eResFileKind::Unknown;
    }
    if (!file.ReadInt32(reserved))
    {
        report.Error(path, "", "not a resource file (it ends inside its header)");
        return eResFileKind::Unknown;
    }
    return reserved != 0 || file.GetSize() == file.GetPosition() ? eResFileKind::Classes : eResFileKind::Database;
}

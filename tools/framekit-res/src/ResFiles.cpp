#include "ResFiles.h"

#include <FramekitRes/CResReport.h>

#include <Plinth/CFileIO.h>
#include <Plinth/CTQException.h>

namespace
{
bool Open(CFileIO& file, const std::string& path, int mode, CResReport& report)
{
    try
    {
        if (file.Open(path.c_str(), mode))
            return true;
        report.Error(path, "", "cannot be opened");
    }
    catch (CTQException* e)
    {
        report.Error(path, "", e->GetErrorMessage().GetString());
        e->Delete();
    }
    return false;
}
} // namespace

namespace ResFiles
{
bool OpenForReading(CFileIO& file, const std::string& path, CResReport& report)
{
    return Open(file, path, CFileIO::eRead, report);
}

bool OpenForWriting(CFileIO& file, const std::string& path, CResReport& report)
{
    return Open(file, path, CFileIO::eWrite, report);
}

std::string ResourceLabel(const std::string& name, std::int32_t id)
{
    std::string label = "resource '" + name + "'";
    if (id != -1)
        label += " (id " + std::to_string(id) + ")";
    return label;
}
} // namespace ResFiles

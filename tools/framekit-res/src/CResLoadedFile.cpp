#include "CResLoadedFile.h"

#include "ResFiles.h"

#include <FramekitRes/CResReport.h>

#include <Framekit/Resources/CTQResourceFactory.h>
#include <Plinth/CFileIO.h>

#include <map>

bool CResLoadedFile::Load(const std::string& path, eResFileKind kind, CResReport& report)
{
    m_sPath = path;
    m_eKind = kind == eResFileKind::Unknown ? DetectResFileKind(path, report) : kind;
    switch (m_eKind)
    {
    case eResFileKind::Database:
        return LoadDatabase(report);
    case eResFileKind::Classes:
        return LoadClasses(report);
    case eResFileKind::Unknown:
        break;
    }
    return false;
}

// Walks the records' frames by their stated lengths, as the game's loader does,
// to know which resources the file holds before the database reads them.
bool CResLoadedFile::ScanFrames(std::vector<sFrame>& frames, CResReport& report)
{
    CFileIO file;
    if (!ResFiles::OpenForReading(file, m_sPath, report))
        return false;
    std::uint16_t marker = 1;
    std::uint16_t version = 1;
    std::int32_t reserved = 0;
    int count = 0;
    if (!file.ReadUInt16(marker) || !file.ReadUInt16(version) || marker != 0 || version != 0 ||
        !file.ReadInt32(reserved) || !file.ReadInt(count) || count < 0)
    {
        report.Error(m_sPath, "", "not a resource database file (bad header)");
        return false;
    }
    for (int i = 0; i < count; ++i)
    {
        CTQString type;
        CTQString resourceClass;
        std::int32_t length = 0;
        if (!file.ReadString(type) || !file.ReadString(resourceClass) || !file.ReadInt32(length) || length < 0 ||
            length > file.GetSize() - file.GetPosition())
        {
            report.Error(m_sPath, "", "the file is cut short or damaged in record " + std::to_string(i) + " of " +
                                          std::to_string(count) + "; the records from there on are left out");
            return true;
        }
        const std::int32_t end = file.GetPosition() + length;
        sFrame frame;
        frame.sType = type.str();
        std::uint16_t recordMarker = 1;
        std::uint16_t recordVersion = 0;
        CTQString name;
        if (file.ReadUInt16(recordMarker) && file.ReadUInt16(recordVersion) && file.ReadInt32(frame.nId) &&
            file.ReadString(name) && file.GetPosition() <= end)
            frame.sName = name.str();
        frames.push_back(frame);
        file.Seek(end, CFileIO::eSeekBegin);
    }
    return true;
}

void CResLoadedFile::ReportLeftOut(const std::vector<sFrame>& frames, CResReport& report)
{
    std::map<std::int32_t, std::size_t> lastWithId;
    for (std::size_t i = 0; i < frames.size(); ++i)
        lastWithId[frames[i].nId] = i;
    for (std::size_t i = 0; i < frames.size(); ++i)
    {
        const sFrame& frame = frames[i];
        const std::string label = ResFiles::ResourceLabel(frame.sName, frame.nId);
        if (!CTQResourceFactory::IsValidClassType(frame.sType.c_str()))
            report.Error(m_sPath, label,
                         "type '" + frame.sType + "' is not registered with the resource factory; the record is "
                         "left out");
        else if (frame.nId < 0)
            report.Warning(m_sPath, label, "has no id; the game does not load it, and it is left out");
        else if (lastWithId[frame.nId] != i)
            report.Warning(m_sPath, label, "a later record has the same id and replaces this one");
        else if (!m_oDatabase.IsResourceIdValid(frame.nId))
            report.Error(m_sPath, label, "the record cannot be read; it is left out");
    }
}

bool CResLoadedFile::LoadDatabase(CResReport& report)
{
    std::vector<sFrame> frames;
    if (!ScanFrames(frames, report))
        return false;
    CFileIO file;
    if (!ResFiles::OpenForReading(file, m_sPath, report))
        return false;
    // Its result only repeats what the frames tell in more detail.
    m_oDatabase.Load(&file);
    ReportLeftOut(frames, report);
    return true;
}

bool CResLoadedFile::LoadClasses(CResReport& report)
{
    CFileIO file;
    if (!ResFiles::OpenForReading(file, m_sPath, report))
        return false;
    int count = 0;
    file.Seek(4, CFileIO::eSeekBegin);
    file.ReadInt(count);
    file.Seek(0, CFileIO::eSeekBegin);
    if (!m_oClasses.Load(&file))
        report.Error(m_sPath, "",
                     "the resource class file can be read only in part: " + std::to_string(m_oClasses.GetCount()) +
                         " of " + std::to_string(count) +
                         " prototypes (a prototype of an unknown type or a damaged record stops it)");
    return true;
}

#pragma once

#include <FramekitRes/ResFileKind.h>

#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>

#include <cstdint>
#include <string>
#include <vector>

class CResReport;

// A resource file loaded the way the game loads it, into databases of its own
// (which are the current ones while it lives), with every record the game would
// leave out reported by name.
class CResLoadedFile
{
public:
    CResLoadedFile() = default;
    CResLoadedFile(const CResLoadedFile&) = delete;
    CResLoadedFile& operator=(const CResLoadedFile&) = delete;

    // kind Unknown: told from the file's first bytes. False, with an error, when
    // the file cannot be read or is not a resource file of that kind. Records left
    // out are reported as errors (unknown type, unreadable record) or warnings (id
    // -1, an id that a later record takes again) and do not make it false.
    bool Load(const std::string& path, eResFileKind kind, CResReport& report);

    eResFileKind GetKind() const { return m_eKind; }
    const std::string& GetPath() const { return m_sPath; }
    CTQLocalResourceDatabase& GetDatabase() { return m_oDatabase; }
    CTQResourceClassDatabase& GetClasses() { return m_oClasses; }

private:
    // What the frame of one database record says before its resource reads it.
    struct sFrame
    {
        std::string sType;
        std::int32_t nId = -1;
        std::string sName;
    };

    bool LoadDatabase(CResReport& report);
    bool ScanFrames(std::vector<sFrame>& frames, CResReport& report);
    void ReportLeftOut(const std::vector<sFrame>& frames, CResReport& report);
    bool LoadClasses(CResReport& report);

    // The class database first: the resource database's resources may be made
    // from its prototypes, and go first.
    CTQResourceClassDatabase m_oClasses;
    CTQLocalResourceDatabase m_oDatabase;
    eResFileKind m_eKind = eResFileKind::Unknown;
    std::string m_sPath;
};

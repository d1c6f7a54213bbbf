#include <FramekitRes/CResReport.h>

std::string CResReport::Compose(const std::string& file, const std::string& resource, const std::string& text)
{
    std::string line = file + ": ";
    if (!resource.empty())
        line += resource + ": ";
    return line + text;
}

void CResReport::Error(const std::string& file, const std::string& resource, const std::string& text)
{
    m_aErrors.push_back(Compose(file, resource, text));
}

void CResReport::Warning(const std::string& file, const std::string& resource, const std::string& text)
{
    m_aWarnings.push_back(Compose(file, resource, text));
}

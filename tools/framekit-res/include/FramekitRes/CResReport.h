#pragma once

#include <string>
#include <vector>

// The messages of one framekit-res run. Every message is one line that names the
// file and, where there is one, the resource it is about.
class CResReport
{
public:
    void Error(const std::string& file, const std::string& resource, const std::string& text);
    void Warning(const std::string& file, const std::string& resource, const std::string& text);

    bool HasErrors() const { return !m_aErrors.empty(); }
    const std::vector<std::string>& GetErrors() const { return m_aErrors; }
    const std::vector<std::string>& GetWarnings() const { return m_aWarnings; }

private:
    static std::string Compose(const std::string& file, const std::string& resource, const std::string& text);

    std::vector<std::string> m_aErrors;
    std::vector<std::string> m_aWarnings;
};

#pragma once

// Scratch files for tests: a name of its own per test, removed when the test ends.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace TestSupport
{
using Bytes = std::vector<std::uint8_t>;

class TempPath
{
public:
    explicit TempPath(const char* tag = "")
    {
        static int s_nCounter = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("fk_") + (info ? info->test_suite_name() : "none") + "_" +
                           (info ? info->name() : "none") + tag + "_" + std::to_string(::getpid()) + "_" +
                           std::to_string(++s_nCounter);
        m_path = std::filesystem::temp_directory_path() / name;
    }
    ~TempPath()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;

    const char* c_str() const { return m_path.c_str(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline Bytes ReadFileBytes(const TempPath& path)
{
    std::ifstream in(path.path(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const TempPath& path, const std::string& bytes)
{
    std::ofstream out(path.path(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteFileBytes(const TempPath& path, const Bytes& bytes)
{
    WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}
} // namespace TestSupport

#pragma once

// Helpers shared by the 3D visual resource tests: scratch files, stored bytes
// built by hand, and a log sink that keeps the warnings.

#include "Support/TempPath.h"

#include <Plinth/CFileIO.h>
#include <Plinth/Log.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace VisualResTest
{
using TestSupport::Bytes;
using TestSupport::TempPath;

// Little-endian values as CFileIO's typed operations store them.
class ByteWriter
{
public:
    ByteWriter& U16(std::uint16_t v)
    {
        m_aBytes.push_back(static_cast<std::uint8_t>(v));
        m_aBytes.push_back(static_cast<std::uint8_t>(v >> 8));
        return *this;
    }
    ByteWriter& I32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            m_aBytes.push_back(static_cast<std::uint8_t>(u >> shift));
        return *this;
    }
    ByteWriter& F32(float v)
    {
        std::int32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        return I32(bits);
    }
    ByteWriter& Bool(bool v)
    {
        m_aBytes.push_back(v ? 1 : 0);
        return *this;
    }
    ByteWriter& Str(const std::string& s)
    {
        I32(static_cast<std::int32_t>(s.size()));
        m_aBytes.insert(m_aBytes.end(), s.begin(), s.end());
        return *this;
    }
    // The record of a resource with the given id and name and nothing else: no
    // associated class, not a singleton, no attributes, references or dependencies.
    ByteWriter& BareResourceRecord(std::int32_t id, const std::string& name)
    {
        return U16(0).U16(2).I32(id).Str(name).Str("").Bool(false).I32(0).I32(0).I32(0);
    }
    const Bytes& Get() const { return m_aBytes; }

private:
    Bytes m_aBytes;
};

template <class T>
bool SaveTo(T& target, const TempPath& path)
{
    CFileIO file;
    file.Open(path.c_str(), CFileIO::eWrite);
    return target.Save(&file);
}

template <class T>
bool LoadFrom(T& target, const TempPath& path)
{
    CFileIO file;
    file.Open(path.c_str(), CFileIO::eRead);
    return target.Load(&file);
}

// Keeps every warning text while it lives.
class WarningCapture
{
public:
    WarningCapture() { m_pfnPrevious = TQSetLogSink(&Keep, &m_aTexts); }
    ~WarningCapture() { TQSetLogSink(m_pfnPrevious); }
    WarningCapture(const WarningCapture&) = delete;
    WarningCapture& operator=(const WarningCapture&) = delete;
    const std::vector<std::string>& Texts() const { return m_aTexts; }

private:
    static void Keep(const TQLogMessage& message, void* user)
    {
        static_cast<std::vector<std::string>*>(user)->push_back(message.text);
    }
    PFN_TQLogSink m_pfnPrevious = nullptr;
    std::vector<std::string> m_aTexts;
};
} // namespace VisualResTest

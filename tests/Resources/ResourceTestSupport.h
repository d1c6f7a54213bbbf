#pragma once

#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceFactory.h>
#include <Plinth/CFileIO.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A resource type that counts its living instances, so tests can see every
// release (and every leak) without a sanitizer.
class CTestCountedRes : public CTQResource
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestCountedRes)
    CTestCountedRes() { ++s_nAlive; }
    ~CTestCountedRes() override { --s_nAlive; }
    static int s_nAlive;
};

// Derived from the counted type, to see class changes.
class CTestSpecialRes : public CTestCountedRes
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestSpecialRes)
};

// Registered only while a test holds a CTQResourceFactoryT<CTestTransientRes>, to
// make files with types a later reader does not know.
class CTestTransientRes : public CTQResource
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestTransientRes)
};

// A file path under the temp directory, unique per test run, removed at the end.
class CTempPath
{
public:
    CTempPath();
    ~CTempPath();
    CTempPath(const CTempPath&) = delete;
    CTempPath& operator=(const CTempPath&) = delete;
    const char* c_str() const { return m_sPath.c_str(); }

private:
    std::string m_sPath;
};

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFileBytes(const char* path);
void WriteFileBytes(const char* path, const Bytes& bytes);

// Builds expected file bytes by hand, little-endian.
class CByteBuilder
{
public:
    CByteBuilder& U16(std::uint16_t v);
    CByteBuilder& I32(std::int32_t v);
    CByteBuilder& Bool(bool v);
    CByteBuilder& Str(const std::string& s);
    CByteBuilder& Raw(const Bytes& b);
    const Bytes& Get() const { return m_aBytes; }

private:
    Bytes m_aBytes;
};

// Open, run, close: the save or load result.
template <class T>
bool SaveTo(T& target, const char* path)
{
    CFileIO file;
    file.Open(path, CFileIO::eWrite);
    return target.Save(&file);
}

template <class T>
bool LoadFrom(T& target, const char* path)
{
    CFileIO file;
    file.Open(path, CFileIO::eRead);
    return target.Load(&file);
}

#pragma once

#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceFactory.h>
#include <Plinth/CFileIO.h>

#include "Support/StreamBytes.h"
#include "Support/TempPath.h"

#include <cstdint>
#include <string>

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

using CTempPath = TestSupport::TempPath;
using CByteBuilder = TestSupport::ByteWriter;
using TestSupport::Bytes;
using TestSupport::ReadFileBytes;
using TestSupport::WriteFileBytes;

// Open, run, close: the save or load result.
template <class T>
bool SaveTo(T& target, const CTempPath& path)
{
    CFileIO file;
    file.Open(path.c_str(), CFileIO::eWrite);
    return target.Save(&file);
}

template <class T>
bool LoadFrom(T& target, const CTempPath& path)
{
    CFileIO file;
    file.Open(path.c_str(), CFileIO::eRead);
    return target.Load(&file);
}

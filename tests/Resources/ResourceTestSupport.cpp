#include "ResourceTestSupport.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <unistd.h>

TQ_IMPLEMENT_CLASS_TYPE(CTestCountedRes, CTQResource, 0x100)
TQ_REGISTER_RESOURCE_FACTORY(CTestCountedRes)
TQ_IMPLEMENT_CLASS_TYPE(CTestSpecialRes, CTestCountedRes, 0x100)
TQ_REGISTER_RESOURCE_FACTORY(CTestSpecialRes)
TQ_IMPLEMENT_CLASS_TYPE(CTestTransientRes, CTQResource, 0x100)

int CTestCountedRes::s_nAlive = 0;

CTempPath::CTempPath()
{
    static std::atomic<int> s_nNext{0};
    m_sPath = (std::filesystem::temp_directory_path() /
               ("framekit_res_" + std::to_string(getpid()) + "_" + std::to_string(s_nNext++) + ".bin"))
                  .string();
}

CTempPath::~CTempPath()
{
    std::error_code ignored;
    std::filesystem::remove(m_sPath, ignored);
}

Bytes ReadFileBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const char* path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

CByteBuilder& CByteBuilder::U16(std::uint16_t v)
{
    m_aBytes.push_back(static_cast<std::uint8_t>(v));
    m_aBytes.push_back(static_cast<std::uint8_t>(v >> 8));
    return *this;
}

CByteBuilder& CByteBuilder::I32(std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        m_aBytes.push_back(static_cast<std::uint8_t>(u >> shift));
    return *this;
}

CByteBuilder& CByteBuilder::Bool(bool v)
{
    m_aBytes.push_back(v ? 1 : 0);
    return *this;
}

CByteBuilder& CByteBuilder::Str(const std::string& s)
{
    I32(static_cast<std::int32_t>(s.size()));
    m_aBytes.insert(m_aBytes.end(), s.begin(), s.end());
    return *this;
}

CByteBuilder& CByteBuilder::Raw(const Bytes& b)
{
    m_aBytes.insert(m_aBytes.end(), b.begin(), b.end());
    return *this;
}

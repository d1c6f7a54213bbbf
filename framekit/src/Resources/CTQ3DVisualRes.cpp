#include <Framekit/Resources/CTQ3DVisualRes.h>

#include <Plinth/CFileIO.h>
#include <Plinth/CTQException.h>

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

TQ_IMPLEMENT_CLASS_TYPE(CTQ3DVisualRes, CTQResource, kTQDefaultDataFormatVersion)

namespace
{
constexpr std::uint16_t kMarker = 0;
constexpr std::uint16_t kVersion = 0;
constexpr std::string_view kBlanks = " \t\r\n";
// A face names three corners; indices past the third are not counted.
constexpr int kIndicesPerFace = 3;

// Splits a line into its first tokens at blanks; count is how many were found
// (at most max).
template <std::size_t N>
std::size_t SplitTokens(std::string_view line, std::string_view (&tokens)[N])
{
    std::size_t count = 0;
    std::size_t pos = line.find_first_not_of(kBlanks);
    while (pos != std::string_view::npos && count < N)
    {
        const std::size_t end = line.find_first_of(kBlanks, pos);
        tokens[count++] = line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = line.find_first_not_of(kBlanks, end);
    }
    return count;
}

// A whole token as a finite float, in the C locale whatever the process locale.
// A single leading '+' is allowed, as a scan with "%e" allows it.
bool ParseCoordinate(std::string_view token, float& value)
{
    if (token.size() > 1 && token.front() == '+' && token[1] != '-' && token[1] != '+')
        token.remove_prefix(1);
    const char* end = token.data() + token.size();
    const auto [stop, error] = std::from_chars(token.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}
} // namespace

CTQ3DVisualRes::CTQ3DVisualRes() = default;
CTQ3DVisualRes::~CTQ3DVisualRes() = default;

// ---- Vertex-buffer file ------------------------------------------------------------

void CTQ3DVisualRes::SetVertexbufferFilename(const CTQString& name)
{
    CFileIO file;
    bool opened = false;
    try
    {
        opened = file.Open(name.GetString(), CFileIO::eRead);
    }
    catch (CTQException* e)
    {
        e->ReportError();
        e->Delete();
    }
    if (opened)
        ParseVertexBuffer(file);
    else
    {
        m_bBoundsValid = false;
        m_nVertexCount = 0;
        m_nTriangleCount = 0;
    }
    m_sVertexbufferFilename = name;
}

void CTQ3DVisualRes::SetVertexbuffer(const CTQString& name, const CTQVector3& min, const CTQVector3& max,
                                     std::int32_t vertexCount, std::int32_t triangleCount)
{
    m_sVertexbufferFilename = name;
    m_vBoundsMin = min;
    m_vBoundsMax = max;
    m_bBoundsValid = vertexCount > 0;
    m_nVertexCount = vertexCount > 0 ? vertexCount : 0;
    m_nTriangleCount = triangleCount > 0 ? triangleCount : 0;
}

bool CTQ3DVisualRes::ParseVertexBuffer(CFileIO& file)
{
    m_bBoundsValid = false;
    // Wider than the stored counts: a file of 2 GiB of short face lines still
    // counts without overflow.
    std::int64_t vertices = 0;
    std::int64_t indices = 0;
    CTQString line;
    // ReadLine drops what lies past the limit, so the tail of an overlong line is
    // never taken for a line of its own.
    while (file.ReadLine(line, kMaxLineLength))
    {
        std::string_view tokens[1 + kIndicesPerFace];
        const std::size_t count = SplitTokens(line.view(), tokens);
        if (count == 0)
            continue;
        if (tokens[0] == "v" && count == 4)
        {
            CTQVector3 v;
            if (!ParseCoordinate(tokens[1], v.x) || !ParseCoordinate(tokens[2], v.y) ||
                !ParseCoordinate(tokens[3], v.z))
                continue;
            m_vBoundsMin = m_bBoundsValid ? CTQVector3::Min(m_vBoundsMin, v) : v;
            m_vBoundsMax = m_bBoundsValid ? CTQVector3::Max(m_vBoundsMax, v) : v;
            m_bBoundsValid = true;
            ++vertices;
        }
        else if (tokens[0] == "f")
            indices += static_cast<std::int64_t>(count - 1);
    }
    m_nVertexCount = static_cast<std::int32_t>(vertices);
    m_nTriangleCount = static_cast<std::int32_t>(indices / kIndicesPerFace);
    return true;
}

// ---- Accessors ------------------------------------------------------------------------

void CTQ3DVisualRes::SetTextureFilename(const CTQString& name)
{
    m_sTextureFilename = name;
}

const CTQString& CTQ3DVisualRes::GetVertexbufferFilename() const
{
    return m_sVertexbufferFilename;
}

const CTQString& CTQ3DVisualRes::GetTextureFilename() const
{
    return m_sTextureFilename;
}

void CTQ3DVisualRes::GetBounds(CTQVector3& min, CTQVector3& max) const
{
    min = m_vBoundsMin;
    max = m_vBoundsMax;
}

std::int32_t CTQ3DVisualRes::GetVertexCount() const
{
    return m_nVertexCount;
}

std::int32_t CTQ3DVisualRes::GetTriangleCount() const
{
    return m_nTriangleCount;
}

// ---- Record ---------------------------------------------------------------------------

bool CTQ3DVisualRes::Save(CFileIO* file)
{
    return CTQResource::Save(file) && file->WriteUInt16(kMarker) && file->WriteUInt16(kVersion) &&
           file->WriteString(m_sVertexbufferFilename) && file->WriteString(m_sTextureFilename) &&
           file->WriteFloat(m_vBoundsMin.x) && file->WriteFloat(m_vBoundsMin.y) &&
           file->WriteFloat(m_vBoundsMin.z) && file->WriteFloat(m_vBoundsMax.x) &&
           file->WriteFloat(m_vBoundsMax.y) && file->WriteFloat(m_vBoundsMax.z) &&
           file->WriteInt(m_nVertexCount) && file->WriteInt(m_nTriangleCount);
}

bool CTQ3DVisualRes::Load(CFileIO* file)
{
    std::uint16_t marker = 1;
    std::uint16_t version = 1;
    if (!CTQResource::Load(file) || !file->ReadUInt16(marker) || marker != kMarker ||
        !file->ReadUInt16(version) || version != kVersion)
        return false;
    return ReadGeometry(file);
}

bool CTQ3DVisualRes::ReadGeometry(CFileIO* file)
{
    CTQString text;
    if (!file->ReadString(text))
        return false;
    m_sVertexbufferFilename = text;
    if (!file->ReadString(text))
        return false;
    m_sTextureFilename = text;
    CTQVector3 min;
    CTQVector3 max;
    if (!file->ReadFloat(min.x) || !file->ReadFloat(min.y) || !file->ReadFloat(min.z) ||
        !file->ReadFloat(max.x) || !file->ReadFloat(max.y) || !file->ReadFloat(max.z))
        return false;
    m_vBoundsMin = min;
    m_vBoundsMax = max;
    int vertices = 0;
    int triangles = 0;
    // A negative count describes no geometry: bad data.
    if (!file->ReadInt(vertices) || vertices < 0)
        return false;
    m_nVertexCount = vertices;
    if (!file->ReadInt(triangles) || triangles < 0)
        return false;
    m_nTriangleCount = triangles;
    m_bBoundsValid = vertices > 0;
    return true;
}

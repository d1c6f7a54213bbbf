#include <Plinth/CTQDataStream.h>

#include <algorithm>

CTQDataStream::CTQDataStream(int mode) : m_nFlags(mode) {}

CTQDataStream::CTQDataStream(int mode, std::uint32_t capacity) : m_nFlags(mode)
{
    m_aBytes.resize(capacity);
    ResetWriteEnd();
}

CTQDataStream::CTQDataStream(int mode, const void* data, std::uint32_t size) : m_nFlags(mode)
{
    if (data && size > 0)
    {
        m_aBytes.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
        m_nSize = size;
    }
    ResetReadEnd();
    ResetWriteEnd();
}

CTQDataStream::CTQDataStream(const CTQDataStream& other)
    : m_aBytes(other.m_aBytes.begin(), other.m_aBytes.begin() + static_cast<std::ptrdiff_t>(other.CurrentSize())),
      m_nSize(other.CurrentSize()), m_nPos(other.m_nPos), m_nReadEnd(other.m_nReadEnd), m_nFlags(other.m_nFlags),
      m_nDepth(other.m_nDepth), m_bFailed(other.m_bFailed)
{
    std::copy(other.m_aBlockEnds, other.m_aBlockEnds + kMaxBlockDepth, m_aBlockEnds);
}

CTQDataStream& CTQDataStream::operator=(const CTQDataStream& other)
{
    if (this != &other)
    {
        CTQDataStream copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CTQDataStream::~CTQDataStream() = default;

void CTQDataStream::Rewind()
{
    m_nPos = 0;
    m_nDepth = 0;
    m_bFailed = false;
    if (IsStoring())
        m_nSize = 0;
    ResetReadEnd();
    ResetWriteEnd();
}

void CTQDataStream::Rewind(int mode)
{
    SyncSize();
    m_nFlags = mode;
    m_nPos = 0;
    m_nDepth = 0;
    m_bFailed = false;
    ResetReadEnd();
    ResetWriteEnd();
}

void CTQDataStream::Rewind(const void* data, std::uint32_t size)
{
    m_nFlags = eLoading;
    m_nPos = 0;
    m_nDepth = 0;
    m_bFailed = false;
    m_nSize = 0;
    if (data && size > 0)
    {
        // Reuses the capacity a long-lived receive stream already has.
        if (m_aBytes.size() < size)
            m_aBytes.resize(size);
        std::memcpy(m_aBytes.data(), data, size);
        m_nSize = size;
    }
    ResetReadEnd();
    ResetWriteEnd();
}

void CTQDataStream::Grow(std::size_t needed)
{
    if (needed <= m_aBytes.size())
        return;
    std::size_t capacity = std::max<std::size_t>(needed, std::max<std::size_t>(64, m_aBytes.size() * 2));
    m_aBytes.resize(capacity);
    ResetWriteEnd();
}

void CTQDataStream::Put(const void* data, std::uint32_t size)
{
    if (!IsStoring())
    {
        m_bFailed = true;
        return;
    }
    if (size == 0)
        return;
    Grow(m_nPos + size);
    if (data)
        std::memcpy(m_aBytes.data() + m_nPos, data, size);
    else
        std::memset(m_aBytes.data() + m_nPos, 0, size);
    m_nPos += size;
    m_nSize = std::max(m_nSize, m_nPos);
}

bool CTQDataStream::Get(void* data, std::uint32_t size)
{
    // All or nothing: a value cut short reads as zero, never as half a value.
    const std::size_t limit = Limit();
    if (m_nPos + size > limit)
    {
        std::memset(data, 0, size);
        m_nPos = std::max(m_nPos, limit);
        m_bFailed = true;
        return false;
    }
    if (size > 0)
        std::memcpy(data, m_aBytes.data() + m_nPos, size);
    m_nPos += size;
    return true;
}

bool CTQDataStream::Skip(std::uint32_t size)
{
    if (IsStoring())
    {
        Put(nullptr, size);
        return true;
    }
    std::size_t limit = Limit();
    if (m_nPos + size > limit)
    {
        m_nPos = limit;
        m_bFailed = true;
        return false;
    }
    m_nPos += size;
    return true;
}

bool CTQDataStream::SetPosition(std::uint32_t position)
{
    SyncSize();
    if (position > m_nSize)
        return false;
    m_nPos = position;
    return true;
}

bool CTQDataStream::CheckCount(std::uint32_t count, std::uint32_t itemSize)
{
    std::uint64_t need = static_cast<std::uint64_t>(count) * itemSize;
    if (need <= GetRemaining())
        return true;
    m_bFailed = true;
    return false;
}

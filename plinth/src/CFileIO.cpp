#include <Plinth/CFileIO.h>

#include <Plinth/CFileIOException.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CXfsException.h>
#include <Plinth/Log.h>

#include "TQNumberText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include <sys/stat.h>

namespace
{
constexpr std::int64_t kMaxFileSize = std::numeric_limits<std::int32_t>::max();
constexpr char kTextDelimiter = ';';

bool IsBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsLineEnd(int c)
{
    return c == '\r' || c == '\n';
}

bool IsWordChar(int c)
{
    return c != EOF && (std::isalnum(c) || c == '_');
}

// Characters that end a bare word in a token file.
bool EndsBareWord(int c)
{
    return c == EOF || IsBlank(c) || c == ';' || c == ',' || c == '=' || c == '{' || c == '}' || c == '"';
}

bool IsValidMode(int mode)
{
    int direction = mode & 0x0F;
    int others = mode & ~(0x0F | CFileIO::eBinary);
    return others == 0 && (direction == CFileIO::eRead || direction == CFileIO::eWrite);
}
} // namespace

CFileIO::CFileIO() = default;

CFileIO::~CFileIO()
{
    Close();
}

// ---- Opening and closing -----------------------------------------------------

bool CFileIO::Open(const char* name, int mode)
{
    Close();
    if (name == nullptr || *name == '\0')
        throw new CXfsException(CTQString(), "no file name given");
    if (!IsValidMode(mode))
    {
        CTQString text;
        text.Format("unknown open mode %d", mode);
        throw new CXfsException(name, text);
    }

    bool writing = (mode & 0x0F) == eWrite;
    std::FILE* file = std::fopen(name, writing ? "wb" : "rb");
    if (file == nullptr)
    {
        int error = errno;
        throw new CFileIOException(CFileIOException::CauseFromOsError(error), name, error);
    }

    // fopen lets a directory be opened for reading; reads would then fail with
    // EISDIR, so it is refused here like any other file that cannot be opened.
    struct stat info;
    int error = fstat(fileno(file), &info) != 0 ? errno : (S_ISDIR(info.st_mode) ? EISDIR : 0);
    if (error != 0)
    {
        std::fclose(file);
        throw new CFileIOException(CFileIOException::CauseFromOsError(error), name, error);
    }
    std::int64_t size = writing ? 0 : static_cast<std::int64_t>(info.st_size);
    if (size > kMaxFileSize)
    {
        std::fclose(file);
        throw new CXfsException(name, "file larger than 2 GiB");
    }

    return AdoptStream(file, name, writing, size);
}

namespace
{
// The name an in-memory file goes by (GetFileName, diagnostics).
constexpr const char* kMemoryFileName = "<memory>";
} // namespace

bool CFileIO::AdoptStream(std::FILE* file, const char* name, bool writing, std::int64_t size)
{
    m_pFile = file;
    m_sFileName = name;
    m_bWriting = writing;
    m_nPos = 0;
    m_nSize = size;
    m_nValueStart = -1;
    return true;
}

bool CFileIO::OpenMemory(const void* data, std::size_t size)
{
    Close();
    if (static_cast<std::uint64_t>(size) > static_cast<std::uint64_t>(kMaxFileSize) || (data == nullptr && size > 0))
        return false;
    // One byte more than asked, so that an empty file still has a buffer to open.
    m_aMemory.assign(size + 1, 0);
    if (size > 0)
        std::memcpy(m_aMemory.data(), data, size);
    std::FILE* file = fmemopen(m_aMemory.data(), m_aMemory.size(), "rb");
    if (file == nullptr)
    {
        m_aMemory.clear();
        return false;
    }
    return AdoptStream(file, kMemoryFileName, false, static_cast<std::int64_t>(size));
}

bool CFileIO::OpenMemory()
{
    Close();
    std::FILE* file = open_memstream(&m_pMemoryStream, &m_nMemoryStreamSize);
    if (file == nullptr)
        return false;
    return AdoptStream(file, kMemoryFileName, true, 0);
}

bool CFileIO::GetMemory(const std::uint8_t*& data, std::size_t& size)
{
    if (!IsWriting() || m_sFileName != kMemoryFileName)
        return false;
    // The stream publishes its buffer when flushed, sized at the position it
    // stands on: stand at the end.
    const std::int64_t position = m_nPos;
    if (!SeekTo(m_nSize) || std::fflush(m_pFile) != 0 || m_pMemoryStream == nullptr)
        return false;
    data = reinterpret_cast<const std::uint8_t*>(m_pMemoryStream);
    size = static_cast<std::size_t>(m_nSize);
    return SeekTo(position);
}

void CFileIO::Close()
{
    if (m_pFile == nullptr)
        return;
    if (std::fclose(m_pFile) != 0 && m_bWriting)
        Debug_Warning("CFileIO::Close(): writing '%s' failed\n", m_sFileName.GetString());
    m_pFile = nullptr;
    std::free(m_pMemoryStream);
    m_pMemoryStream = nullptr;
    m_nMemoryStreamSize = 0;
    m_aMemory.clear();
    m_sFileName.Empty();
    m_bWriting = false;
    m_nPos = 0;
    m_nSize = 0;
    m_nValueStart = -1;
}

// ---- Low-level access ----------------------------------------------------------

int CFileIO::GetChar()
{
    if (!IsReading() || m_nPos >= m_nSize)
        return EOF;
    int c = std::getc(m_pFile);
    if (c != EOF)
        ++m_nPos;
    return c;
}

int CFileIO::PeekChar()
{
    if (!IsReading() || m_nPos >= m_nSize)
        return EOF;
    int c = std::getc(m_pFile);
    if (c != EOF)
        std::ungetc(c, m_pFile);
    return c;
}

void CFileIO::SkipBlanks()
{
    while (IsBlank(PeekChar()))
        GetChar();
}

bool CFileIO::SeekTo(std::int64_t position)
{
    if (m_pFile == nullptr || position < 0 || position > m_nSize)
        return false;
    if (std::fseek(m_pFile, static_cast<long>(position), SEEK_SET) != 0)
        return false;
    m_nPos = position;
    return true;
}

bool CFileIO::ReadBytes(void* data, std::size_t size)
{
    if (!IsReading() || static_cast<std::uint64_t>(GetRemaining()) < size)
        return false;
    if (size == 0)
        return true;
    std::int64_t start = m_nPos;
    std::size_t got = std::fread(data, 1, size, m_pFile);
    m_nPos += static_cast<std::int64_t>(got);
    if (got == size)
        return true;
    // The file shrank under us or the device failed: keep the no-consumption rule.
    std::clearerr(m_pFile);
    SeekTo(start);
    return false;
}

bool CFileIO::WriteBytes(const void* data, std::size_t size)
{
    if (!IsWriting() || static_cast<std::uint64_t>(m_nPos) + size > static_cast<std::uint64_t>(kMaxFileSize))
        return false;
    if (size == 0)
        return true;
    std::size_t put = std::fwrite(data, 1, size, m_pFile);
    m_nPos += static_cast<std::int64_t>(put);
    if (m_nPos > m_nSize)
        m_nSize = m_nPos;
    return put == size;
}

template <class T>
bool CFileIO::ReadLittleEndian(T& value)
{
    T raw;
    if (!ReadBytes(&raw, sizeof raw))
        return false;
    value = TQDetail::ToLittleEndian(raw);
    return true;
}

template <class T>
bool CFileIO::WriteLittleEndian(T value)
{
    T raw = TQDetail::ToLittleEndian(value);
    return WriteBytes(&raw, sizeof raw);
}

// ---- Raw bytes -------------------------------------------------------------------

std::size_t CFileIO::ReadRaw(void* buffer, std::size_t size, std::size_t count)
{
    if (!IsReading() || size == 0 || count == 0 || buffer == nullptr)
        return 0;
    std::size_t available = static_cast<std::size_t>(GetRemaining()) / size;
    std::size_t items = count < available ? count : available;
    if (items == 0)
        return 0;
    std::size_t got = std::fread(buffer, 1, items * size, m_pFile);
    m_nPos += static_cast<std::int64_t>(got);
    if (got % size != 0)
    {
        // A short read inside an item: stop at the last whole item.
        std::clearerr(m_pFile);
        SeekTo(m_nPos - static_cast<std::int64_t>(got % size));
    }
    return got / size;
}

std::size_t CFileIO::WriteRaw(const void* buffer, std::size_t size, std::size_t count)
{
    if (!IsWriting() || size == 0 || count == 0 || buffer == nullptr)
        return 0;
    if (count > std::numeric_limits<std::size_t>::max() / size)
        return 0;
    std::int64_t start = m_nPos;
    WriteBytes(buffer, size * count);
    return static_cast<std::size_t>(m_nPos - start) / size;
}

// ---- Typed binary values -----------------------------------------------------------

bool CFileIO::ReadBool(bool& value)
{
    std::uint8_t byte = 0;
    if (!ReadBytes(&byte, 1))
        return false;
    value = byte != 0;
    return true;
}

bool CFileIO::WriteBool(bool value)
{
    std::uint8_t byte = value ? 1 : 0;
    return WriteBytes(&byte, 1);
}

bool CFileIO::ReadInt16(std::int16_t& value)
{
    return ReadLittleEndian(value);
}

bool CFileIO::WriteInt16(std::int16_t value)
{
    return WriteLittleEndian(value);
}

bool CFileIO::ReadUInt16(std::uint16_t& value)
{
    return ReadLittleEndian(value);
}

bool CFileIO::WriteUInt16(std::uint16_t value)
{
    return WriteLittleEndian(value);
}

bool CFileIO::ReadInt32(std::int32_t& value)
{
    return ReadLittleEndian(value);
}

bool CFileIO::WriteInt32(std::int32_t value)
{
    return WriteLittleEndian(value);
}

bool CFileIO::ReadUInt32(std::uint32_t& value)
{
    return ReadLittleEndian(value);
}

bool CFileIO::WriteUInt32(std::uint32_t value)
{
    return WriteLittleEndian(value);
}

bool CFileIO::ReadInt(int& value)
{
    static_assert(sizeof(int) == 4, "records store int as 4 bytes");
    return ReadLittleEndian(value);
}

bool CFileIO::WriteInt(int value)
{
    return WriteLittleEndian(value);
}

bool CFileIO::ReadFloat(float& value)
{
    static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559, "records store IEEE 754 floats");
    return ReadLittleEndian(value);
}

bool CFileIO::WriteFloat(float value)
{
    return WriteLittleEndian(value);
}

bool CFileIO::ReadString(CTQString& value)
{
    std::int64_t start = m_nPos;
    std::int32_t length = 0;
    if (!ReadLittleEndian(length))
        return false;
    if (length < 0 || length > GetRemaining())
    {
        SeekTo(start);
        return false;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    if (!ReadBytes(text.data(), text.size()))
    {
        SeekTo(start);
        return false;
    }
    value = CTQString(std::move(text));
    return true;
}

bool CFileIO::WriteString(const CTQString& value)
{
    std::string bytes(sizeof(std::int32_t), '\0');
    std::int32_t length = TQDetail::ToLittleEndian(static_cast<std::int32_t>(value.GetLength()));
    std::memcpy(bytes.data(), &length, sizeof length);
    bytes += value.view();
    // One write: a string is either wholly in the file or not at all (barring I/O errors).
    return WriteBytes(bytes.data(), bytes.size());
}

// ---- Position ------------------------------------------------------------------------

bool CFileIO::Skip(std::int32_t bytes)
{
    return Seek(bytes, eSeekCurrent);
}

bool CFileIO::Seek(std::int32_t offset, int origin)
{
    if (m_pFile == nullptr)
        return false;
    std::int64_t base = 0;
    switch (origin)
    {
    case eSeekBegin:
        base = 0;
        break;
    case eSeekCurrent:
        base = m_nPos;
        break;
    case eSeekEnd:
        base = m_nSize;
        break;
    default:
        return false;
    }
    return SeekTo(base + offset);
}

std::int32_t CFileIO::GetPosition() const
{
    return m_pFile ? static_cast<std::int32_t>(m_nPos) : -1;
}

std::int32_t CFileIO::GetSize() const
{
    return m_pFile ? static_cast<std::int32_t>(m_nSize) : -1;
}

// ---- Text tokens -------------------------------------------------------------------------

bool CFileIO::ReadUpTo(char delimiter, std::size_t maxLength, bool stopAtLineEnd, std::string& text)
{
    const int wanted = static_cast<unsigned char>(delimiter);
    text.clear();
    for (;;)
    {
        int c = GetChar();
        if (c == EOF)
            return false;
        if (c == wanted)
            return true;
        if (stopAtLineEnd && IsLineEnd(c))
            return false;
        // Bounded: an endless line costs at most maxLength + 1 characters.
        if (text.size() >= maxLength)
            return false;
        text.push_back(static_cast<char>(c));
    }
}

bool CFileIO::ExpectToken(const char* token)
{
    if (!IsReading() || token == nullptr || *token == '\0')
        return false;
    std::int64_t start = m_nPos;
    SkipBlanks();
    for (const char* p = token; *p != '\0'; ++p)
    {
        if (GetChar() != static_cast<unsigned char>(*p))
        {
            SeekTo(start);
            return false;
        }
    }
    int last = static_cast<unsigned char>(token[std::strlen(token) - 1]);
    if (IsWordChar(last) && IsWordChar(PeekChar()))
    {
        SeekTo(start);
        return false;
    }
    return true;
}

bool CFileIO::ReadTokenString(CTQString& value)
{
    if (!IsReading())
        return false;
    std::int64_t start = m_nPos;
    SkipBlanks();
    std::string text;
    bool ok = false;
    if (PeekChar() == '"')
    {
        GetChar();
        ok = ReadUpTo('"', kMaxTextValue, true, text);
    }
    else
    {
        while (!EndsBareWord(PeekChar()) && text.size() <= static_cast<std::size_t>(kMaxTextValue))
            text.push_back(static_cast<char>(GetChar()));
        ok = !text.empty() && text.size() <= static_cast<std::size_t>(kMaxTextValue);
    }
    if (!ok)
    {
        SeekTo(start);
        return false;
    }
    std::int64_t afterValue = m_nPos;
    SkipBlanks();
    if (PeekChar() == ';')
        GetChar();
    else
        SeekTo(afterValue);
    value = CTQString(std::move(text));
    return true;
}

bool CFileIO::ReadTokenInt(std::int32_t& value, char terminator)
{
    if (!IsReading())
        return false;
    std::int64_t start = m_nPos;
    SkipBlanks();
    std::string text;
    std::int32_t parsed = 0;
    if (!ReadUpTo(terminator, kMaxNumberText, false, text) || !TQNumberText::ParseInt32(text, parsed))
    {
        SeekTo(start);
        return false;
    }
    value = parsed;
    return true;
}

bool CFileIO::ReadTokenChar(char& value)
{
    int c = GetChar();
    if (c == EOF)
        return false;
    value = static_cast<char>(c);
    return true;
}

bool CFileIO::ReadLine(CTQString& line, int maxLength)
{
    if (!IsReading() || m_nPos >= m_nSize)
        return false;
    std::size_t limit = maxLength > 0 ? static_cast<std::size_t>(maxLength) : 0;
    std::string text;
    for (int c = GetChar(); c != EOF && c != '\n'; c = GetChar())
    {
        if (text.size() < limit)
            text.push_back(static_cast<char>(c));
    }
    // "\r\n" ends a line as "\n" does; a '\r' cut off by the limit is gone already.
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    line = CTQString(std::move(text));
    return true;
}

// ---- Delimited text values ---------------------------------------------------------------------

bool CFileIO::WriteTextValue(const char* text, std::size_t length)
{
    std::string value(text, length);
    value.push_back(kTextDelimiter);
    return WriteBytes(value.data(), value.size());
}

bool CFileIO::WriteTextFloat(float value)
{
    std::string text = TQNumberText::FormatFloat(value);
    return WriteTextValue(text.data(), text.size());
}

bool CFileIO::WriteTextLong(std::int32_t value)
{
    std::string text = TQNumberText::FormatInt32(value);
    return WriteTextValue(text.data(), text.size());
}

bool CFileIO::WriteTextInt(int value)
{
    return WriteTextLong(static_cast<std::int32_t>(value));
}

bool CFileIO::WriteTextString(const CTQString& value)
{
    if (value.view().find_first_of(";\r\n") != std::string_view::npos)
        return false;
    return WriteTextValue(value.GetString(), static_cast<std::size_t>(value.GetLength()));
}

bool CFileIO::WriteText(const char* text)
{
    if (text == nullptr)
        return false;
    return WriteBytes(text, std::strlen(text));
}

bool CFileIO::Flush()
{
    return IsWriting() && std::fflush(m_pFile) == 0;
}

bool CFileIO::ReadTextValue(char delimiter, std::size_t maxLength, std::string& text)
{
    if (!IsReading())
        return false;
    std::int64_t start = m_nPos;
    while (IsLineEnd(PeekChar()))
        GetChar();
    std::int64_t valueStart = m_nPos;
    if (!ReadUpTo(delimiter, maxLength, true, text))
    {
        SeekTo(start);
        return false;
    }
    m_nValueStart = valueStart;
    return true;
}

bool CFileIO::ReadTextFloat(float& value, char delimiter)
{
    std::int64_t start = m_nPos;
    std::int64_t previousValue = m_nValueStart;
    std::string text;
    float parsed = 0.0f;
    if (!ReadTextValue(delimiter, kMaxNumberText, text))
        return false;
    if (!TQNumberText::ParseFloat(text, parsed))
    {
        SeekTo(start);
        m_nValueStart = previousValue;
        return false;
    }
    value = parsed;
    return true;
}

bool CFileIO::ReadTextLong(std::int32_t& value, char delimiter)
{
    std::int64_t start = m_nPos;
    std::int64_t previousValue = m_nValueStart;
    std::string text;
    std::int32_t parsed = 0;
    if (!ReadTextValue(delimiter, kMaxNumberText, text))
        return false;
    if (!TQNumberText::ParseInt32(text, parsed))
    {
        SeekTo(start);
        m_nValueStart = previousValue;
        return false;
    }
    value = parsed;
    return true;
}

bool CFileIO::ReadTextInt(int& value, char delimiter)
{
    std::int32_t parsed = 0;
    if (!ReadTextLong(parsed, delimiter))
        return false;
    value = parsed;
    return true;
}

bool CFileIO::ReadTextString(CTQString& value, char delimiter)
{
    std::string text;
    if (!ReadTextValue(delimiter, kMaxTextValue, text))
        return false;
    value = CTQString(std::move(text));
    return true;
}

bool CFileIO::IsEOF()
{
    if (m_pFile == nullptr)
        return true;
    if (m_bWriting)
        return m_nPos >= m_nSize;
    std::int64_t start = m_nPos;
    int c = GetChar();
    while (c != EOF && IsBlank(c))
        c = GetChar();
    SeekTo(start);
    return c == EOF;
}

bool CFileIO::StepBack()
{
    if (!IsReading() || m_nValueStart < 0)
        return false;
    return SeekTo(m_nValueStart);
}

#pragma once

#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>
#include <string>

// A file opened either for reading or for writing, with three ways to read and
// write it:
//
// - Typed binary values (ReadBool ... WriteString): little-endian and of fixed
//   width whatever the host: bool 1 byte (0 or 1; any non-zero byte reads as
//   true), 16-bit and 32-bit integers, int 4 bytes, float 4 bytes (IEEE 754),
//   string = 32-bit byte length, then the bytes, no terminator.
// - Text tokens for hand-written description files such as font files
//   (ExpectToken, ReadTokenString, ReadTokenInt, ReadTokenChar).
// - Delimited text values for record files such as input recordings: each value
//   is written followed by ';' (WriteText*), lines are ended with WriteText("\r\n"),
//   and values are read back up to a delimiter (ReadText*), with IsEOF and
//   StepBack to look ahead.
//
// Rules common to all reads:
// - Nothing is read beyond the end of the file: a value that is not wholly there
//   fails.
// - A read that fails (returns false) leaves the position where it was, so the
//   caller may try another form or stop. ReadRaw is the exception: like fread it
//   delivers as many whole items as there are.
// - Lengths and counts come from the file and are checked against the bytes that
//   remain before anything is allocated.
// - Reads fail on a file opened for writing, writes fail on one opened for
//   reading, and everything fails on a closed file.
//
// Positions and sizes are 32-bit: a file that does not fit is refused by Open and
// writes that would pass 2 GiB fail. A CFileIO is used by one thread at a time.
class PLINTH_API CFileIO
{
public:
    // Open modes. The low four bits choose the direction; the bit eBinary may be
    // added and changes nothing (every file is binary). 1 and 0x11 read, 2 and 0x12
    // write (creating the file or truncating it).
    enum : int
    {
        eRead = 0x01,
        eWrite = 0x02,
        eBinary = 0x10,
        eReadBinary = eRead | eBinary,
    };

    // Seek origins.
    enum : int
    {
        eSeekBegin = 0,
        eSeekCurrent = 1,
        eSeekEnd = 2,
    };

    // The longest text value or string token read back (bytes); longer ones fail.
    static constexpr int kMaxTextValue = 64 * 1024;
    // The longest number read as text (characters, blanks included).
    static constexpr int kMaxNumberText = 64;

    CFileIO();
    CFileIO(const CFileIO&) = delete;
    CFileIO& operator=(const CFileIO&) = delete;
    // Closes the file.
    virtual ~CFileIO();

    // ---- Opening and closing ------------------------------------------------

    // Opens name in the given mode and returns true. A file that was open is
    // closed first, whatever happens next.
    // Throws `new CXfsException(...)` for a null or empty name, an unknown mode or
    // a file too large for 32-bit positions, and `new CFileIOException(...)` when
    // the operating system cannot open it (missing, no access, a directory).
    bool Open(const char* name, int mode);
    // In-memory files, with every operation a file on disk has. The first form
    // reads a copy of size bytes; the second writes into a buffer that
    // GetMemory() shows. Both close what was open first; false when the memory
    // cannot be had.
    bool OpenMemory(const void* data, std::size_t size);
    bool OpenMemory();
    // The bytes written so far to a file opened with OpenMemory(); valid until the
    // next write or Close. False for any other file.
    bool GetMemory(const std::uint8_t*& data, std::size_t& size);
    bool IsOpened() const { return m_pFile != nullptr; }
    bool IsReading() const { return m_pFile != nullptr && !m_bWriting; }
    bool IsWriting() const { return m_pFile != nullptr && m_bWriting; }
    // The name given to the last successful Open; empty when closed.
    const CTQString& GetFileName() const { return m_sFileName; }
    // Closes the file (writing out what is buffered); nothing happens when it is
    // not open. A failure to write the last bytes is logged.
    void Close();

    // ---- Raw bytes ------------------------------------------------------------

    // Reads up to count items of size bytes each; returns the number of whole
    // items read (fewer at the end of the file, 0 on a closed file or size 0).
    std::size_t ReadRaw(void* buffer, std::size_t size, std::size_t count);
    // Writes count items of size bytes; returns the number of whole items written.
    std::size_t WriteRaw(const void* buffer, std::size_t size, std::size_t count);

    // ---- Typed binary values ----------------------------------------------------

    virtual bool ReadBool(bool& value);
    virtual bool WriteBool(bool value);
    virtual bool ReadInt16(std::int16_t& value);
    virtual bool WriteInt16(std::int16_t value);
    virtual bool ReadUInt16(std::uint16_t& value);
    virtual bool WriteUInt16(std::uint16_t value);
    virtual bool ReadInt32(std::int32_t& value);
    virtual bool WriteInt32(std::int32_t value);
    virtual bool ReadUInt32(std::uint32_t& value);
    virtual bool WriteUInt32(std::uint32_t value);
    // "Integer" values of records: 4 bytes, the same encoding as ReadInt32.
    virtual bool ReadInt(int& value);
    virtual bool WriteInt(int value);
    virtual bool ReadFloat(float& value);
    virtual bool WriteFloat(float value);
    // A length that is negative or larger than the bytes left fails before
    // anything is allocated. Strings loaded here carry no string-resource id.
    virtual bool ReadString(CTQString& value);
    virtual bool WriteString(const CTQString& value);

    // ---- Position ---------------------------------------------------------------

    // Moves by bytes from the current position (negative moves back).
    virtual bool Skip(std::int32_t bytes);
    // Moves to offset from origin (eSeekBegin, eSeekCurrent, eSeekEnd). The target
    // must lie within the file as it is, 0 to GetSize(); otherwise nothing moves
    // and the result is false. A file being written may be sought back into what
    // was written and forward to its end again (fill in a length, then go on).
    virtual bool Seek(std::int32_t offset, int origin);
    // Byte offset from the start; -1 when closed.
    virtual std::int32_t GetPosition() const;
    // Bytes in the file (for a file being written: the bytes written so far, the
    // furthest position reached); -1 when closed.
    virtual std::int32_t GetSize() const;

    // ---- Text tokens ------------------------------------------------------------
    // Blanks are spaces, tabs and line ends. Each token operation except
    // ReadTokenChar first skips blanks.

    // Matches the literal token. A token ending in a letter, digit or '_' must not
    // be followed directly by another one ("Font" does not match "Fonts"). False,
    // and nothing consumed, on a mismatch.
    virtual bool ExpectToken(const char* token);
    // A double-quoted string (the quotes removed; it may hold blanks but no line
    // end) or a bare word (up to a blank or one of ; , = { } "). A ';' that follows
    // the value, blanks between allowed, is consumed with it, so both
    // `Name = "Arial"` and `Name = "Arial";` read. Empty words, unterminated quotes
    // and values over kMaxTextValue bytes fail.
    virtual bool ReadTokenString(CTQString& value);
    // The text up to terminator, which is consumed, read as a decimal 32-bit
    // integer (blanks around it allowed): ReadTokenInt(x, ',') on " 12 ," gives 12.
    // Fails on an empty or non-numeric text, one out of range, and when the end of
    // the file or kMaxNumberText characters come before the terminator.
    virtual bool ReadTokenInt(std::int32_t& value, char terminator);
    // The next character as it is, blank or not (the glyph between the quotes of
    // `' ' = 5;`). False at the end of the file.
    virtual bool ReadTokenChar(char& value);
    // One line up to "\n" or "\r\n" (not included) or the end of the file;
    // characters beyond maxLength are dropped. False only at the end of the file.
    virtual bool ReadLine(CTQString& line, int maxLength);

    // ---- Delimited text values --------------------------------------------------
    // Writing: each value is written as text followed by ';'. Numbers are written
    // so that they read back exactly (floats as the shortest text of the same
    // value, in the C locale whatever the process locale).
    virtual bool WriteTextFloat(float value);
    virtual bool WriteTextLong(std::int32_t value);
    virtual bool WriteTextInt(int value);
    // A text holding ';', '\r' or '\n' could not be read back and is refused.
    virtual bool WriteTextString(const CTQString& value);
    // Raw text, no delimiter: line ends ("\r\n") and the like.
    virtual bool WriteText(const char* text);
    virtual bool Flush();

    // Reading: line ends ("\r\n", "\n", also several) before a value are skipped;
    // the value is the text up to delimiter, which is consumed. A value may not
    // span a line end. Numbers may have blanks around them; anything else that does
    // not parse whole, and values over kMaxTextValue (text) or kMaxNumberText
    // (numbers) characters, fail. A value missing its delimiter at the end of the
    // file fails.
    virtual bool ReadTextFloat(float& value, char delimiter = ';');
    virtual bool ReadTextLong(std::int32_t& value, char delimiter = ';');
    virtual bool ReadTextInt(int& value, char delimiter = ';');
    virtual bool ReadTextString(CTQString& value, char delimiter = ';');
    // True when no further value can be read: nothing but blanks and line ends
    // remain (also true for a closed file). For a file being written: at its end.
    virtual bool IsEOF();
    // Goes back to the start of the value that the last successful ReadText* call
    // read, so that it is read again. False when there is none.
    virtual bool StepBack();

private:
    int GetChar();
    int PeekChar();
    void SkipBlanks();
    bool SeekTo(std::int64_t position);
    std::int64_t GetRemaining() const { return m_nSize - m_nPos; }
    bool ReadBytes(void* data, std::size_t size);
    bool WriteBytes(const void* data, std::size_t size);
    template <class T>
    bool ReadLittleEndian(T& value);
    template <class T>
    bool WriteLittleEndian(T value);
    bool ReadUpTo(char delimiter, std::size_t maxLength, bool stopAtLineEnd, std::string& text);
    bool ReadTextValue(char delimiter, std::size_t maxLength, std::string& text);
    bool WriteTextValue(const char* text, std::size_t length);

    bool AdoptStream(std::FILE* file, const char* name, bool writing, std::int64_t size);

    std::FILE* m_pFile = nullptr;
    CTQString m_sFileName;
    // In-memory files: the bytes being read, or the C library's growing buffer
    // being written (owned here, freed on Close).
    std::vector<std::uint8_t> m_aMemory;
    char* m_pMemoryStream = nullptr;
    std::size_t m_nMemoryStreamSize = 0;
    bool m_bWriting = false;
    // Tracked here rather than asked of the C library: every read is checked
    // against m_nSize - m_nPos. For a file being written m_nSize is the furthest
    // position written.
    std::int64_t m_nPos = 0;
    std::int64_t m_nSize = 0;
    // Where the value of the last successful ReadText* call starts; -1 for none.
    std::int64_t m_nValueStart = -1;
};

#pragma once

#include <Plinth/CTQException.h>
#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

// A request the file layer refuses before asking the operating system: an empty
// file name, an unknown open mode, a file too large for 32-bit positions. Thrown
// by CFileIO::Open as `new CXfsException(...)`; the handler reports and deletes it.
class PLINTH_API CXfsException : public CTQException
{
public:
    CXfsException(const CTQString& fileName, const CTQString& text);
    ~CXfsException() override;

    const CTQString& GetFileName() const { return m_sFileName; }
    const CTQString& GetText() const { return m_sText; }

    // "File '<name>': <text>"
    CTQString GetErrorMessage() const override;

private:
    CTQString m_sFileName;
    CTQString m_sText;
};

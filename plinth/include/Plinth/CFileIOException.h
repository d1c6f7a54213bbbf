#pragma once

#include <Plinth/CTQException.h>
#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

// The operating system refused to open a file: it is missing, not accessible,
// a directory, or the process has run out of handles. Thrown by CFileIO::Open
// as `new CFileIOException(...)`; the handler reports and deletes it.
class PLINTH_API CFileIOException : public CTQException
{
public:
    enum eCause : int
    {
        eGeneric = 0,
        eFileNotFound = 1,
        eAccessDenied = 2,
        eTooManyOpenFiles = 3,
        eIsDirectory = 4,
        eDiskFull = 5,
    };

    CFileIOException(eCause cause, const CTQString& fileName, int osError = 0);
    ~CFileIOException() override;

    eCause GetCause() const { return m_eCause; }
    const CTQString& GetFileName() const { return m_sFileName; }
    // The errno value the system reported; 0 when none.
    int GetOsError() const { return m_nOsError; }

    // "Cannot open file '<name>': <cause> (error <n>)"
    CTQString GetErrorMessage() const override;

    // The cause that matches an errno value.
    static eCause CauseFromOsError(int osError);
    static const char* GetCauseText(eCause cause);

private:
    eCause m_eCause;
    CTQString m_sFileName;
    int m_nOsError;
};

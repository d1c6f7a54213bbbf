#include <Plinth/CFileIOException.h>

#include <cerrno>

CFileIOException::CFileIOException(eCause cause, const CTQString& fileName, int osError)
    : m_eCause(cause), m_sFileName(fileName), m_nOsError(osError)
{
}

CFileIOException::~CFileIOException() = default;

CTQString CFileIOException::GetErrorMessage() const
{
    CTQString text;
    text.Format("Cannot open file '%s': %s (error %d)", m_sFileName.GetString(), GetCauseText(m_eCause), m_nOsError);
    return text;
}

CFileIOException::eCause CFileIOException::CauseFromOsError(int osError)
{
    switch (osError)
    {
    case ENOENT:
    case ENOTDIR:
        return eFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return eAccessDenied;
    case EMFILE:
    case ENFILE:
        return eTooManyOpenFiles;
    case EISDIR:
        return eIsDirectory;
    case ENOSPC:
        return eDiskFull;
    default:
        return eGeneric;
    }
}

const char* CFileIOException::GetCauseText(eCause cause)
{
    switch (cause)
    {
    case eFileNotFound:
        return "file not found";
    case eAccessDenied:
        return "access denied";
    case eTooManyOpenFiles:
        return "too many open files";
    case eIsDirectory:
        return "is a directory";
    case eDiskFull:
        return "disk full";
    case eGeneric:
        break;
    }
    return "input/output error";
}

#pragma once

#include <Plinth/CTQString.h>
#include <Plinth/PlinthExport.h>

// Base of the exceptions the base library throws. They are thrown by pointer,
// and the handler owns what it caught:
//
//     catch (CFileIOException* e) { e->ReportError(); e->Delete(); }
//
// CFileIO::Open is the only operation that throws them.
class PLINTH_API CTQException
{
public:
    virtual ~CTQException();

    // The failure as one line of text, naming the file when there is one.
    virtual CTQString GetErrorMessage() const = 0;
    // Sends GetErrorMessage() to the log sink as a warning.
    virtual void ReportError() const;
    // Destroys an exception that was thrown by pointer; the pointer is dead afterwards.
    void Delete();

protected:
    CTQException() = default;
    CTQException(const CTQException&) = default;
    CTQException& operator=(const CTQException&) = default;
};

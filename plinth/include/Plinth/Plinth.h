#pragma once

// The base library's public headers.
#include <Plinth/CFileIO.h>
#include <Plinth/CFileIOException.h>
#include <Plinth/CTQBitArray.h>
#include <Plinth/CTQClassType.h>
#include <Plinth/CTQCriticalSection.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQEvent.h>
#include <Plinth/CTQException.h>
#include <Plinth/CTQLoadGuard.h>
#include <Plinth/CTQMutex.h>
#include <Plinth/CTQParams.h>
#include <Plinth/CTQPath.h>
#include <Plinth/CTQProperty.h>
#include <Plinth/CTQPropertyManager.h>
#include <Plinth/CTQScopedLock.h>
#include <Plinth/CTQString.h>
#include <Plinth/CTQTimer.h>
#include <Plinth/CTimer.h>
#include <Plinth/CXfsException.h>
#include <Plinth/Log.h>
#include <Plinth/Memory.h>
#include <Plinth/PlinthExport.h>
#include <Plinth/Sync.h>
#include <Plinth/SystemHooks.h>
#include <Plinth/TimeSource.h>

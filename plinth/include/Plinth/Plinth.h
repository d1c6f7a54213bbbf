#pragma once

// The base library's public headers.
#include <Plinth/CTQClassType.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQString.h>

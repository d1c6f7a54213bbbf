#pragma once

// Everything a game may call is exported by name; the rest stays hidden.
#if defined(GEODEX_BUILDING)
#define GEODEX_API __attribute__((visibility("default")))
#else
#define GEODEX_API __attribute__((visibility("default")))
#endif

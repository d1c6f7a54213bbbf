#pragma once

// Everything a game may call is exported by name; the rest stays hidden.
#if defined(PLINTH_BUILDING)
#define PLINTH_API __attribute__((visibility("default")))
#else
#define PLINTH_API __attribute__((visibility("default")))
#endif

#pragma once

#include <Plinth/PlinthExport.h>

#include <cstddef>

// Raw memory and C strings. A null string counts as the empty string wherever
// one is read; a null destination makes a writing call do nothing.

// Heap blocks. MEM_Alloc returns null when the block cannot be had; a request of
// 0 bytes still yields a distinct block that must be freed. MEM_Free(nullptr) is
// allowed.
PLINTH_API void* MEM_Alloc(std::size_t size);
PLINTH_API void MEM_Free(void* block);
PLINTH_API void MEM_Zero(void* block, std::size_t size);
// Copies size bytes; the two ranges may overlap.
PLINTH_API void MEM_Copy(void* destination, const void* source, std::size_t size);

// Byte-wise comparison: negative, zero or positive.
PLINTH_API int STR_strcmp(const char* a, const char* b);
// Comparison with ASCII letters folded to lower case.
PLINTH_API int STR_stricmp(const char* a, const char* b);
PLINTH_API std::size_t STR_strlen(const char* text);
// Copies source with its terminator into destination, which must be large
// enough; returns destination.
PLINTH_API char* STR_strcpy(char* destination, const char* source);
// The bounded form: copies at most destinationSize - 1 bytes and always
// terminates (nothing is written when destinationSize is 0).
PLINTH_API char* STR_strcpy(char* destination, std::size_t destinationSize, const char* source);
// Splits text into tokens separated by any of the delimiter bytes. The first
// call passes the text (which is modified: delimiters after a token become
// terminators); later calls pass null to go on. Where the scan stands is kept in
// *context, held by the caller, so several texts may be split at once from any
// thread. Returns null when no token is left.
PLINTH_API char* STR_strtok(char* text, const char* delimiters, char** context);

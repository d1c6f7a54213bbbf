#include <Plinth/Memory.h>

#include <cstdlib>
#include <cstring>

namespace
{
const char* OrEmpty(const char* text)
{
    return text ? text : "";
}

unsigned char FoldAscii(unsigned char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<unsigned char>(ch - 'A' + 'a') : ch;
}

bool IsDelimiter(char ch, const char* delimiters)
{
    return ch != '\0' && std::strchr(delimiters, ch) != nullptr;
}
} // namespace

void* MEM_Alloc(std::size_t size)
{
    return std::malloc(size == 0 ? 1 : size);
}

void MEM_Free(void* block)
{
    std::free(block);
}

void MEM_Zero(void* block, std::size_t size)
{
    if (block && size > 0)
        std::memset(block, 0, size);
}

void MEM_Copy(void* destination, const void* source, std::size_t size)
{
    if (destination && source && size > 0)
        std::memmove(destination, source, size);
}

int STR_strcmp(const char* a, const char* b)
{
    return std::strcmp(OrEmpty(a), OrEmpty(b));
}

int STR_stricmp(const char* a, const char* b)
{
    const unsigned char* pa = reinterpret_cast<const unsigned char*>(OrEmpty(a));
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(OrEmpty(b));
    for (;; ++pa, ++pb)
    {
        int difference = FoldAscii(*pa) - FoldAscii(*pb);
        if (difference != 0 || *pa == 0)
            return difference;
    }
}

std::size_t STR_strlen(const char* text)
{
    return std::strlen(OrEmpty(text));
}

char* STR_strcpy(char* destination, const char* source)
{
    if (destination)
        std::memmove(destination, OrEmpty(source), STR_strlen(source) + 1);
    return destination;
}

char* STR_strcpy(char* destination, std::size_t destinationSize, const char* source)
{
    if (!destination || destinationSize == 0)
        return destination;
    std::size_t length = STR_strlen(source);
    if (length >= destinationSize)
        length = destinationSize - 1;
    std::memmove(destination, OrEmpty(source), length);
    destination[length] = '\0';
    return destination;
}

char* STR_strtok(char* text, const char* delimiters, char** context)
{
    if (!context)
        return nullptr;
    char* cursor = text ? text : *context;
    if (!cursor)
        return nullptr;
    delimiters = OrEmpty(delimiters);
    while (IsDelimiter(*cursor, delimiters))
        ++cursor;
    if (*cursor == '\0')
    {
        *context = cursor;
        return nullptr;
    }
    char* token = cursor;
    while (*cursor != '\0' && !IsDelimiter(*cursor, delimiters))
        ++cursor;
    if (*cursor != '\0')
        *cursor++ = '\0';
    *context = cursor;
    return token;
}

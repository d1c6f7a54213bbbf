#include <Framekit.h>

#include <cstdio>

int main()
{
    std::printf("Framekit sample\n");
    return 0;
}

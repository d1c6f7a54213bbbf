#include <Framekit.h>

#include <cstdio>

// Uses each of the three libraries once, so a missing export or include shows.
int main()
{
    CTQDataStream stream;
    stream.SerializeBegin(1);
    stream.SerializeEnd();
    CTQVector3 axis = CTQVector3::BaseX * CTQVector3::BaseY;
    bool ok = CTQNamespace::Instance().New(CTQPath("$/consumer/check"), "CTQNode");
    ok = ok && axis.z > 0.5f && stream.GetSize() == 8 && CTQNodeFactory::IsValidClassType("CTQNode");
    std::printf("consumer: %s\n", ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}

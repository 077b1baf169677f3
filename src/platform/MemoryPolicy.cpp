#include "MemoryPolicy.h"

#include <malloc.h>

void KeepFreedPictureMemory()
{
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

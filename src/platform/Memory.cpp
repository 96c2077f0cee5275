#include "platform/Memory.h"

#include <malloc.h>

void KeepPictureBlocksInHeap()
{
    // 32 MB is the largest threshold the allocator accepts. Failures leave
    // the defaults, which are only slower.
    constexpr int LargestHeapBlock = 32 * 1024 * 1024;
    constexpr int KeepFreedTop = 128 * 1024 * 1024;
    ::mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
    ::mallopt(M_TRIM_THRESHOLD, KeepFreedTop);
}

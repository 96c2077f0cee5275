// libspimem: the memory blocks that plug-ins hand to the program. Both sides
// link this one library, so a block allocated inside a plug-in is freed by
// the program with the same allocator. A handle is the address of a small
// record that owns the bytes; every live record is kept in a set so that a
// handle this library did not hand out (or already freed) is refused instead
// of being written through.

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "sdk/spi.h"

struct SpiLocalBlock {
    unsigned char* Data;
    size_t Size;  // exactly as asked; LocalSize reports it
    int32_t LockCount;
};

namespace {

// Guards the set of live blocks; held only for the set lookups and the
// pointer updates, never while a caller works on the bytes.
std::mutex& BlocksLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_set<SpiLocalBlock*>& LiveBlocks()
{
    static auto* blocks = new std::unordered_set<SpiLocalBlock*>();
    return *blocks;
}

bool IsLive(HLOCAL block)
{
    return block && LiveBlocks().count(block) > 0;
}

// malloc(0) may give NULL; a block always has an address.
unsigned char* AllocateBytes(size_t bytes, bool zero)
{
    const size_t real = bytes == 0 ? 1 : bytes;
    return static_cast<unsigned char*>(zero ? std::calloc(real, 1) : std::malloc(real));
}

}  // namespace

extern "C" {

SPI_EXPORT HLOCAL LocalAlloc(uint32_t flags, size_t bytes)
{
    unsigned char* data = AllocateBytes(bytes, (flags & LMEM_ZEROINIT) != 0);
    if (!data)
        return nullptr;
    auto* block = new (std::nothrow) SpiLocalBlock{data, bytes, 0};
    if (!block) {
        std::free(data);
        return nullptr;
    }
    try {
        std::lock_guard<std::mutex> guard(BlocksLock());
        LiveBlocks().insert(block);
    } catch (...) {
        std::free(data);
        delete block;
        return nullptr;
    }
    return block;
}

SPI_EXPORT HLOCAL LocalReAlloc(HLOCAL block, size_t bytes, uint32_t flags)
{
    std::lock_guard<std::mutex> guard(BlocksLock());
    if (!IsLive(block))
        return nullptr;
    auto* data = static_cast<unsigned char*>(std::realloc(block->Data, bytes == 0 ? 1 : bytes));
    if (!data)
        return nullptr;  // the old block stays valid, as with realloc
    if ((flags & LMEM_ZEROINIT) && bytes > block->Size)
        std::memset(data + block->Size, 0, bytes - block->Size);
    block->Data = data;
    block->Size = bytes;
    return block;
}

SPI_EXPORT void* LocalLock(HLOCAL block)
{
    std::lock_guard<std::mutex> guard(BlocksLock());
    if (!IsLive(block))
        return nullptr;
    ++block->LockCount;
    return block->Data;
}

SPI_EXPORT int32_t LocalUnlock(HLOCAL block)
{
    std::lock_guard<std::mutex> guard(BlocksLock());
    if (!IsLive(block) || block->LockCount <= 0)
        return 0;
    --block->LockCount;
    return block->LockCount > 0 ? 1 : 0;
}

SPI_EXPORT size_t LocalSize(HLOCAL block)
{
    std::lock_guard<std::mutex> guard(BlocksLock());
    return IsLive(block) ? block->Size : 0;
}

SPI_EXPORT HLOCAL LocalFree(HLOCAL block)
{
    if (!block)
        return nullptr;
    {
        std::lock_guard<std::mutex> guard(BlocksLock());
        if (!IsLive(block))
            return block;
        LiveBlocks().erase(block);
    }
    std::free(block->Data);
    delete block;
    return nullptr;
}

SPI_EXPORT size_t LocalLiveCount(void)
{
    std::lock_guard<std::mutex> guard(BlocksLock());
    return LiveBlocks().size();
}

}  // extern "C"

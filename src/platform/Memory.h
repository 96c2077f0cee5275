#pragma once

// How the C library hands out the program's memory, and how much the machine
// has left.

#include <cstdint>
#include <optional>
#include <string_view>

// A page of a book is a block of tens of megabytes, allocated and freed on
// every turn. Left to the defaults, each such block is mapped afresh and
// every one of its pages faults in, zero-filled, on first touch: milliseconds
// per picture. After this call blocks up to 32 MB come from the heap and stay
// there when freed, so the next page of the same size reuses touched memory.
// Call once, at the start of main, before any thread starts.
void KeepPictureBlocksInHeap();


// The memory the machine can still hand out without swapping, in bytes, as
// the kernel estimates it ("MemAvailable" of /proc/meminfo); nothing when it
// cannot be read. Any thread.
std::optional<uint64_t> AvailableMemoryBytes();
// The "MemAvailable" line of a /proc/meminfo text, in bytes.
std::optional<uint64_t> ParseMemAvailable(std::string_view meminfo);

#include "platform/Memory.h"

#include <malloc.h>

#include <charconv>
#include <cstdio>

void KeepPictureBlocksInHeap()
{
    // 32 MB is the largest threshold the allocator accepts. Failures leave
    // the defaults, which are only slower.
    constexpr int LargestHeapBlock = 32 * 1024 * 1024;
    constexpr int KeepFreedTop = 128 * 1024 * 1024;
    ::mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
    ::mallopt(M_TRIM_THRESHOLD, KeepFreedTop);
}

std::optional<uint64_t> ParseMemAvailable(std::string_view meminfo)
{
    constexpr std::string_view key = "MemAvailable:";
    size_t at = 0;
    while (at < meminfo.size()) {
        size_t end = meminfo.find('\n', at);
        if (end == std::string_view::npos)
            end = meminfo.size();
        std::string_view line = meminfo.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(key))
            continue;
        line.remove_prefix(key.size());
        while (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        uint64_t kilobytes = 0;
        const auto [rest, error] = std::from_chars(line.data(), line.data() + line.size(), kilobytes);
        // The kernel writes the value in kB; a line without one, or with
        // another unit, is not trusted.
        if (error != std::errc() || std::string_view(rest, line.data() + line.size() - rest) != " kB")
            return std::nullopt;
        if (kilobytes > UINT64_MAX / 1024)
            return std::nullopt;
        return kilobytes * 1024;
    }
    return std::nullopt;
}

std::optional<uint64_t> AvailableMemoryBytes()
{
    std::FILE* file = std::fopen("/proc/meminfo", "re");
    if (!file)
        return std::nullopt;
    char buffer[4096];
    const size_t count = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    return ParseMemAvailable(std::string_view(buffer, count));
}

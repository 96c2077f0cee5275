#include "base/Stream.h"

#include <algorithm>
#include <cstring>

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    uint8_t buffer[65536];
    int64_t total = 0;
    while (total < count) {
        const int64_t chunk = std::min<int64_t>(sizeof buffer, count - total);
        source.ReadBuffer(buffer, chunk);
        WriteBuffer(buffer, chunk);
        total += chunk;
    }
    return total;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    const int64_t size = static_cast<int64_t>(fData.size());
    if (count <= 0 || fPos >= size)
        return 0;
    const int64_t n = std::min(count, size - fPos);
    std::memcpy(buffer, fData.data() + fPos, static_cast<size_t>(n));
    fPos += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const int64_t end = fPos + count;
    if (end > static_cast<int64_t>(fData.size()))
        fData.resize(static_cast<size_t>(end));
    std::memcpy(fData.data() + fPos, buffer, static_cast<size_t>(count));
    fPos = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t target = offset;
    if (origin == TSeekOrigin::soCurrent)
        target = fPos + offset;
    else if (origin == TSeekOrigin::soEnd)
        target = static_cast<int64_t>(fData.size()) + offset;
    fPos = std::max<int64_t>(target, 0);
    return fPos;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    fData.resize(static_cast<size_t>(std::max<int64_t>(newSize, 0)));
    fPos = std::min<int64_t>(fPos, static_cast<int64_t>(fData.size()));
}

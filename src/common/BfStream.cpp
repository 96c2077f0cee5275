#include "common/BfStream.h"
#include "base/Texts.h"

#include <algorithm>
#include <cstring>

TBufferStream::TBufferStream(TStream& target, int bufferSize)
    : fTarget(target), fBufferSize(bufferSize)
{
    if (bufferSize <= 0)
        throw EBfStreamError(Tx("TBufferStream.Create: バッファサイズが不正です"));
    fBuffer = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(bufferSize));
}

TBufferStream::~TBufferStream()
{
    try {
        FlushBuffer();
    } catch (...) {
        // Writers call Flush() themselves to learn of a failure; here nothing
        // may escape a destructor.
    }
}

void TBufferStream::Fill()
{
    fFilled = fTarget.Read(fBuffer.get(), fBufferSize);
    fCursor = 0;
}

int64_t TBufferStream::FlushBuffer()
{
    if (fMode != TMode::Writing || fCursor == 0)
        return 0;
    const int64_t pending = fCursor;
    const int64_t written = fTarget.Write(fBuffer.get(), pending);
    fCursor = 0;
    if (written != pending)
        throw EBfStreamError(Tx("TBufferStream: 書き込みが途中で失敗しました"));
    return written;
}

void TBufferStream::Flush()
{
    FlushBuffer();
}

void TBufferStream::Sync()
{
    if (fMode == TMode::Reading) {
        const int64_t unread = fFilled - fCursor;
        if (unread > 0)
            fTarget.Seek(-unread, TSeekOrigin::soCurrent);
    } else if (fMode == TMode::Writing) {
        FlushBuffer();
    }
    fFilled = 0;
    fCursor = 0;
    fMode = TMode::Idle;
}

int64_t TBufferStream::LogicalPosition()
{
    const int64_t base = fTarget.Position();
    if (fMode == TMode::Reading)
        return base - (fFilled - fCursor);
    if (fMode == TMode::Writing)
        return base + fCursor;
    return base;
}

int64_t TBufferStream::Read(void* buffer, int64_t count)
{
    if (count < 0)
        throw EBfStreamError(Tx("TBufferStream.Read: Count が負です"));
    if (fMode != TMode::Reading) {
        Sync();
        fMode = TMode::Reading;
        Fill();
    }
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t total = 0;
    while (fFilled > 0) {
        const int64_t n = std::min(fFilled - fCursor, count - total);
        if (n > 0) {
            std::memcpy(out + total, fBuffer.get() + fCursor, static_cast<size_t>(n));
            fCursor += n;
            total += n;
        }
        if (total == count)
            break;
        Fill();
    }
    return total;
}

int64_t TBufferStream::Write(const void* buffer, int64_t count)
{
    if (count < 0)
        throw EBfStreamError(Tx("TBufferStream.Write: Count が負です"));
    if (fMode != TMode::Writing) {
        Sync();
        fMode = TMode::Writing;
    }
    const auto* in = static_cast<const uint8_t*>(buffer);
    int64_t total = 0;
    while (true) {
        const int64_t n = std::min(fBufferSize - fCursor, count - total);
        std::memcpy(fBuffer.get() + fCursor, in + total, static_cast<size_t>(n));
        fCursor += n;
        total += n;
        if (total == count)
            break;
        FlushBuffer();
    }
    return total;
}

int64_t TBufferStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t current = LogicalPosition();
    int64_t target;
    switch (origin) {
    case TSeekOrigin::soBeginning:
        target = offset;
        break;
    case TSeekOrigin::soCurrent:
        target = current + offset;
        break;
    case TSeekOrigin::soEnd:
        Sync();
        target = fTarget.Size() + offset;
        break;
    default:
        target = 0;
        break;
    }
    // Asking for the position (a seek to where we are) must cost nothing: no
    // flush, no read-ahead given back.
    if (target == current && origin != TSeekOrigin::soEnd)
        return current;
    Sync();
    fTarget.Seek(target, TSeekOrigin::soBeginning);
    return target;
}

void TBufferStream::SetSize(int64_t newSize)
{
    Sync();
    fTarget.SetSize(newSize);
}

int64_t TBufferStream::Size()
{
    // Asking for the size must not cost the buffer: bytes still buffered for
    // writing count as part of the stream.
    return std::max(fTarget.Size(), LogicalPosition());
}

bool TBufferStream::AtEnd()
{
    if (fMode == TMode::Reading && fCursor < fFilled)
        return false;
    if (fMode == TMode::Writing && fCursor > 0)
        return false;
    return fTarget.Position() == fTarget.Size();
}

std::string ReadString(TStream& stream)
{
    int32_t length = 0;
    if (stream.Read(&length, 4) != 4 || length <= 0)
        return {};
    // The length comes from the file: read in pieces so that a damaged count
    // costs no more memory than the bytes that are really there.
    std::string text;
    constexpr int64_t Chunk = 64 * 1024;
    int64_t left = length;
    while (left > 0) {
        const int64_t want = std::min(left, Chunk);
        const size_t old = text.size();
        text.resize(old + static_cast<size_t>(want));
        const int64_t got = stream.Read(text.data() + old, want);
        text.resize(old + static_cast<size_t>(std::max<int64_t>(got, 0)));
        if (got < want)
            break;
        left -= got;
    }
    return text;
}

void WriteString(std::string_view text, TStream& stream)
{
    if (text.size() > static_cast<size_t>(INT32_MAX))
        throw EBfStreamError(Tx("WriteString: 文字列が長すぎます"));
    const auto length = static_cast<int32_t>(text.size());
    stream.WriteBuffer(&length, 4);
    if (length > 0)
        stream.WriteBuffer(text.data(), length);
}

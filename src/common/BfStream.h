#pragma once

// TBufferStream puts one buffer in front of another stream (in practice a file)
// so that the many small reads and writes of the program's record-by-record
// binary files become few large ones. The one buffer serves reading or writing
// and switches between the two transparently; the target's position always
// agrees with what the caller has consumed once the buffer is given back.
//
// Writers must end with Flush() (or Close() of the file after it): a target
// that takes fewer bytes than it was given raises EBfStreamError, so a full
// disk is never mistaken for a complete file. The destructor flushes as well
// but cannot report a failure.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/Errors.h"
#include "base/Stream.h"

class EBfStreamError : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

class TBufferStream : public TStream {
public:
    // Buffer sizes the program uses: thumbnail stores and list files.
    static constexpr int ThumbnailBufferSize = 0xF400;
    static constexpr int ListBufferSize = 0x4000;

    // The target is not owned; it must outlive this stream.
    TBufferStream(TStream& target, int bufferSize);
    ~TBufferStream() override;
    TBufferStream(const TBufferStream&) = delete;
    TBufferStream& operator=(const TBufferStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    int64_t Size() override;

    bool AtEnd();
    // Writes out what is buffered; raises EBfStreamError when the target does
    // not take all of it.
    void Flush();

private:
    enum class TMode : uint8_t { Idle, Reading, Writing };

    void Fill();
    int64_t FlushBuffer();
    void Sync();
    int64_t LogicalPosition();

    TStream& fTarget;
    std::unique_ptr<uint8_t[]> fBuffer;
    int64_t fBufferSize;
    int64_t fFilled = 0;
    int64_t fCursor = 0;
    TMode fMode = TMode::Idle;
};

// A 32-bit little-endian signed byte count, then the bytes. A count of 0 or
// less is the empty text; a count beyond the end gives the bytes that arrived
// (never a larger allocation than that).
std::string ReadString(TStream& stream);
void WriteString(std::string_view text, TStream& stream);

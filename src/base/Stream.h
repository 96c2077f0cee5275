#pragma once

// The stream abstraction every binary reader and writer works on: files
// (platform/FileStream.h), memory (TMemoryStream) and the buffered stream in
// front of a file (BfStream.h). Read and Write may move fewer bytes than asked
// (the end of the data, a full disk); ReadBuffer and WriteBuffer raise instead.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Texts.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;

    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t newSize) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
    virtual int64_t Size()
    {
        const int64_t pos = Position();
        const int64_t size = Seek(0, TSeekOrigin::soEnd);
        Seek(pos, TSeekOrigin::soBeginning);
        return size;
    }
    // Bytes between the position and the end; readers check every length and
    // count against this before they allocate.
    int64_t Remaining()
    {
        const int64_t left = Size() - Position();
        return left > 0 ? left : 0;
    }

    void ReadBuffer(void* buffer, int64_t count)
    {
        if (count < 0 || Read(buffer, count) != count)
            throw EStreamError(Tx("読み込みエラー: データが途中で終わっています"));
    }
    void WriteBuffer(const void* buffer, int64_t count)
    {
        if (count < 0 || Write(buffer, count) != count)
            throw EStreamError(Tx("書き込みエラー: データを書き込めませんでした"));
    }

    template <typename T>
    T ReadValue()
    {
        T value{};
        ReadBuffer(&value, sizeof(T));
        return value;
    }
    template <typename T>
    void WriteValue(const T& value)
    {
        WriteBuffer(&value, sizeof(T));
    }

    // Copies count bytes (all that remain when count is 0) from source.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable block of memory with a position: archive members extracted for
// viewing, pictures handed to decoders, files read ahead by the image cache.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : fData(std::move(bytes)) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    int64_t Size() override { return static_cast<int64_t>(fData.size()); }

    void Clear()
    {
        fData.clear();
        fPos = 0;
    }
    uint8_t* Memory() { return fData.data(); }
    const uint8_t* Memory() const { return fData.data(); }
    const std::vector<uint8_t>& Bytes() const { return fData; }
    std::vector<uint8_t> TakeBytes()
    {
        fPos = 0;
        return std::move(fData);
    }

private:
    std::vector<uint8_t> fData;
    int64_t fPos = 0;
};

#pragma once

// A stream over an open file descriptor. Opening never follows a symbolic link
// where the caller asks for it (files the program creates in its own folders),
// every system call is checked, and Close reports a failed close, so that a
// writer can tell a complete file from a truncated one.

#include <string>

#include "base/Stream.h"

enum class TFileMode {
    fmOpenRead,       // read an existing file
    fmOpenReadWrite,  // read and write an existing file
    fmCreate,         // create or truncate, write
    fmCreateNew,      // create; fails when the name exists (also as a link)
};

class TFileStream : public TStream {
public:
    // noFollow refuses a symbolic link as the last path component.
    TFileStream(const std::string& path, TFileMode mode, bool noFollow = false, unsigned permissions = 0644);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    int64_t Size() override;

    // Forces the written bytes to the disk (fsync); raises EFileError.
    void Sync();
    // Closes the descriptor; raises EFileError when the close reports an error
    // (a delayed write failure on some file systems).
    void Close();

    const std::string& Path() const { return fPath; }
    int Handle() const { return fFd; }

private:
    std::string fPath;
    int fFd = -1;
};

// Reads a whole file into memory; raises EFileError. maxBytes guards against
// reading something absurd (a device, a huge file given by mistake).
std::string ReadWholeFile(const std::string& path, int64_t maxBytes = int64_t(1) << 31);

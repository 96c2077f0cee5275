// The archive plug-in we ship: zip/cbz, rar/cbr (RAR 5 included), 7z/cb7,
// tar/cbt and lzh through libarchive. A member's position is its sequence
// number in the archive, so GetFile finds it again by reading up to it (or on
// from the member it extracted last); for zip the central directory gives that
// order without reading the data.
//
// Names in archives come from anywhere. The list reports them as valid UTF-8
// (names of older Japanese tools are read as CP932) and, when extracting
// into a folder, the plug-in writes only the last segment of the name, never
// through a link and never over an existing file.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <archive.h>
#include <archive_entry.h>

#include "kit/PluginKit.h"

using namespace spikit;

namespace {

const char* const Groups[] = {
    "*.zip;*.cbz", "ZIP archive", "*.rar;*.cbr", "RAR archive", "*.7z;*.cb7", "7-Zip archive",
    "*.tar;*.cbt", "tar archive", "*.lzh;*.lha", "LHA archive", nullptr,
};
const TPluginInfoTable Info = {"00AM", "Archives (libarchive) for Mireva", Groups};

// A member read into memory may not be larger than this.
constexpr size_t MaxMemberBytes = size_t(1) << 30;
constexpr size_t ReadBlock = 64 * 1024;

bool IsTarHeader(const uint8_t* header)
{
    if (std::memcmp(header + 257, "ustar", 5) == 0)
        return true;
    // Old tar files have no magic; their header checksum tells them.
    unsigned sum = 0;
    for (int i = 0; i < 512; ++i)
        sum += (i >= 148 && i < 156) ? ' ' : header[i];
    unsigned stored = 0;
    int digits = 0;
    for (int i = 148; i < 156; ++i) {
        const uint8_t c = header[i];
        if (c >= '0' && c <= '7') {
            stored = stored * 8 + (c - '0');
            ++digits;
        } else if (c != ' ' && c != 0) {
            return false;
        }
    }
    return digits > 0 && header[0] != 0 && sum == stored;
}

bool Sniff(const uint8_t* h)
{
    if (std::memcmp(h, "PK\x03\x04", 4) == 0 || std::memcmp(h, "PK\x05\x06", 4) == 0 ||
        std::memcmp(h, "PK\x07\x08PK\x03\x04", 8) == 0)
        return true;
    if (std::memcmp(h, "Rar!\x1A\x07\x00", 7) == 0 || std::memcmp(h, "Rar!\x1A\x07\x01\x00", 8) == 0)
        return true;
    if (std::memcmp(h, "7z\xBC\xAF\x27\x1C", 6) == 0)
        return true;
    if (h[2] == '-' && h[3] == 'l' && (h[4] == 'h' || h[4] == 'z') && h[6] == '-')
        return true;
    return IsTarHeader(h);
}

// An archive opened for reading from a file (at an offset) or from memory.
class TReader {
public:
    ~TReader()
    {
        if (fArchive)
            archive_read_free(fArchive);
        if (fFd >= 0)
            ::close(fFd);
    }

    bool Open(const char* source, intptr_t length, uint32_t flag)
    {
        fArchive = archive_read_new();
        if (!fArchive)
            return false;
        archive_read_support_format_zip(fArchive);
        archive_read_support_format_rar(fArchive);
        archive_read_support_format_rar5(fArchive);
        archive_read_support_format_7zip(fArchive);
        archive_read_support_format_tar(fArchive);
        archive_read_support_format_lha(fArchive);
        archive_read_support_filter_all(fArchive);
        if ((flag & SPI_SOURCE_MASK) == SPI_SOURCE_MEMORY) {
            if (!source || length <= 0)
                return false;
            return archive_read_open_memory(fArchive, source, static_cast<size_t>(length)) == ARCHIVE_OK;
        }
        if (!source || length < 0)
            return false;
        fFd = ::open(source, O_RDONLY | O_CLOEXEC);
        if (fFd < 0 || ::fstat(fFd, &fOpened) != 0)
            return false;
        fBase = static_cast<int64_t>(length);
        if (::lseek(fFd, fBase, SEEK_SET) < 0)
            return false;
        fBuffer.resize(ReadBlock);
        archive_read_set_callback_data(fArchive, this);
        archive_read_set_read_callback(fArchive, ReadCallback);
        archive_read_set_seek_callback(fArchive, SeekCallback);
        archive_read_set_skip_callback(fArchive, SkipCallback);
        return archive_read_open1(fArchive) == ARCHIVE_OK;
    }

    archive* Get() const { return fArchive; }
    // True when path names the very file this reader opened, unchanged since.
    bool Reads(const char* path) const
    {
        struct stat now {};
        return fFd >= 0 && ::stat(path, &now) == 0 && now.st_dev == fOpened.st_dev && now.st_ino == fOpened.st_ino &&
               now.st_size == fOpened.st_size && now.st_mtim.tv_sec == fOpened.st_mtim.tv_sec &&
               now.st_mtim.tv_nsec == fOpened.st_mtim.tv_nsec;
    }

private:
    static la_ssize_t ReadCallback(archive*, void* data, const void** buffer)
    {
        auto* self = static_cast<TReader*>(data);
        for (;;) {
            const ssize_t got = ::read(self->fFd, self->fBuffer.data(), self->fBuffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            *buffer = self->fBuffer.data();
            return got;
        }
    }

    static la_int64_t SeekCallback(archive*, void* data, la_int64_t offset, int whence)
    {
        auto* self = static_cast<TReader*>(data);
        off_t result;
        if (whence == SEEK_SET)
            result = ::lseek(self->fFd, self->fBase + offset, SEEK_SET);
        else
            result = ::lseek(self->fFd, offset, whence);
        if (result < 0)
            return ARCHIVE_FATAL;
        return result - self->fBase;
    }

    static la_int64_t SkipCallback(archive*, void* data, la_int64_t request)
    {
        auto* self = static_cast<TReader*>(data);
        const off_t here = ::lseek(self->fFd, 0, SEEK_CUR);
        if (here < 0 || ::lseek(self->fFd, request, SEEK_CUR) < 0)
            return 0;
        return request;
    }

    archive* fArchive = nullptr;
    int fFd = -1;
    struct stat fOpened {};
    int64_t fBase = 0;
    std::vector<uint8_t> fBuffer;
};

// The reader of the last extraction from a file, left just behind the member
// it extracted. A book is read in order, so the next extraction usually goes
// on from there instead of opening the archive again, reading its whole
// directory and stepping over every member in front of the one asked for (in
// a solid 7z or RAR archive, unpacking them all). It is used only for the
// same file, unchanged, and a member behind it. A reader left unused for
// IdleLimit is closed by a thread of its own, so that a closed book does not
// keep its file open (and its disc or stick from being ejected).
class TLastReader {
public:
    static constexpr auto IdleLimit = std::chrono::seconds(5);

    ~TLastReader()
    {
        {
            std::lock_guard<std::mutex> lock(fLock);
            fQuit = true;
        }
        fWake.notify_all();
        if (fCloser.joinable())
            fCloser.join();
    }

    // The kept reader when it can reach position in source, with next set to
    // the index of the member it reads next; nullptr otherwise.
    std::unique_ptr<TReader> Take(const char* source, intptr_t position, intptr_t& next)
    {
        std::lock_guard<std::mutex> lock(fLock);
        std::unique_ptr<TReader> reader = std::move(fReader);
        if (!reader || fSource != source || position < fNext || !reader->Reads(source))
            return nullptr;
        next = fNext;
        return reader;
    }
    void Keep(std::unique_ptr<TReader> reader, const char* source, intptr_t next)
    {
        std::lock_guard<std::mutex> lock(fLock);
        fReader = std::move(reader);
        fSource = source;
        fNext = next;
        fKeptAt = std::chrono::steady_clock::now();
        if (!fCloser.joinable())
            fCloser = std::thread([this] { CloseIdle(); });
        fWake.notify_all();
    }

private:
    void CloseIdle()
    {
        std::unique_lock<std::mutex> lock(fLock);
        while (!fQuit) {
            if (!fReader) {
                fWake.wait(lock);
                continue;
            }
            const auto deadline = fKeptAt + IdleLimit;
            if (std::chrono::steady_clock::now() >= deadline)
                fReader.reset();
            else
                fWake.wait_until(lock, deadline);
        }
    }

    std::mutex fLock;
    std::condition_variable fWake;
    std::thread fCloser;
    bool fQuit = false;
    std::unique_ptr<TReader> fReader;
    std::string fSource;
    intptr_t fNext = 0;
    std::chrono::steady_clock::time_point fKeptAt;
};

TLastReader& LastReader()
{
    static TLastReader last;
    return last;
}

// libarchive converts names through the character set of the calling
// thread's locale; the program may run in the "C" locale, where every
// non-ASCII name would be lost. Each call works in UTF-8 instead, without
// touching the locale of the program's other threads.
class TUtf8Locale {
public:
    TUtf8Locale()
    {
        fLocale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (fLocale)
            fPrevious = ::uselocale(fLocale);
    }
    ~TUtf8Locale()
    {
        if (fLocale) {
            ::uselocale(fPrevious);
            ::freelocale(fLocale);
        }
    }
    TUtf8Locale(const TUtf8Locale&) = delete;
    TUtf8Locale& operator=(const TUtf8Locale&) = delete;

private:
    locale_t fLocale = static_cast<locale_t>(0);
    locale_t fPrevious = static_cast<locale_t>(0);
};

// Regular files; formats that do not record a type give 0.
bool IsFileEntry(archive_entry* entry)
{
    const unsigned type = archive_entry_filetype(entry);
    return type == AE_IFREG || type == 0;
}

// Cuts a text to fit a record field with its terminator, never inside a
// character.
std::string FitField(std::string text)
{
    const size_t limit = SPI_PATH_FIELD - 1;
    if (text.size() <= limit)
        return text;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text;
}

struct TMemberName {
    std::string Folder;  // with a trailing '/', or empty
    std::string Name;    // the last segment; empty for a folder entry
};

// The member's path as valid UTF-8, split at its last separator. Both '/' and
// '\' separate, as archives made on either system use them.
TMemberName SplitMemberName(archive_entry* entry)
{
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* raw = utf8 ? utf8 : archive_entry_pathname(entry);
    std::string path = ToValidUtf8(raw ? raw : "");
    std::replace(path.begin(), path.end(), '\\', '/');
    if (archive_entry_filetype(entry) == AE_IFDIR && !path.empty() && path.back() != '/')
        path += '/';
    const size_t slash = path.rfind('/');
    TMemberName result;
    result.Folder = FitField(slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
    result.Name = FitField(slash == std::string::npos ? path : path.substr(slash + 1));
    return result;
}

void FillRecord(SpiFileInfo& record, archive* reader, archive_entry* entry, uint32_t position)
{
    std::memset(&record, 0, sizeof record);
    const char* format = archive_format_name(reader);
    std::string method = format ? format : "archive";
    method = method.substr(0, 7);
    if (method.empty())
        method = "archive";
    std::memcpy(record.method, method.data(), method.size());
    record.position = position;
    const int64_t size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
    record.filesize = static_cast<uint32_t>(std::clamp<int64_t>(size, 0, UINT32_MAX));
    record.compsize = record.filesize;
    const int64_t time = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
    record.timestamp = static_cast<int32_t>(std::clamp<int64_t>(time, INT32_MIN, INT32_MAX));
    const TMemberName name = SplitMemberName(entry);
    std::memcpy(record.path, name.Folder.data(), name.Folder.size());
    std::memcpy(record.filename, name.Name.data(), name.Name.size());
}

// Reads up to the member at position from the member at index next; its
// entry, or nullptr.
archive_entry* SeekMember(TReader& reader, intptr_t next, intptr_t position)
{
    archive_entry* entry = nullptr;
    for (intptr_t index = next;; ++index) {
        const int status = archive_read_next_header(reader.Get(), &entry);
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
            return nullptr;
        if (index == position)
            return entry;
    }
}

int32_t ExtractToMemory(archive* reader, archive_entry* entry, HLOCAL* out)
{
    std::vector<uint8_t> bytes;
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0 &&
        static_cast<uint64_t>(archive_entry_size(entry)) <= MaxMemberBytes)
        bytes.reserve(static_cast<size_t>(archive_entry_size(entry)));
    uint8_t block[ReadBlock];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, block, sizeof block);
        if (got < 0)
            return SPI_BROKEN_DATA;
        if (got == 0)
            break;
        if (bytes.size() + static_cast<size_t>(got) > MaxMemberBytes)
            return SPI_NO_MEMORY;
        bytes.insert(bytes.end(), block, block + got);
    }
    HLOCAL handle = LocalAlloc(LMEM_FIXED, bytes.size());
    if (!handle)
        return SPI_NO_MEMORY;
    if (!bytes.empty())
        std::memcpy(LocalLock(handle), bytes.data(), bytes.size());
    LocalUnlock(handle);
    *out = handle;
    return SPI_SUCCESS;
}

int32_t ExtractToFolder(archive* reader, archive_entry* entry, const char* folder)
{
    const TMemberName name = SplitMemberName(entry);
    if (name.Name.empty() || name.Name == "." || name.Name == "..")
        return SPI_FILE_WRITE_ERROR;
    std::string target = folder;
    if (target.empty())
        return SPI_FILE_WRITE_ERROR;
    if (target.back() != '/')
        target += '/';
    target += name.Name;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return SPI_FILE_WRITE_ERROR;
    int32_t result = SPI_SUCCESS;
    uint8_t block[ReadBlock];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, block, sizeof block);
        if (got < 0) {
            result = SPI_BROKEN_DATA;
            break;
        }
        if (got == 0)
            break;
        la_ssize_t done = 0;
        while (done < got) {
            const ssize_t wrote = ::write(fd, block + done, static_cast<size_t>(got - done));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0) {
                result = SPI_FILE_WRITE_ERROR;
                break;
            }
            done += wrote;
        }
        if (result != SPI_SUCCESS)
            break;
    }
    if (::close(fd) != 0 && result == SPI_SUCCESS)
        result = SPI_FILE_WRITE_ERROR;
    if (result != SPI_SUCCESS)
        ::unlink(target.c_str());
    return result;
}

}  // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t number, char* buffer, int32_t length)
{
    return AnswerPluginInfo(Info, number, buffer, length);
}

SPI_EXPORT int32_t IsSupported(const char* fileName, const void* header)
{
    return header && Sniff(static_cast<const uint8_t*>(header)) ? 1 : 0;
}

SPI_EXPORT int32_t GetArchiveInfo(const char* source, intptr_t length, uint32_t flag, HLOCAL* list)
{
    if (!list)
        return SPI_MEMORY_ERROR;
    *list = nullptr;
    try {
        TUtf8Locale utf8;
        TReader reader;
        if (!reader.Open(source, length, flag))
            return SPI_FILE_READ_ERROR;
        std::vector<SpiFileInfo> records;
        archive_entry* entry = nullptr;
        for (uint32_t index = 0;; ++index) {
            const int status = archive_read_next_header(reader.Get(), &entry);
            if (status == ARCHIVE_EOF)
                break;
            if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
                // A damaged archive lists the members before the damage.
                if (records.empty() && index == 0)
                    return SPI_BROKEN_DATA;
                break;
            }
            if (!IsFileEntry(entry) && archive_entry_filetype(entry) != AE_IFDIR)
                continue;  // links and devices are not pictures
            SpiFileInfo record;
            FillRecord(record, reader.Get(), entry, index);
            if (record.path[0] == 0 && record.filename[0] == 0)
                continue;
            records.push_back(record);
        }
        // One zeroed record more ends the list.
        HLOCAL handle = LocalAlloc(LPTR, (records.size() + 1) * sizeof(SpiFileInfo));
        if (!handle)
            return SPI_NO_MEMORY;
        if (!records.empty())
            std::memcpy(LocalLock(handle), records.data(), records.size() * sizeof(SpiFileInfo));
        LocalUnlock(handle);
        *list = handle;
        return SPI_SUCCESS;
    } catch (...) {
        return SPI_NO_MEMORY;
    }
}

SPI_EXPORT int32_t GetFile(const char* source, intptr_t position, char* dest, uint32_t flag, SpiProgress progress,
                           intptr_t user)
{
    if (!dest || position < 0)
        return SPI_INTERNAL_ERROR;
    const bool toMemory = (flag & SPI_DEST_MASK) == SPI_DEST_MEMORY;
    if (toMemory)
        *reinterpret_cast<HLOCAL*>(dest) = nullptr;
    try {
        TUtf8Locale utf8;
        // GetFile is not told where the archive starts; one found behind a
        // 128-byte MacBinary header is read from there.
        const auto open = [source]() -> std::unique_ptr<TReader> {
            auto reader = std::make_unique<TReader>();
            if (reader->Open(source, 0, SPI_SOURCE_FILE))
                return reader;
            reader = std::make_unique<TReader>();
            if (reader->Open(source, 128, SPI_SOURCE_FILE))
                return reader;
            return nullptr;
        };
        intptr_t next = 0;
        std::unique_ptr<TReader> reader = LastReader().Take(source, position, next);
        archive_entry* entry = reader ? SeekMember(*reader, next, position) : nullptr;
        if (!entry) {
            // Nothing kept, or the kept reader could not get there: from the start.
            reader = open();
            if (!reader)
                return SPI_FILE_READ_ERROR;
            entry = SeekMember(*reader, 0, position);
        }
        if (!entry || !IsFileEntry(entry))
            return SPI_BROKEN_DATA;
        const int32_t result = toMemory ? ExtractToMemory(reader->Get(), entry, reinterpret_cast<HLOCAL*>(dest))
                                        : ExtractToFolder(reader->Get(), entry, dest);
        if (result == SPI_SUCCESS)
            LastReader().Keep(std::move(reader), source, position + 1);
        return result;
    } catch (...) {
        return SPI_NO_MEMORY;
    }
}

SPI_EXPORT int32_t ConfigurationDlg(uintptr_t parent, int32_t function)
{
    return SPI_NOT_IMPLEMENTED;
}

}  // extern "C"

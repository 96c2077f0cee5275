// The archive plug-in's work: zip/cbz, rar/cbr (RAR 5 included), 7z/cb7,
// tar/cbt and lzh through libarchive. A member's position is its sequence
// number in the archive, so extraction finds it again by reading up to it
// (or on from the member it extracted last); for zip the central directory
// gives that order without reading the data.
//
// Names in archives come from anywhere. The list reports them as valid UTF-8
// (names of older Japanese tools are read as CP932) and, when extracting
// into a folder, the plug-in writes only the last segment of the name, never
// through a link and never over an existing file.

#include "archive/ArchiveAccess.h"

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
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include <archive.h>
#include <archive_entry.h>

#include "kit/PluginKit.h"

using namespace spikit;

namespace archivespi {

namespace {

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
        // LHA headers carry no character set, and libarchive stops at the
        // first name it cannot convert from the locale's: the member list of
        // an old Japanese book would end at its first Japanese name. Read as
        // Latin-1 every byte comes through unchanged, and LhaName decides.
        if (archive_read_set_format_option(fArchive, "lha", "hdrcharset", "ISO-8859-1") != ARCHIVE_OK)
            return false;
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

    // Never past the end of the file: a seek there succeeds, and a member
    // cut off by the end of a truncated file would be skipped as if whole,
    // the archive taken for complete.
    static la_int64_t SkipCallback(archive*, void* data, la_int64_t request)
    {
        auto* self = static_cast<TReader*>(data);
        const off_t here = ::lseek(self->fFd, 0, SEEK_CUR);
        if (here < 0 || request <= 0)
            return 0;
        const la_int64_t skip = std::min<la_int64_t>(request, std::max<la_int64_t>(self->fOpened.st_size - here, 0));
        if (::lseek(self->fFd, skip, SEEK_CUR) < 0)
            return 0;
        return skip;
    }

    archive* fArchive = nullptr;
    int fFd = -1;
    struct stat fOpened {};
    int64_t fBase = 0;
    std::vector<uint8_t> fBuffer;
};

// The readers of the last extractions from files, each left just behind the
// member it extracted. A book is read in order, so the next extraction
// usually goes on from one of them instead of opening the archive again,
// reading its whole directory and stepping over every member in front of the
// one asked for (in a solid 7z or RAR archive, unpacking them all). A reader
// is used only for the same file, unchanged, and a member behind it, and by
// one extraction at a time: it is taken out while in use. Several are kept
// because several threads extract at once (the two pages of a spread, the
// thumbnail workers), each going on from the reader it left. A reader left
// unused for IdleLimit is closed by a thread of its own, so that a closed
// book does not keep its file open (and its disc or stick from being
// ejected).
class TLastReaders {
public:
    static constexpr auto IdleLimit = std::chrono::seconds(5);
    // Enough for both pages of a spread and a worker per processor of a
    // small machine; each holds a descriptor and a decoder's buffers.
    static constexpr size_t MaxKept = 4;

    ~TLastReaders()
    {
        {
            std::lock_guard<std::mutex> lock(fLock);
            fQuit = true;
        }
        fWake.notify_all();
        if (fCloser.joinable())
            fCloser.join();
    }

    // The kept reader of source that gets nearest to position without
    // passing it, with next set to the index of the member it reads next;
    // nullptr when none can reach it.
    std::unique_ptr<TReader> Take(const char* source, intptr_t position, intptr_t& next)
    {
        std::unique_ptr<TReader> taken;
        {
            std::lock_guard<std::mutex> lock(fLock);
            auto best = fKept.end();
            for (auto it = fKept.begin(); it != fKept.end(); ++it) {
                if (it->Source == source && it->Next <= position && (best == fKept.end() || it->Next > best->Next))
                    best = it;
            }
            if (best == fKept.end())
                return nullptr;
            taken = std::move(best->Reader);
            next = best->Next;
            fKept.erase(best);
        }
        // Checked outside the lock: it asks the file system.
        if (!taken->Reads(source))
            return nullptr;
        return taken;
    }
    void Keep(std::unique_ptr<TReader> reader, const char* source, intptr_t next)
    {
        std::unique_ptr<TReader> evicted;
        {
            std::lock_guard<std::mutex> lock(fLock);
            if (fKept.size() >= MaxKept) {
                // The one kept longest ago goes.
                auto oldest = std::min_element(fKept.begin(), fKept.end(), [](const TKept& a, const TKept& b) {
                    return a.KeptAt < b.KeptAt;
                });
                evicted = std::move(oldest->Reader);
                fKept.erase(oldest);
            }
            fKept.push_back(TKept{std::move(reader), source, next, std::chrono::steady_clock::now()});
            if (!fCloser.joinable())
                fCloser = std::thread([this] { CloseIdle(); });
        }
        fWake.notify_all();
    }

private:
    struct TKept {
        std::unique_ptr<TReader> Reader;
        std::string Source;
        intptr_t Next = 0;
        std::chrono::steady_clock::time_point KeptAt;
    };

    void CloseIdle()
    {
        std::unique_lock<std::mutex> lock(fLock);
        while (!fQuit) {
            if (fKept.empty()) {
                fWake.wait(lock);
                continue;
            }
            const auto now = std::chrono::steady_clock::now();
            auto first = fKept.front().KeptAt;
            std::vector<std::unique_ptr<TReader>> idle;
            for (auto it = fKept.begin(); it != fKept.end();) {
                if (now >= it->KeptAt + IdleLimit) {
                    idle.push_back(std::move(it->Reader));
                    it = fKept.erase(it);
                } else {
                    first = std::min(first, it->KeptAt);
                    ++it;
                }
            }
            if (!idle.empty()) {
                // Closed outside the lock, so that extractions go on meanwhile.
                lock.unlock();
                idle.clear();
                lock.lock();
                continue;
            }
            fWake.wait_until(lock, first + IdleLimit);
        }
    }

    // Guards everything below; never held while a reader reads or closes.
    std::mutex fLock;
    std::condition_variable fWake;
    std::thread fCloser;
    bool fQuit = false;
    std::vector<TKept> fKept;
};

TLastReaders& LastReaders()
{
    static TLastReaders readers;
    return readers;
}

// The UTF-8 locale every call works in: made once for the library's life
// and freed when it is unloaded, when no call runs any more. Making and
// freeing one per call would load and drop its conversion tables each time,
// from many threads at once.
class TSharedUtf8Locale {
public:
    TSharedUtf8Locale() : fLocale(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {}
    ~TSharedUtf8Locale()
    {
        if (fLocale)
            ::freelocale(fLocale);
    }
    TSharedUtf8Locale(const TSharedUtf8Locale&) = delete;
    TSharedUtf8Locale& operator=(const TSharedUtf8Locale&) = delete;
    locale_t Get() const { return fLocale; }

private:
    locale_t fLocale;
};

locale_t Utf8Locale()
{
    static const TSharedUtf8Locale locale;
    return locale.Get();
}

// libarchive converts names through the character set of the calling
// thread's locale; the program may run in the "C" locale, where every
// non-ASCII name would be lost. Each call works in UTF-8 instead, without
// touching the locale of the program's other threads.
class TUtf8Locale {
public:
    TUtf8Locale()
    {
        fLocale = Utf8Locale();
        if (fLocale)
            fPrevious = ::uselocale(fLocale);
    }
    ~TUtf8Locale()
    {
        if (fLocale)
            ::uselocale(fPrevious);
    }
    TUtf8Locale(const TUtf8Locale&) = delete;
    TUtf8Locale& operator=(const TUtf8Locale&) = delete;

private:
    locale_t fLocale = static_cast<locale_t>(0);
    locale_t fPrevious = static_cast<locale_t>(0);
};

// Regular files and hard links; formats that do not record a type give 0.
bool IsFileEntry(archive_entry* entry)
{
    const unsigned type = archive_entry_filetype(entry);
    return type == AE_IFREG || type == 0;
}

// A hard link without bytes of its own (tar writes a link to a member
// archived before it as a header alone): its bytes are that member's.
bool IsBareHardLink(archive_entry* entry)
{
    return archive_entry_hardlink(entry) != nullptr &&
           (!archive_entry_size_is_set(entry) || archive_entry_size(entry) == 0);
}

// The name of a member, as libarchive gives it without conversion; hard
// links name their target in the same form.
std::string RawName(archive_entry* entry)
{
    const char* name = archive_entry_pathname(entry);
    return name ? name : "";
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

bool IsCp932Lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// An LHA name read as Latin-1 (see TReader::Open), back to its bytes. Valid
// UTF-8 stays; anything else is CP932, as the Japanese tools that made most
// LHA files wrote it. In level-0 headers libarchive turns every '\' into '/',
// the second byte of a character such as "ソ" (0x83 0x5C) too; '/' is never
// the second byte of a CP932 character, so one found there was such a '\'
// and is put back, or "ソ.png" would become a folder. A name with characters
// beyond Latin-1 was converted by libarchive from the code page the archive
// declares and is taken as it is.
std::string LhaName(const std::string& latin1)
{
    std::string bytes;
    for (size_t i = 0; i < latin1.size(); ++i) {
        const auto c = static_cast<unsigned char>(latin1[i]);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < latin1.size()) {
            bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(latin1[++i]) & 0x3F));
        } else {
            return ToValidUtf8(latin1);
        }
    }
    if (IsValidUtf8(bytes))
        return bytes;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (IsCp932Lead(static_cast<unsigned char>(bytes[i]))) {
            if (bytes[i + 1] == '/')
                bytes[i + 1] = '\\';
            ++i;
        }
    }
    return ToValidUtf8(bytes);
}

struct TMemberName {
    std::string Folder;  // with a trailing '/', or empty
    std::string Name;    // the last segment; empty for a folder entry
};

// The member's path as valid UTF-8, split at its last separator. Both '/' and
// '\' separate, as archives made on either system use them.
TMemberName SplitMemberName(archive* reader, archive_entry* entry)
{
    std::string path;
    const char* utf8 = archive_entry_pathname_utf8(entry);
    if (archive_format(reader) == ARCHIVE_FORMAT_LHA && utf8) {
        path = LhaName(utf8);
    } else {
        const char* raw = utf8 ? utf8 : archive_entry_pathname(entry);
        path = ToValidUtf8(raw ? raw : "");
    }
    std::replace(path.begin(), path.end(), '\\', '/');
    if (archive_entry_filetype(entry) == AE_IFDIR && !path.empty() && path.back() != '/')
        path += '/';
    const size_t slash = path.rfind('/');
    TMemberName result;
    result.Folder = FitField(slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
    result.Name = FitField(slash == std::string::npos ? path : path.substr(slash + 1));
    return result;
}

void FillRecord(SpiFileInfo& record, archive* reader, archive_entry* entry, uint32_t position, int64_t size)
{
    std::memset(&record, 0, sizeof record);
    const char* format = archive_format_name(reader);
    std::string method = format ? format : "archive";
    method = method.substr(0, 7);
    if (method.empty())
        method = "archive";
    std::memcpy(record.method, method.data(), method.size());
    record.position = position;
    record.filesize = static_cast<uint32_t>(std::clamp<int64_t>(size, 0, UINT32_MAX));
    record.compsize = record.filesize;
    const int64_t time = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
    record.timestamp = static_cast<int32_t>(std::clamp<int64_t>(time, INT32_MIN, INT32_MAX));
    const TMemberName name = SplitMemberName(reader, entry);
    std::memcpy(record.path, name.Folder.data(), name.Folder.size());
    std::memcpy(record.filename, name.Name.data(), name.Name.size());
}

int64_t EntrySize(archive_entry* entry)
{
    return archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
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

// GetFile is not told where the archive starts; one found behind a 128-byte
// MacBinary header is read from there.
std::unique_ptr<TReader> OpenSource(const char* source)
{
    auto reader = std::make_unique<TReader>();
    if (reader->Open(source, 0, SPI_SOURCE_FILE))
        return reader;
    reader = std::make_unique<TReader>();
    if (reader->Open(source, 128, SPI_SOURCE_FILE))
        return reader;
    return nullptr;
}

// The member whose bytes a bare hard link at position stands for: the
// latest member before it of the name it links to, following links to links
// (each step goes back, so the walk ends). -1 when there is none.
intptr_t FindLinkTarget(const char* source, intptr_t position, std::string target)
{
    std::unique_ptr<TReader> reader = OpenSource(source);
    if (!reader)
        return -1;
    struct TEarlier {
        intptr_t Index;
        bool File;
        std::optional<std::string> LinksTo;
    };
    std::unordered_map<std::string, TEarlier> earlier;
    archive_entry* entry = nullptr;
    for (intptr_t index = 0; index < position; ++index) {
        const int status = archive_read_next_header(reader->Get(), &entry);
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
            return -1;
        TEarlier seen{index, IsFileEntry(entry), std::nullopt};
        if (IsBareHardLink(entry))
            seen.LinksTo = archive_entry_hardlink(entry);
        earlier[RawName(entry)] = std::move(seen);
    }
    for (intptr_t before = position;;) {
        const auto found = earlier.find(target);
        if (found == earlier.end() || found->second.Index >= before || !found->second.File)
            return -1;
        if (!found->second.LinksTo)
            return found->second.Index;
        before = found->second.Index;
        target = *found->second.LinksTo;
    }
}

int32_t ExtractToMemory(archive* reader, archive_entry* entry, HLOCAL* out, uint64_t limit)
{
    std::vector<uint8_t> bytes;
    if (EntrySize(entry) > 0 && static_cast<uint64_t>(EntrySize(entry)) <= limit)
        bytes.reserve(static_cast<size_t>(EntrySize(entry)));
    uint8_t block[ReadBlock];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, block, sizeof block);
        if (got < 0)
            return SPI_BROKEN_DATA;
        if (got == 0)
            break;
        if (bytes.size() + static_cast<uint64_t>(got) > limit)
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

int32_t ExtractToFolder(archive* reader, const std::string& name, const char* folder, uint64_t limit)
{
    if (name.empty() || name == "." || name == "..")
        return SPI_FILE_WRITE_ERROR;
    std::string target = folder;
    if (target.empty())
        return SPI_FILE_WRITE_ERROR;
    if (target.back() != '/')
        target += '/';
    target += name;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return SPI_FILE_WRITE_ERROR;
    int32_t result = SPI_SUCCESS;
    uint64_t written = 0;
    uint8_t block[ReadBlock];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, block, sizeof block);
        if (got < 0) {
            result = SPI_BROKEN_DATA;
            break;
        }
        if (got == 0)
            break;
        // Counted as it inflates: the size in the header may lie.
        written += static_cast<uint64_t>(got);
        if (written > limit) {
            result = SPI_FILE_WRITE_ERROR;
            break;
        }
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

int32_t ListMembers(const char* source, intptr_t length, uint32_t flag, std::vector<SpiFileInfo>& records)
{
    records.clear();
    TUtf8Locale utf8;
    TReader reader;
    if (!reader.Open(source, length, flag))
        return SPI_FILE_READ_ERROR;
    // The size of every member so far by its raw name, for the hard links
    // that follow: a link names the latest member of that name before it.
    // nullopt: a member without bytes to give (a folder, a link to nothing).
    std::unordered_map<std::string, std::optional<int64_t>> sizes;
    archive_entry* entry = nullptr;
    for (uint32_t index = 0;; ++index) {
        const int status = archive_read_next_header(reader.Get(), &entry);
        // libarchive's RAR readers end at a header they cannot read as at the
        // end of the archive; a RAR file without a single member is such a
        // one, not an empty book.
        const int format = archive_format(reader.Get());
        if (status == ARCHIVE_EOF && index == 0 && (format == ARCHIVE_FORMAT_RAR || format == ARCHIVE_FORMAT_RAR_V5))
            return SPI_BROKEN_DATA;
        if (status == ARCHIVE_EOF)
            return SPI_SUCCESS;
        // Damage ends the list; the members before it are handed over all
        // the same, and the result says the list is incomplete.
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
            return SPI_BROKEN_DATA;
        std::optional<int64_t> size;
        if (IsBareHardLink(entry)) {
            const auto target = sizes.find(archive_entry_hardlink(entry));
            if (target != sizes.end())
                size = target->second;
        } else if (IsFileEntry(entry)) {
            size = EntrySize(entry);
        }
        sizes[RawName(entry)] = size;
        if (!IsFileEntry(entry) && archive_entry_filetype(entry) != AE_IFDIR)
            continue;  // symbolic links and devices are not pictures
        SpiFileInfo record;
        // A link to nothing in the archive is listed as empty; extracting it
        // is refused.
        FillRecord(record, reader.Get(), entry, index, size.value_or(0));
        if (record.path[0] == 0 && record.filename[0] == 0)
            continue;
        records.push_back(record);
    }
}

int32_t ExtractMember(const char* source, intptr_t position, char* dest, uint32_t flag, uint64_t limit)
{
    if (!source || !dest || position < 0)
        return SPI_INTERNAL_ERROR;
    const bool toMemory = (flag & SPI_DEST_MASK) == SPI_DEST_MEMORY;
    if (toMemory)
        *reinterpret_cast<HLOCAL*>(dest) = nullptr;
    TUtf8Locale utf8;
    intptr_t next = 0;
    std::unique_ptr<TReader> reader = LastReaders().Take(source, position, next);
    archive_entry* entry = reader ? SeekMember(*reader, next, position) : nullptr;
    if (!entry) {
        // Nothing kept, or the kept reader could not get there: from the start.
        reader = OpenSource(source);
        if (!reader)
            return SPI_FILE_READ_ERROR;
        entry = SeekMember(*reader, 0, position);
    }
    if (!entry || !IsFileEntry(entry))
        return SPI_BROKEN_DATA;
    // The file written is named after the member asked for, even when its
    // bytes come from the member a hard link names.
    const std::string name = SplitMemberName(reader->Get(), entry).Name;
    intptr_t kept = position;
    if (IsBareHardLink(entry)) {
        const intptr_t target = FindLinkTarget(source, position, archive_entry_hardlink(entry));
        if (target < 0)
            return SPI_BROKEN_DATA;
        reader = OpenSource(source);
        entry = reader ? SeekMember(*reader, 0, target) : nullptr;
        if (!entry)
            return SPI_BROKEN_DATA;
        kept = target;
    }
    // A member that says it is too big is refused before a byte is read.
    if (static_cast<uint64_t>(EntrySize(entry)) > limit)
        return toMemory ? SPI_NO_MEMORY : SPI_FILE_WRITE_ERROR;
    const int32_t result = toMemory ? ExtractToMemory(reader->Get(), entry, reinterpret_cast<HLOCAL*>(dest), limit)
                                    : ExtractToFolder(reader->Get(), name, dest, limit);
    if (result == SPI_SUCCESS)
        LastReaders().Keep(std::move(reader), source, kept + 1);
    return result;
}

}  // namespace archivespi

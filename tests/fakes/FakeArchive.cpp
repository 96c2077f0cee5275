// A fake archive plug-in over a trivial container, so that the tests choose
// every member name, time and misbehaviour:
//
//   "FAKEARC1" (or "FAKEARC2": the listing reports result 2 although it
//   succeeded; "FAKEARC3": the list block ends with a partial record)
//   u32 count, then per member: u8 flags, i32 time, u16 + path bytes,
//   u16 + name bytes, u32 + data bytes.
//
// Member flags: 1 GetFile into a folder reports success without writing;
// 2 GetFile into a folder fails; 4 the name field is filled without a
// terminator; 8 GetFile into memory fails.

#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "FakeCommon.h"

FAKE_TEST_EXPORTS

namespace {

struct TMember {
    uint8_t Flags = 0;
    int32_t Time = 0;
    std::string Path;
    std::string Name;
    std::string Data;
};

struct TContainer {
    int Variant = 0;
    std::vector<TMember> Members;
};

bool ReadFile(const char* name, intptr_t offset, std::string& bytes)
{
    const int fd = ::open(name, O_RDONLY);
    if (fd < 0)
        return false;
    ::lseek(fd, offset, SEEK_SET);
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<size_t>(got));
    ::close(fd);
    return true;
}

bool Parse(const std::string& bytes, TContainer& container)
{
    if (bytes.size() < 12 || bytes.compare(0, 7, "FAKEARC") != 0)
        return false;
    container.Variant = bytes[7] - '0';
    size_t at = 8;
    auto take = [&](void* out, size_t size) {
        if (at + size > bytes.size())
            return false;
        std::memcpy(out, bytes.data() + at, size);
        at += size;
        return true;
    };
    auto takeText = [&](std::string& out, size_t lengthBytes) {
        uint32_t length = 0;
        if (!take(&length, lengthBytes) || at + length > bytes.size())
            return false;
        out = bytes.substr(at, length);
        at += length;
        return true;
    };
    uint32_t count = 0;
    if (!take(&count, 4))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        TMember member;
        if (!take(&member.Flags, 1) || !take(&member.Time, 4) || !takeText(member.Path, 2) ||
            !takeText(member.Name, 2) || !takeText(member.Data, 4))
            return false;
        container.Members.push_back(std::move(member));
    }
    return true;
}

bool Load(const char* name, intptr_t offset, TContainer& container)
{
    std::string bytes;
    return ReadFile(name, offset, bytes) && Parse(bytes, container);
}

void CopyField(char* field, const std::string& text)
{
    std::memcpy(field, text.data(), std::min<size_t>(text.size(), SPI_PATH_FIELD - 1));
}

}  // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t number, char* buffer, int32_t length)
{
    fake::Enter("GetPluginInfo");
    static const char* const texts[] = {"00AM", "Fake archive plug-in", "*.far", "Fake archive"};
    if (number < 0 || number >= 4)
        return 0;
    return fake::CopyText(texts[number], buffer, length);
}

SPI_EXPORT int32_t IsSupported(const char* fileName, const void* header)
{
    fake::Enter("IsSupported");
    return std::memcmp(header, "FAKEARC", 7) == 0 ? 1 : 0;
}

SPI_EXPORT int32_t GetArchiveInfo(const char* source, intptr_t length, uint32_t flag, HLOCAL* list)
{
    fake::Enter("GetArchiveInfo");
    TContainer container;
    if (!Load(source, length, container))
        return SPI_BROKEN_DATA;
    const size_t extra = container.Variant == 3 ? 100 : sizeof(SpiFileInfo);
    *list = LocalAlloc(LPTR, container.Members.size() * sizeof(SpiFileInfo) + extra);
    auto* records = static_cast<SpiFileInfo*>(LocalLock(*list));
    for (size_t i = 0; i < container.Members.size(); ++i) {
        const TMember& member = container.Members[i];
        SpiFileInfo& record = records[i];
        std::memcpy(record.method, "fake", 4);
        record.position = static_cast<uint32_t>(i);
        record.filesize = static_cast<uint32_t>(member.Data.size());
        record.compsize = record.filesize;
        record.timestamp = member.Time;
        CopyField(record.path, member.Path);
        if (member.Flags & 4)
            std::memset(record.filename, 'x', SPI_PATH_FIELD);
        else
            CopyField(record.filename, member.Name);
    }
    if (container.Variant == 3) {
        // A partial record after the last whole one: filled with non-zero bytes.
        std::memset(reinterpret_cast<uint8_t*>(records + container.Members.size()), 'y', extra);
    }
    LocalUnlock(*list);
    return container.Variant == 2 ? SPI_UNKNOWN_FORMAT : SPI_SUCCESS;
}

SPI_EXPORT int32_t GetFile(const char* source, intptr_t position, char* dest, uint32_t flag, SpiProgress progress,
                           intptr_t user)
{
    fake::Enter("GetFile");
    TContainer container;
    if (!Load(source, 0, container) || position < 0 || static_cast<size_t>(position) >= container.Members.size())
        return SPI_BROKEN_DATA;
    const TMember& member = container.Members[static_cast<size_t>(position)];
    if ((flag & SPI_DEST_MASK) == SPI_DEST_MEMORY) {
        if (member.Flags & 8)
            return SPI_BROKEN_DATA;
        HLOCAL block = LocalAlloc(LMEM_FIXED, member.Data.size());
        std::memcpy(LocalLock(block), member.Data.data(), member.Data.size());
        LocalUnlock(block);
        *reinterpret_cast<HLOCAL*>(dest) = block;
        return SPI_SUCCESS;
    }
    if (member.Flags & 1)
        return SPI_SUCCESS;
    if (member.Flags & 2)
        return SPI_FILE_WRITE_ERROR;
    // Only the last segment of the name, as a careful plug-in writes it.
    std::string name = member.Name;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return SPI_FILE_WRITE_ERROR;
    std::string target = dest;
    if (!target.empty() && target.back() != '/')
        target += '/';
    target += name;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0)
        return SPI_FILE_WRITE_ERROR;
    const bool ok = ::write(fd, member.Data.data(), member.Data.size()) == static_cast<ssize_t>(member.Data.size());
    ::close(fd);
    return ok ? SPI_SUCCESS : SPI_FILE_WRITE_ERROR;
}

}  // extern "C"

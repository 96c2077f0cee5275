#include "collections/ItemIdList.h"

#include <cstring>

#include "base/PathUtils.h"

TItemIdList TItemIdList::Root()
{
    TItemIdList id;
    id.fKind = TItemIdKind::ikRoot;
    id.fBytes = {0, 0};
    return id;
}

const std::string& TItemIdList::Empty()
{
    static const std::string empty;
    return empty;
}

TItemIdList TItemIdList::OneElement(TItemIdKind kind, std::string_view text)
{
    TItemIdList id;
    id.fKind = kind;
    id.fText = std::string(text);
    const size_t elementSize = 2 + 4 + text.size();
    id.fBytes.resize(elementSize + 2, 0);
    id.fBytes[0] = static_cast<uint8_t>(elementSize & 0xFF);
    id.fBytes[1] = static_cast<uint8_t>(elementSize >> 8);
    std::memcpy(id.fBytes.data() + 2, Tag, 4);
    std::memcpy(id.fBytes.data() + 6, text.data(), text.size());
    return id;
}

TItemIdList TItemIdList::FromPath(std::string_view path)
{
    if (!IsAbsolutePath(path) || path.size() > MaxPathBytes || path.find('\0') != std::string_view::npos)
        return {};
    return OneElement(TItemIdKind::ikPath, path);
}

TItemIdList TItemIdList::FromName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.size() > MaxPathBytes ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
        return {};
    return OneElement(TItemIdKind::ikName, name);
}

TItemIdList TItemIdList::FromBytes(std::vector<uint8_t> bytes)
{
    TItemIdList id;
    id.fBytes = std::move(bytes);
    const std::vector<uint8_t>& b = id.fBytes;
    if (b.empty())
        return id;  // absent
    id.fKind = TItemIdKind::ikForeign;
    if (b.size() < 2)
        return id;
    const size_t elementSize = b[0] | (size_t(b[1]) << 8);
    if (elementSize == 0) {
        // The terminator alone names the root; anything after it is not ours.
        if (b.size() == 2)
            id.fKind = TItemIdKind::ikRoot;
        return id;
    }
    // Ours only when the one element carries the tag, a path, and is followed
    // by exactly the terminator.
    if (elementSize < 7 || b.size() != elementSize + 2 || b[elementSize] != 0 || b[elementSize + 1] != 0 ||
        std::memcmp(b.data() + 2, Tag, 4) != 0)
        return id;
    std::string path(reinterpret_cast<const char*>(b.data() + 6), elementSize - 6);
    if (!IsAbsolutePath(path) || path.find('\0') != std::string::npos)
        return id;
    id.fKind = TItemIdKind::ikPath;
    id.fText = std::move(path);
    return id;
}

TItemIdList TItemIdList::Parent() const
{
    if (fKind == TItemIdKind::ikRoot)
        return Root();
    if (fKind != TItemIdKind::ikPath)
        return {};
    const std::string path = ExcludeTrailingPathDelimiter(fText);
    if (path == "/")
        return Root();
    std::string folder = ExcludeTrailingPathDelimiter(ExtractFilePath(path));
    if (folder.empty())
        return Root();
    return FromPath(folder);
}

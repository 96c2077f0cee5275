#pragma once

// The stored identity of an item: the byte block that shelves and media
// catalogues keep in their files to find a folder, a file or an archive again.
// Our own blocks hold one element "u16 size, tag 'LXP1', path bytes" and a
// u16 zero terminator; the path bytes are the file system's own (Linux names
// need not be UTF-8). A block written by the program's Windows ancestors is
// kept byte for byte as an opaque foreign block and never looked into, so a
// shelf file survives a load and a save unchanged. A node also has a relative
// identity naming it inside its parent folder: the same element holding one
// name instead of a path. Relative identities live only in memory; files
// always store absolute ones.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TItemIdKind : uint8_t {
    ikAbsent,   // no identity at all (a failed look-up)
    ikRoot,     // the virtual root: the terminator alone
    ikPath,     // our own block naming an absolute path
    ikName,     // our own block naming an item inside its parent (relative)
    ikForeign,  // bytes in any other form, kept as they are
};

class TItemIdList {
public:
    // The element's tag and the bytes around the path: size field, tag, terminator.
    static constexpr char Tag[4] = {'L', 'X', 'P', '1'};
    static constexpr size_t Overhead = 2 + 4 + 2;
    static constexpr size_t MaxPathBytes = 0xFFFF - 6;

    TItemIdList() = default;

    static TItemIdList Root();
    // The block of an absolute path; absent for a relative or empty path, a
    // path with a NUL byte, or one too long for the 16-bit size field.
    static TItemIdList FromPath(std::string_view path);
    // The relative block of one name inside a folder; absent for an empty
    // name, ".", "..", or a name holding "/" or a NUL byte.
    static TItemIdList FromName(std::string_view name);
    // A block as read from a file; its kind is recognised, foreign bytes kept.
    static TItemIdList FromBytes(std::vector<uint8_t> bytes);

    TItemIdKind Kind() const { return fKind; }
    bool IsAbsent() const { return fKind == TItemIdKind::ikAbsent; }
    bool IsRoot() const { return fKind == TItemIdKind::ikRoot; }
    bool IsForeign() const { return fKind == TItemIdKind::ikForeign; }
    bool HasPath() const { return fKind == TItemIdKind::ikPath; }
    bool IsName() const { return fKind == TItemIdKind::ikName; }

    // The path of an own absolute block; empty for every other kind.
    const std::string& Path() const { return HasPath() ? fText : Empty(); }
    // The name of a relative block; empty for every other kind.
    const std::string& Name() const { return IsName() ? fText : Empty(); }
    // The stored form, terminator included; empty when absent.
    const std::vector<uint8_t>& Bytes() const { return fBytes; }
    size_t Size() const { return fBytes.size(); }

    // The block of the parent folder: the root for "/" and for top-level
    // items, absent for foreign, relative and absent blocks.
    TItemIdList Parent() const;

    bool operator==(const TItemIdList& other) const { return fBytes == other.fBytes; }

private:
    static const std::string& Empty();
    static TItemIdList OneElement(TItemIdKind kind, std::string_view text);

    TItemIdKind fKind = TItemIdKind::ikAbsent;
    std::vector<uint8_t> fBytes;
    std::string fText;  // the path or the name, by kind
};

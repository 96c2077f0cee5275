// Texts that come from other programs: a ".trashinfo" file from any trash
// folder, and the clipboard's "text/uri-list" and
// "x-special/gnome-copied-files". Whatever the bytes, an accepted info file
// names a path without "." or ".." parts and without NUL, every decoded
// clipboard path is absolute, and a path's URI decodes back to the path.

#include <string>

#include "FuzzCheck.h"
#include "fileops/FileLists.h"
#include "fileops/Trash.h"

namespace {

bool HasDotPart(const std::string& path)
{
    return path == "." || path == ".." || path.rfind("./", 0) == 0 || path.rfind("../", 0) == 0 ||
           path.find("/./") != std::string::npos || path.find("/../") != std::string::npos ||
           (path.size() >= 2 && path.compare(path.size() - 2, 2, "/.") == 0) ||
           (path.size() >= 3 && path.compare(path.size() - 3, 3, "/..") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string path, date;
    if (ParseTrashInfo(text, path, date)) {
        FUZZ_CHECK(!path.empty() && !HasDotPart(path));
        FUZZ_CHECK(path.find('\0') == std::string::npos);
    }
    for (const std::string& decoded : DecodeUriList(text)) {
        FUZZ_CHECK(!decoded.empty() && decoded[0] == '/');
        std::string back;
        FUZZ_CHECK(PathFromUri(FileUri(decoded), back) && back == decoded);
    }
    TClipFiles files;
    if (DecodeGnomeCopiedFiles(text, files))
        for (const std::string& decoded : files.Paths)
            FUZZ_CHECK(!decoded.empty() && decoded[0] == '/');
    return 0;
}

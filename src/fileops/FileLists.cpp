#include "fileops/FileLists.h"

#include <algorithm>
#include <sstream>

#include "base/PathUtils.h"
#include "fileops/Trash.h"

std::string FileUri(const std::string& path)
{
    return "file://" + PercentEncodePath(path);
}

bool PathFromUri(const std::string& uri, std::string& path)
{
    static const std::string Scheme = "file://";
    if (uri.size() <= Scheme.size() || uri.compare(0, Scheme.size(), Scheme) != 0)
        return false;
    std::string rest = uri.substr(Scheme.size());
    if (rest.compare(0, 9, "localhost") == 0)
        rest.erase(0, 9);
    if (rest.empty() || rest[0] != '/')
        return false;
    return PercentDecode(rest, path);
}

std::string EncodeUriList(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths)
        text += FileUri(path) + "\r\n";
    return text;
}

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0'))
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::vector<std::string> DecodeUriList(const std::string& text)
{
    std::vector<std::string> paths;
    for (const std::string& line : Lines(text)) {
        std::string path;
        if (!line.empty() && line[0] != '#' && PathFromUri(line, path))
            paths.push_back(std::move(path));
    }
    return paths;
}

std::string EncodeGnomeCopiedFiles(const TClipFiles& files)
{
    std::string text = files.Operation == TClipOperation::coCut ? "cut" : "copy";
    for (const std::string& path : files.Paths)
        text += "\n" + FileUri(path);
    return text;
}

bool DecodeGnomeCopiedFiles(const std::string& text, TClipFiles& files)
{
    const std::vector<std::string> lines = Lines(text);
    if (lines.empty() || (lines[0] != "copy" && lines[0] != "cut"))
        return false;
    files.Operation = lines[0] == "cut" ? TClipOperation::coCut : TClipOperation::coCopy;
    files.Paths.clear();
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string path;
        if (PathFromUri(lines[i], path))
            files.Paths.push_back(std::move(path));
    }
    return true;
}

std::string NewFolderPath(const std::string& folder, const std::function<bool(const std::string&)>& exists)
{
    const std::string base = IncludeTrailingPathDelimiter(folder);
    const std::string name = "新しいフォルダ";
    if (!exists(base + name))
        return base + name;
    for (int n = 1;; ++n) {
        const std::string candidate = base + name + " (" + std::to_string(n) + ")";
        if (!exists(candidate))
            return candidate;
    }
}

namespace {

// The extension with its dot; a leading dot alone (".profile") is no
// extension.
std::string ExtensionOf(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

}  // namespace

std::string RenamedFileName(const std::string& oldName, const std::string& typed, bool keepExtension,
                            bool addExtension)
{
    const std::string ext = ExtensionOf(oldName);
    if (keepExtension || (addExtension && ExtensionOf(typed).empty()))
        return typed + ext;
    return typed;
}

std::string ProposedRenameText(const std::string& name, bool isFolder, bool keepExtension)
{
    if (isFolder || !keepExtension)
        return name;
    return name.substr(0, name.size() - ExtensionOf(name).size());
}

bool IsValidFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string PathCopyText(const std::vector<std::string>& paths, bool parents)
{
    std::vector<std::string> lines;
    for (const std::string& path : paths) {
        std::string line = parents ? ExcludeTrailingPathDelimiter(ExtractFilePath(ExcludeTrailingPathDelimiter(path)))
                                   : ExcludeTrailingPathDelimiter(path);
        if (std::find(lines.begin(), lines.end(), line) == lines.end())
            lines.push_back(std::move(line));
    }
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    return text;
}

#pragma once

// Path texts. Paths are UTF-8 with '/' as separator; a folder path ends with
// '/'; "/" is the root and keeps its separator. Nesting levels of archives
// inside archives are joined by "//" ("book.zip//inner.cbz/page.jpg"), which
// is why plain paths are normalised so that "//" never occurs inside them.
// Everything here is text work only; nothing touches the disk.

#include <string>
#include <string_view>
#include <vector>

inline constexpr char PathDelim = '/';
inline constexpr std::string_view ArchiveDelim = "//";

// The nesting levels of a path through archives inside archives, in order:
// "a.zip//x/b.zip//c/" gives "a.zip", "x/b.zip", "c/".
inline std::vector<std::string> SplitArchiveLevels(std::string_view path)
{
    std::vector<std::string> levels;
    size_t start = 0;
    for (size_t at = path.find(ArchiveDelim); at != std::string_view::npos; at = path.find(ArchiveDelim, start)) {
        levels.emplace_back(path.substr(start, at - start));
        start = at + ArchiveDelim.size();
    }
    levels.emplace_back(path.substr(start));
    return levels;
}

inline bool HasTrailingDelimiter(std::string_view path)
{
    return !path.empty() && path.back() == PathDelim;
}

inline std::string IncludeTrailingPathDelimiter(std::string path)
{
    if (!HasTrailingDelimiter(path))
        path += PathDelim;
    return path;
}

// Removes trailing separators, but "/" stays "/" (the root keeps its
// separator, as a drive root does).
inline std::string ExcludeTrailingPathDelimiter(std::string path)
{
    while (path.size() > 1 && path.back() == PathDelim)
        path.pop_back();
    return path;
}

// The name after the last separator ("a/b.jpg" -> "b.jpg").
inline std::string ExtractFileName(std::string_view path)
{
    const size_t slash = path.rfind(PathDelim);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The folder with its trailing separator ("a/b.jpg" -> "a/"; "b.jpg" -> "").
inline std::string ExtractFilePath(std::string_view path)
{
    const size_t slash = path.rfind(PathDelim);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// The extension with its dot, as written ("a/b.tar.gz" -> ".gz"; "a.d/b" -> "";
// ".hidden" -> ".hidden", as every file manager on this platform shows it).
inline std::string ExtractFileExt(std::string_view path)
{
    const size_t slash = path.rfind(PathDelim);
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return std::string(path.substr(dot));
}

inline std::string ChangeFileExt(std::string_view path, std::string_view ext)
{
    const std::string old = ExtractFileExt(path);
    return std::string(path.substr(0, path.size() - old.size())) + std::string(ext);
}

// "a/b/" + "c" -> "a/b/c"; "a/b" + "c" -> "a/b/c"; "" + "c" -> "c".
inline std::string JoinPath(std::string_view folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    std::string result(folder);
    if (result.back() != PathDelim)
        result += PathDelim;
    while (!name.empty() && name.front() == PathDelim)
        name.remove_prefix(1);
    result += name;
    return result;
}

inline bool IsAbsolutePath(std::string_view path)
{
    return !path.empty() && path.front() == PathDelim;
}

// Lexical normalisation of a plain (non-archive) path: runs of separators
// become one, "." segments vanish, ".." removes the segment before it (never
// climbing above the root or the start of a relative path). A trailing
// separator is kept.
inline std::string NormalizePath(std::string_view path)
{
    if (path.empty())
        return {};
    const bool absolute = path.front() == PathDelim;
    const bool trailing = path.size() > 1 && path.back() == PathDelim;
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(PathDelim, start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(segment);
        } else if (!segment.empty() && segment != ".") {
            parts.push_back(segment);
        }
        start = end + 1;
    }
    std::string result;
    result.reserve(path.size() + 1);
    if (absolute)
        result.push_back(PathDelim);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result.push_back(PathDelim);
        result.append(parts[i].data(), parts[i].size());
    }
    if (trailing && !result.empty() && result.back() != PathDelim)
        result += PathDelim;
    if (result.empty())
        return std::string(1, '.');
    return result;
}

// Makes a path absolute against base (a folder) and normalises it.
inline std::string ExpandFileName(std::string_view path, std::string_view base)
{
    if (IsAbsolutePath(path))
        return NormalizePath(path);
    return NormalizePath(JoinPath(base, path));
}

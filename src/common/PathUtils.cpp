#include "common/PathUtils.h"

#include <vector>

std::string NormalizePath(std::string_view path)
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
    std::string result = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += PathDelim;
        result += parts[i];
    }
    if (trailing && !result.empty() && result.back() != PathDelim)
        result += PathDelim;
    if (result.empty())
        result = ".";
    return result;
}

std::string ExpandFileName(std::string_view path, std::string_view base)
{
    if (IsAbsolutePath(path))
        return NormalizePath(path);
    return NormalizePath(JoinPath(base, path));
}

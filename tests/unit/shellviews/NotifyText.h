#pragma once

// Change records in a short form the tests write their expectations in, one
// token per record: "+a" added, "-a" removed, "a>b" renamed, "~a" modified,
// "!a" folder gone, "*" overflow; a '/' first makes the kind a folder's
// ("+/a", "/a>b"). Names are given relative to a base folder.

#include <string>

#include "shellviews/ChangeCoalescer.h"

inline TNotifyInfo ParseNotifyToken(std::string token, const std::string& base = {})
{
    const bool folder = token.size() > 1 && (token[0] == '/' || token[1] == '/');
    if (token[0] == '/')
        token.erase(0, 1);
    else if (folder)
        token.erase(1, 1);
    switch (token[0]) {
    case '+':
        return {folder ? ChangeKind::ckFolderAdded : ChangeKind::ckFileAdded, base + token.substr(1), {}};
    case '-':
        return {folder ? ChangeKind::ckFolderRemoved : ChangeKind::ckFileRemoved, base + token.substr(1), {}};
    case '~':
        return {ChangeKind::ckModified, base + token.substr(1), {}};
    case '!':
        return {ChangeKind::ckFolderGone, base + token.substr(1), {}};
    case '*':
        return {ChangeKind::ckOverflow, {}, {}};
    default:
        break;
    }
    const size_t arrow = token.find('>');
    return {folder ? ChangeKind::ckFolderRenamed : ChangeKind::ckFileRenamed, base + token.substr(0, arrow),
            base + token.substr(arrow + 1)};
}

inline std::string FormatNotify(const TNotifyInfo& record, const std::string& base = {})
{
    const auto relative = [&](const std::string& path) {
        return path.compare(0, base.size(), base) == 0 ? path.substr(base.size()) : "?" + path;
    };
    const std::string name = relative(record.Name);
    switch (record.Kind) {
    case ChangeKind::ckFileAdded:
        return "+" + name;
    case ChangeKind::ckFolderAdded:
        return "+/" + name;
    case ChangeKind::ckFileRemoved:
        return "-" + name;
    case ChangeKind::ckFolderRemoved:
        return "-/" + name;
    case ChangeKind::ckFileRenamed:
        return name + ">" + relative(record.NewName);
    case ChangeKind::ckFolderRenamed:
        return "/" + name + ">" + relative(record.NewName);
    case ChangeKind::ckModified:
        return "~" + name;
    case ChangeKind::ckFolderGone:
        return "!" + name;
    case ChangeKind::ckOverflow:
        return "*";
    }
    return "?";
}

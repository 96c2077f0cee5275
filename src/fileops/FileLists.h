#pragma once

// The texts by which files travel between programs and the rules for the
// names the file commands make. The clipboard carries a file list twice:
// as "text/uri-list" (every program reads it) and as
// "x-special/gnome-copied-files" ("copy" or "cut", then the URIs), which
// tells a file manager whether a paste should move. Nothing here touches
// the clipboard or a widget.

#include <functional>
#include <string>
#include <vector>

enum class TClipOperation : uint8_t { coCopy, coCut };

struct TClipFiles {
    TClipOperation Operation = TClipOperation::coCopy;
    std::vector<std::string> Paths;  // absolute, as the files are named
};

// "file:///a/b%20c.jpg" for "/a/b c.jpg".
std::string FileUri(const std::string& path);
// The path of a local file URI ("file:///..." or "file://localhost/...");
// false for other schemes, other hosts, relative paths and bad escapes.
bool PathFromUri(const std::string& uri, std::string& path);

// One URI per line, each ended by CR LF.
std::string EncodeUriList(const std::vector<std::string>& paths);
// The local paths of a uri-list; comment lines and foreign URIs are left out.
std::vector<std::string> DecodeUriList(const std::string& text);
// "copy\nfile:///..." or "cut\n...", lines separated by '\n'.
std::string EncodeGnomeCopiedFiles(const TClipFiles& files);
// False when the first line is neither "copy" nor "cut".
bool DecodeGnomeCopiedFiles(const std::string& text, TClipFiles& files);

// The name of a new folder in folder: "新しいフォルダ", else
// "新しいフォルダ (1)", "(2)", ... whichever is free first; exists tells
// whether a full path is taken.
std::string NewFolderPath(const std::string& folder, const std::function<bool(const std::string&)>& exists);

// The name a file gets from the rename dialog's text: with keepExtension
// the old extension is put back on; with addExtension the old one is added
// only when the new name has none. Folders keep the name as typed.
std::string RenamedFileName(const std::string& oldName, const std::string& typed, bool keepExtension,
                            bool addExtension);
// What the rename dialog proposes: the name, without its extension when
// the extension cannot be changed there.
std::string ProposedRenameText(const std::string& name, bool isFolder, bool keepExtension);
// False for a name no file can have here: empty, ".", "..", or holding '/'
// or a NUL.
bool IsValidFileName(const std::string& name);

// The paths of the selected items (or, with parents, the folders holding
// them), each once, in the order given, joined by CR LF.
std::string PathCopyText(const std::vector<std::string>& paths, bool parents);

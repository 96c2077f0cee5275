#pragma once

// The folders "フォルダへコピー" and "フォルダへ移動" offer, newest first, kept
// in the data folder's "Input.lst" under SELECTDIR ("1" ... "N"). Older
// versions kept them in "Mireva.ini"; while "Input.lst" has none, those are
// taken over (only folders that still exist, at most 50 keys read). The old
// section is left where it is: the settings file is the core's to write.

#include <optional>
#include <string>
#include <vector>

class TSelectDirHistory {
public:
    const std::vector<std::string>& Items() const { return fItems; }
    // folder becomes the newest (moved up when it is there), the oldest
    // going beyond limit.
    void Add(const std::string& folder, int limit);
    void Remove(int index);

    // A missing file gives none.
    void Load(const std::string& dataFolder);
    // Writes the history, keeping the file's other sections; keys beyond
    // the kept entries are deleted. Raises EFileError.
    void Save(const std::string& dataFolder, int limit) const;

private:
    std::vector<std::string> fItems;
};

// The folder an OK of the dialog names: the text trimmed and without a
// trailing '/' unless it is the root; nothing for an empty text (cancel).
std::optional<std::string> ChosenFolder(const std::string& text);

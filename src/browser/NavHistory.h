#pragma once

// The places the file list has shown, for the back and forward commands and
// their drop-down menus: newest first, with the position of the entry shown
// now. Recording a new place while an older one is shown drops the newer
// entries, as a browser's history does. Plain data; the browser model fills
// it and opens its entries. User-interface thread.

#include <cstdint>
#include <string>
#include <vector>

#include "collections/ShellFolder.h"

// One place of the history.
struct THistoryData {
    TShellStyle Style = TShellStyle::ssFolder;  // what the file list showed
    bool InArchive = false;
    // What the menus show: the folder or archive path, "本棚", a shelf's
    // name, "メディア", a catalogue's name or folder, "カテゴリ", a category's
    // name or folder.
    std::string Text;
    std::string Item;            // the folder (ending in '/') or the archive file open
    std::string InnerFolder;     // the place inside the archive ("" for its top)
    std::string ShelfItem;       // the shelf member open (a shelf's folder)
    std::string Shelf;           // the shelf's name
    std::string MediaFolder;     // the folder inside the catalogue
    std::string Media;           // the catalogue's name
    std::string CategoryFolder;  // the folder inside the category
    std::string Category;        // the category's name
    bool operator==(const THistoryData&) const = default;
};

// A drop-down menu item: the entry it opens and its caption.
struct THistoryMenuItem {
    int Index = -1;
    std::string Caption;
    bool operator==(const THistoryMenuItem&) const = default;
};

// "<フォルダ>\t" (or "<本棚>\t", "<メディア>\t", "<カテゴリ>\t") and the entry's
// last name; "/" and a catalogue folder without a place on disk show their
// whole text; an archive's inner folder follows after "//".
std::string HistoryCaption(const THistoryData& entry);

class TNavHistory {
public:
    // entry becomes the newest and the one shown; the entries newer than
    // the one shown go, and the oldest beyond limit.
    void Record(THistoryData entry, int limit);

    int Count() const { return static_cast<int>(fEntries.size()); }
    const THistoryData& At(int index) const { return fEntries[static_cast<size_t>(index)]; }
    int Position() const { return fPosition; }
    void SetPosition(int index);
    bool CanGoBack() const { return fPosition + 1 < Count(); }
    bool CanGoForward() const { return fPosition > 0 && fPosition < Count(); }
    // The entries back (older) or forward (newer) tries, nearest first.
    std::vector<int> Candidates(bool back) const;
    // The drop-down menu of the back or forward button: up to count entries,
    // nearest first.
    std::vector<THistoryMenuItem> Menu(bool back, int count) const;

private:
    std::vector<THistoryData> fEntries;  // newest first
    int fPosition = 0;
};

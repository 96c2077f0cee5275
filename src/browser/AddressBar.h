#pragma once

// The address bar's logic apart from its widget: the texts it and the window
// title show for the place listed, what a typed address opens, and the
// history of typed addresses, newest first, kept in section ADDRESSBAR of
// "Input.lst" in the data folder (keys "1", "2", ...). User-interface thread.

#include <optional>
#include <string>
#include <vector>

#include "browser/ListKind.h"
#include "browser/NavHistory.h"

inline constexpr char InputListName[] = "Input.lst";
inline constexpr char AddressBarSection[] = "ADDRESSBAR";

struct TAddressTexts {
    std::string Address;  // what the address box shows
    std::string Short;    // what the window title names
    bool operator==(const TAddressTexts&) const = default;
};

// The texts for the place listed, given as a history entry, by what the
// list shows.
TAddressTexts AddressTexts(TListKind kind, const THistoryData& location);

// The path a typed address opens: trimmed, without a trailing '/' unless it
// is the root itself; none for an empty text.
std::optional<std::string> TypedAddress(const std::string& text);

class TAddressHistory {
public:
    const std::vector<std::string>& Items() const { return fItems; }
    // text becomes the newest: moved to the top when it is there already,
    // else added, the oldest going beyond limit.
    void Add(const std::string& text, int limit);
    // Removes item index; returns the index to select then (the same, or the
    // one before when the last went), -1 when none is left.
    int Remove(int index);
    // Cuts the history to limit (the setting was lowered).
    void Trim(int limit);

    // Reads the history from "Input.lst" in dataFolder (a missing file gives
    // none); reading stops at the first empty value.
    void Load(const std::string& dataFolder);
    // Writes the history back, keeping the file's other sections; keys
    // beyond the list are deleted. Nothing is written when the history is
    // the one loaded. Raises EFileError when the file cannot be written, or
    // could not be read at load (it is then never written over).
    void Save(const std::string& dataFolder) const;

private:
    std::vector<std::string> fItems;
    std::vector<std::string> fLoaded;
};

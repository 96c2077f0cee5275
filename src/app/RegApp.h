#pragma once

// The programs the browser hands files to: up to ten applications the user
// registered (each with its own parameters, window state and whether it gets
// the files' folder or an archive member's path instead of the files), and
// the five programs chosen last with "アプリケーションの選択", most recent
// first. The registered ones live in the settings file in use, so switching
// settings files switches them; the recently used ones live in the data
// folder's "Mireva.ini" whichever settings file is in use. The lists announce
// their changes so that the menus rebuild their items. User-interface thread.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ObserverList.h"

class TIniFile;

// How the program's window should open; stored as 0, 1, 2.
enum class TAppWindow : uint8_t { awNormal, awMinimize, awMaximize };

struct TRegApplication {
    std::string Path;         // the program file; empty: the files are opened by their association
    std::string DisplayName;  // the menu text
    std::string Parameters;   // put in front of the files on the program's command line
    TAppWindow Window = TAppWindow::awNormal;
    bool PassParent = false;       // the folder or archive that holds the items instead of the items
    bool PassArchivePath = false;  // an archive member as "archive//member" instead of an extracted copy
    bool operator==(const TRegApplication&) const = default;
};

inline constexpr int MaxRegApplications = 10;
inline constexpr int MaxRecentApplications = 5;
// The registration dialog keeps display names to this many characters.
inline constexpr int DisplayNameLimit = 30;

// The settings file's list form: items joined by ","; an item holding a
// blank, a control character, a comma or a double quote is quoted with its
// inner quotes doubled. Reading splits at commas and at unquoted blanks, and
// nothing between two commas is an empty item.
std::string FormatCommaText(const std::vector<std::string>& items);
std::vector<std::string> ParseCommaText(std::string_view text);

// One registered application as FILE "RegApplication" n holds it: path,
// name, parameters, window, pass parent, pass archive path.
std::string FormatRegApplication(const TRegApplication& app);
// Nothing for an empty value. Missing items keep their defaults; a window
// outside 0..2 and items that are not numbers read as 0.
std::optional<TRegApplication> ParseRegApplication(std::string_view value);

enum class TAppListChangeKind : uint8_t {
    alRegistered,  // the registered applications were replaced
    alRecent,      // the recently used list changed (an entry added or moved to the front)
};

class TApplicationLists;

class TAppListObserver {
public:
    virtual ~TAppListObserver() = default;
    virtual void AppListChanged(TApplicationLists& lists, TAppListChangeKind kind, TChangePhase phase) = 0;
};

class TApplicationLists {
public:
    void RegisterObserver(TAppListObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TAppListObserver* observer) { fObservers.Unregister(observer); }

    const std::vector<TRegApplication>& Registered() const { return fRegistered; }
    const std::vector<std::string>& Recent() const { return fRecent; }

    // The registration dialog's records, in its row order; records past the
    // tenth are dropped.
    void SetRegistered(std::vector<TRegApplication> apps);
    // A program chosen in the open dialog goes to the front; one already in
    // the list moves there instead of being listed twice, and a sixth entry
    // drops the oldest.
    void UseProgram(const std::string& program);
    // Recently used entry index was run again: it moves to the front.
    void PromoteRecent(int index);

    // FILE "RegApplication" 1..10 of the settings file; empty values skip.
    void ReadRegistered(const TIniFile& ini);
    // FILE "RegApplication" n for each record. Numbers without a record are
    // written empty (saving settings to a file, so that a later load finds
    // every number) or, with deleteUnused, removed (after the dialog).
    void WriteRegistered(TIniFile& ini, bool deleteUnused) const;
    // FILE "UseApplication" 1..5 of the data folder's "Mireva.ini"; a
    // program that exists no more (exists answers false) is dropped.
    void ReadRecent(const TIniFile& ini, const std::function<bool(const std::string&)>& exists);
    void WriteRecent(TIniFile& ini) const;

private:
    void Notify(TAppListChangeKind kind, TChangePhase phase);

    std::vector<TRegApplication> fRegistered;
    std::vector<std::string> fRecent;
    TObserverList<TAppListObserver> fObservers;
};

// The window-choice dialog's settings, section DROP of the data folder's
// "Mireva.ini". Sizes are in 96-dpi units, the height without the caption.
struct TDropWindowSettings {
    bool Foreground = true;
    std::optional<int32_t> Width;
    std::optional<int32_t> Height;
    bool operator==(const TDropWindowSettings&) const = default;
};

inline constexpr int32_t DropWindowMinWidth = 350;
inline constexpr int32_t DropWindowMinHeight = 180;

// A size is taken only when both sides are stored, and then never below the
// minimum.
TDropWindowSettings ReadDropWindowSettings(const TIniFile& ini);
void WriteDropWindowSettings(TIniFile& ini, const TDropWindowSettings& settings);

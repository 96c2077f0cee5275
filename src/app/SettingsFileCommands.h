#pragma once

// The three commands that work on whole settings files: save the settings in
// use into another file ("設定の保存(&S)..."), load another file's settings
// into the file in use ("設定の読み込み(&L)..."), and switch to another file
// ("設定の切り替え(&G)...", also reached by "-s" in a hand-over from a second
// start). This class decides what is written where and in which order; the
// parts that belong to the browser window (window state, bindings,
// registered applications, the separate image window) are reached through
// TSettingsWindow. The file dialogs are the window's; the commands get the
// chosen path. User-interface thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/Init.h"

class TIniFile;

// The separate image window's placement as the settings file keeps it
// (section IMAGEWINDOW): 96-dpi units, relative to the work area.
struct TImageWindowPlacement {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Max = false;
    bool operator==(const TImageWindowPlacement&) const = default;
};

inline constexpr std::string_view ImageWindowSection = "IMAGEWINDOW";
inline constexpr std::string_view KeyBindingSection = "KEYCUSTOMINFO";
inline constexpr std::string_view MouseBindingSection = "MOUSECUSTOMINFO";

// The stored placement, or nothing unless Left, Top, Width and Height are all
// present as numbers (32767 marks a value that was never stored).
std::optional<TImageWindowPlacement> ReadImageWindowPlacement(const TIniFile& ini);
void WriteImageWindowPlacement(TIniFile& ini, const TImageWindowPlacement& placement);

// The name a saved settings file gets: ".lys" is appended unless the name
// already ends in ".lys" (any case).
std::string SettingsFileNameForSave(const std::string& chosen);

// True when both paths name the same file: the same text, or, for files that
// exist, the same file after links are resolved. Names differing only in case
// are different files here.
bool SameSettingsFile(const std::string& a, const std::string& b);

// The folder the settings dialogs start in (OPTION SavePath of the data
// folder's "Mireva.ini"); a folder that no longer exists gives dataFolder.
std::string ReadSettingsDialogFolder(const TIniFile& programIni, const std::string& dataFolder);
void WriteSettingsDialogFolder(TIniFile& programIni, const std::string& folder);

// The parts of the browser window that the settings commands reach. Every
// Write method writes into the given in-memory copy only; the commands write
// the file.
class TSettingsWindow {
public:
    virtual ~TSettingsWindow() = default;

    // Before the settings change under the window: pause the thumbnail
    // enumeration, repaint, let the image view release its pictures and stop
    // the image cache, so that it starts again with the new loaders.
    virtual void SuspendForSettings() = 0;
    // Afterwards: colours, tree and list options, automatic refresh, the
    // archive list's object kinds and grid lines and the tool bar applied
    // again, the thumbnail enumeration resumed, the file view mode of the
    // current list kind restored.
    virtual void ResumeAfterSettings() = 0;
    // The archive list's object kinds and grid lines follow the options just
    // loaded.
    virtual void ApplyArchiveListOptions() = 0;

    // The window state without the last location: geometry, panes and bars,
    // image view modes, filter set in use.
    virtual void WriteWindowState(TIniFile& ini) = 0;
    // The window state including the registered applications.
    virtual void ReadWindowState(TIniFile& ini) = 0;
    // FILE "RegApplication" 1 to 10, an empty value for each number without
    // an application.
    virtual void WriteRegApplications(TIniFile& ini) = 0;
    virtual void ClearRegApplications() = 0;
    virtual void WriteKeyBindings(TIniFile& ini) = 0;
    virtual void ReadKeyBindings(TIniFile& ini) = 0;
    virtual void WriteMouseBindings(TIniFile& ini) = 0;
    virtual void ReadMouseBindings(TIniFile& ini) = 0;

    // The separate image window's placement while it is open; nothing when it
    // is closed.
    virtual std::optional<TImageWindowPlacement> ImageWindowPlacement() = 0;
    // Moves the open image window to the placement and maximises it when Max.
    virtual void PlaceImageWindow(const TImageWindowPlacement& placement) = 0;

    // A settings file could not be written; the command went on without it.
    virtual void ReportWriteFailure(const std::string& message) = 0;
};

class TSettingsFileCommands {
public:
    // options and links are the program's own; settingsPath is the settings
    // file in use.
    TSettingsFileCommands(TOptions& options, TOptionLinks links, TSettingsWindow& window, std::string settingsPath);

    const std::string& SettingsPath() const { return fSettingsPath; }

    // actSaveSetting: writes the options with the plug-in settings, the window
    // state, the registered applications, the key and mouse bindings and the
    // image window's placement into the chosen file (".lys" appended when
    // needed) and returns its name. Raises EFileError when the file cannot be
    // written; nothing else changes then.
    std::string SaveSetting(const std::string& chosen);

    // actLoadSetting: takes over the chosen file's settings and writes them
    // into the settings file in use, which stays in use. A chosen file that
    // exists but cannot be read raises EFileError before anything changes.
    void LoadSetting(const std::string& chosen);

    // actChangeSetting and "-s" in a hand-over: the window state goes into
    // the file in use, then the chosen file becomes the settings file and
    // everything is read from it. A chosen file that exists but cannot be
    // read raises EFileError before anything changes.
    void ChangeSetting(const std::string& chosen);

private:
    static TIniFile OpenChosenFile(const std::string& chosen);
    // Reads everything from ini into the program and the window.
    void ApplySettingsFile(TIniFile& ini);
    void WriteFile(const TIniFile& ini);

    TOptions& fOptions;
    TOptionLinks fLinks;
    TSettingsWindow& fWindow;
    std::string fSettingsPath;
};

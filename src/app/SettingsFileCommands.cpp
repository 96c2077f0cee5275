#include "app/SettingsFileCommands.h"

#include "base/Errors.h"
#include "common/IniFile.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

constexpr int32_t AbsentPlacement = 32767;

// Leaves the window suspended for as short as possible: whatever happens
// while the settings change, the window is resumed once.
class TSuspension {
public:
    explicit TSuspension(TSettingsWindow& window) : fWindow(window) { fWindow.SuspendForSettings(); }
    ~TSuspension()
    {
        // Reached only when the command failed; its exception is on its way
        // to the user and must not be replaced by a second one.
        if (!fResumed) {
            try {
                fWindow.ResumeAfterSettings();
            } catch (...) {
            }
        }
    }
    TSuspension(const TSuspension&) = delete;
    TSuspension& operator=(const TSuspension&) = delete;
    void Resume()
    {
        fResumed = true;
        fWindow.ResumeAfterSettings();
    }

private:
    TSettingsWindow& fWindow;
    bool fResumed = false;
};

}  // namespace

std::optional<TImageWindowPlacement> ReadImageWindowPlacement(const TIniFile& ini)
{
    TImageWindowPlacement placement;
    int32_t* const fields[] = {&placement.Left, &placement.Top, &placement.Width, &placement.Height};
    const char* const keys[] = {"Left", "Top", "Width", "Height"};
    for (int i = 0; i < 4; ++i) {
        const int32_t value = ini.ReadInteger(ImageWindowSection, keys[i], AbsentPlacement);
        if (value == AbsentPlacement)
            return std::nullopt;
        *fields[i] = value;
    }
    placement.Max = ini.ReadBool(ImageWindowSection, "Max", false);
    return placement;
}

void WriteImageWindowPlacement(TIniFile& ini, const TImageWindowPlacement& placement)
{
    ini.WriteInteger(ImageWindowSection, "Left", placement.Left);
    ini.WriteInteger(ImageWindowSection, "Top", placement.Top);
    ini.WriteInteger(ImageWindowSection, "Width", placement.Width);
    ini.WriteInteger(ImageWindowSection, "Height", placement.Height);
    ini.WriteBool(ImageWindowSection, "Max", placement.Max);
}

std::string SettingsFileNameForSave(const std::string& chosen)
{
    if (SameText(ExtractFileExt(chosen), ".lys"))
        return chosen;
    return chosen + ".lys";
}

bool SameSettingsFile(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    const std::string realA = RealPath(a);
    return !realA.empty() && realA == RealPath(b);
}

std::string ReadSettingsDialogFolder(const TIniFile& programIni, const std::string& dataFolder)
{
    const std::string folder = programIni.ReadString("OPTION", "SavePath", "");
    if (folder.empty() || !DirectoryExists(folder))
        return dataFolder;
    return IncludeTrailingPathDelimiter(folder);
}

void WriteSettingsDialogFolder(TIniFile& programIni, const std::string& folder)
{
    programIni.WriteString("OPTION", "SavePath", folder);
}

TSettingsFileCommands::TSettingsFileCommands(TOptions& options, TOptionLinks links, TSettingsWindow& window,
                                             std::string settingsPath)
    : fOptions(options), fLinks(std::move(links)), fWindow(window), fSettingsPath(std::move(settingsPath))
{
}

void TSettingsFileCommands::WriteFile(const TIniFile& ini)
{
    try {
        ini.UpdateFile();
    } catch (const EMirevaError& e) {
        fWindow.ReportWriteFailure(e.what());
    }
}

std::string TSettingsFileCommands::SaveSetting(const std::string& chosen)
{
    const std::string path = SettingsFileNameForSave(chosen);
    TIniFile ini(path);
    WriteOptions(ini, fOptions, true, fLinks);
    fWindow.WriteWindowState(ini);
    fWindow.WriteRegApplications(ini);
    fWindow.WriteKeyBindings(ini);
    fWindow.WriteMouseBindings(ini);
    if (std::optional<TImageWindowPlacement> placement = fWindow.ImageWindowPlacement()) {
        WriteImageWindowPlacement(ini, *placement);
    } else {
        // The closed window wrote its last placement into the file in use.
        const TIniFile current(fSettingsPath);
        if (std::optional<TImageWindowPlacement> stored = ReadImageWindowPlacement(current))
            WriteImageWindowPlacement(ini, *stored);
    }
    ini.UpdateFile();
    return path;
}

void TSettingsFileCommands::ApplySettingsFile(TIniFile& ini)
{
    fWindow.ClearRegApplications();
    fOptions.ExtColors.clear();
    const TLoadOptionsResult loaded = LoadOptions(ini, fOptions, fLinks);
    if (!loaded.WriteError.empty())
        fWindow.ReportWriteFailure(loaded.WriteError);
    fWindow.ApplyArchiveListOptions();
    fWindow.ReadWindowState(ini);
    // A file without bindings (an older or hand-made one) keeps the bindings
    // in use rather than dropping them all.
    if (ini.SectionExists(KeyBindingSection))
        fWindow.ReadKeyBindings(ini);
    if (ini.SectionExists(MouseBindingSection))
        fWindow.ReadMouseBindings(ini);
    if (fWindow.ImageWindowPlacement()) {
        if (std::optional<TImageWindowPlacement> placement = ReadImageWindowPlacement(ini))
            fWindow.PlaceImageWindow(*placement);
    }
}

TIniFile TSettingsFileCommands::OpenChosenFile(const std::string& chosen)
{
    // A file that exists but cannot be read would otherwise read as all
    // defaults, and switching to it would later write those over it.
    TIniFile ini(chosen);
    if (!ini.ReadError().empty())
        throw EFileError(ini.ReadError());
    return ini;
}

void TSettingsFileCommands::LoadSetting(const std::string& chosen)
{
    TIniFile ini = OpenChosenFile(chosen);
    // Loading rebuilds the loader registry like switching does, so the
    // threads that load pictures are stopped first here as well.
    TSuspension suspension(fWindow);
    ApplySettingsFile(ini);
    if (!SameSettingsFile(chosen, fSettingsPath)) {
        const std::optional<TImageWindowPlacement> chosenPlacement = ReadImageWindowPlacement(ini);
        ini.Rename(fSettingsPath, true);
        WriteOptions(ini, fOptions, true, fLinks);
        fWindow.WriteKeyBindings(ini);
        fWindow.WriteMouseBindings(ini);
        // The registered applications were taken over from the chosen file
        // with the window state; without this they would silently return to
        // the old ones at the next start.
        fWindow.WriteRegApplications(ini);
        if (!fWindow.ImageWindowPlacement() && chosenPlacement)
            WriteImageWindowPlacement(ini, *chosenPlacement);
        WriteFile(ini);
    }
    suspension.Resume();
}

void TSettingsFileCommands::ChangeSetting(const std::string& chosen)
{
    const bool sameFile = SameSettingsFile(chosen, fSettingsPath);
    TIniFile ini = OpenChosenFile(chosen);
    TSuspension suspension(fWindow);
    if (!sameFile) {
        TIniFile current(fSettingsPath);
        fWindow.WriteWindowState(current);
        if (std::optional<TImageWindowPlacement> placement = fWindow.ImageWindowPlacement())
            WriteImageWindowPlacement(current, *placement);
        // A failure here costs the old file its window state, not the switch.
        WriteFile(current);
        // The chosen file is read again after the old one was written, in
        // case both are one file under two names that links did not reveal.
        ini.Reload();
    }
    ApplySettingsFile(ini);
    fSettingsPath = chosen;
    suspension.Resume();
}

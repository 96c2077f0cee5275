#pragma once

// The window's media commands: registering the disc (or folder) the user
// chose as a medium ("メディア情報の保存") and updating a medium from its disc
// ("メディア情報の更新"), with the property dialog, the choice between adding
// and updating when the disc is known already, the insertion prompt, and a
// progress window while the loading thread reads the disc. The media list
// itself lives in the window; TMediaKeeper keeps its files.

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Dispatcher.h"
#include "browser/ActionTable.h"
#include "browser/MediaKeeper.h"
#include "shellviews/ShlNotify.h"

class QProgressDialog;
class QWidget;
class TQtShellInfo;

class TMediaCommands : public QObject {
public:
    TMediaCommands(QWidget* window, TMediaList& list, const std::string& dataFolder, TDispatcher& dispatcher);
    ~TMediaCommands() override;

    // Reads the media and finds the mounted ones, then follows the mount
    // table: a disc mounted or taken out moves its medium between its files
    // and its catalogue. Problems go to the returned text.
    std::string Load();
    TMediaKeeper& Keeper() { return fKeeper; }
    // The thumbnail store that follows the media; stopShown and startShown
    // stop the thumbnails of the place shown while it changes and start them
    // again.
    void SetThumbnails(TThumbnailList& thumbnails, std::function<void()> stopShown, std::function<void()> startShown);

    // Whether a folder of the file list is the mount of a drive a medium can
    // be registered from (floppy, removable disk, optical disc).
    static bool IsMediaDrive(const std::string& folder);

    static bool Runs(TActionId action)
    {
        return action == TActionId::actAddMedia || action == TActionId::actUpdateMedia;
    }
    // path: the folder or drive the command is for (actAddMedia), or the
    // place shown; medium: the medium chosen in the media list (actUpdateMedia),
    // -1 for none.
    bool Run(TActionId action, const std::string& path, int medium);

    // Whether the medium's disc is mounted, asking for it until it is or the
    // user cancels.
    bool EnsureInserted(int index);
    // Whether it is mounted now, reading the mount table again without asking.
    bool IsInserted(int index);

    // The property dialog of the medium at index: its name, icon and comment
    // edited and saved; false when cancelled (or in a snapshot run, which
    // reports the medium instead).
    bool EditProperties(int index);

    // For the views' OnMediaLoading: reads a catalogue on first use and shows
    // what went wrong.
    void EnsureCatalogue(TMediaFolder& medium);

    // Deletes the media at indices (their catalogue and thumbnail files go
    // with them) after asking, unless ask is off. A medium being read is
    // stopped first. False when nothing was deleted.
    bool Delete(std::vector<int> indices, bool ask);
    // The settings file in use, where the differences dialog keeps its
    // options; empty (or unset) keeps none.
    std::function<std::string()> SettingsPath;

    // Snapshot runs: questions are not shown but reported, and answered
    // with answerYes. A null report asks the user again.
    void SetBatch(std::function<void(const std::string&)> report, bool answerYes);
    // The window's icon list, for the icons the property dialog offers; it
    // must outlive the commands (null: no pictures).
    void SetIcons(const TQtShellInfo* icons) { fIcons = icons; }

private:
    void AddFrom(const std::string& path);
    void Update(int index);
    void ShowProgress(TMediaFolder& medium, int index);
    // Reads a medium without owner from the disc at root behind a progress
    // window, unless it holds a catalogue already; false when cancelled or
    // failed (the reason was shown).
    bool ReadTemporary(TMediaFolder& medium, const std::string& root);
    // The differences between the disc at root (read into prepared first)
    // and the saved catalogue of medium index.
    void ShowDifferences(TMediaFolder& prepared, const std::string& root, int index);
    void Finished(int index, const std::string& error);
    void Warn(const std::string& text);
    bool Ask(const std::string& question);
    void MountsChanged();

    QWidget* fWindow;
    TMediaList& fList;
    const TQtShellInfo* fIcons = nullptr;
    TMediaKeeper fKeeper;
    QProgressDialog* fProgress = nullptr;
    int fLoadingIndex = -1;  // the medium the progress window is for
    TDispatcher& fDispatcher;
    std::vector<TVolumeInfo> fVolumes;  // as last read
    std::unique_ptr<TShellChangeNotifier> fDrives;
    std::function<void(const std::string&)> fReport;
    bool fAnswerYes = false;
    // Posted tasks hold this; they find it false once the commands are gone.
    std::shared_ptr<bool> fAlive = std::make_shared<bool>(true);
};

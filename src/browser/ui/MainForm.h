#pragma once

// The browser window in its first form: one picture area that shows the
// picture a path leads to, or the first picture of a folder, and steps
// through the folder's pictures with the keyboard. It carries out what
// OpenPath and the hand-over of a later start ask for; the panes of the full
// browser (trees, file list, thumbnails) grow into it later.
//
// Its first showing posts the deferred start, which opens the start path or
// the last location; once that has been opened and painted the window counts
// as settled (the snapshot mode waits for that).

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/OpenPath.h"
#include "app/SettingsFileCommands.h"
#include "loading/FileLoader.h"
#include "platform/SingleInstance.h"

class TPictureView;

class TMainForm : public QMainWindow, public TPlaceView, public TUserNotifier, public TSettingsWindow {
public:
    explicit TMainForm(TAppCore& core, QWidget* parent = nullptr);
    ~TMainForm() override;

    // A later start handed over its command line. The window comes to the
    // front; the arguments are acted on once the start location is open.
    void HandOver(const THandOver& message);

    // Called once, after the start location has been opened and painted.
    void SetSettledHandler(std::function<void()> handler) { fSettled = std::move(handler); }
    // Sends messages to sink instead of message boxes (the snapshot mode
    // runs without anyone to press OK); an empty sink restores the boxes.
    using TMessageSink = std::function<void(const std::string& text, TMessageIcon icon)>;
    void SetMessageSink(TMessageSink sink) { fMessageSink = std::move(sink); }

    TPictureView* View() const { return fView; }
    // The picture shown now; empty when none.
    std::string ShownFile() const;
    const std::vector<std::string>& Images() const { return fImages; }
    const TPendingSelection& PendingSelection() const { return fPending; }

    // Steps through the pictures of the shown folder.
    void ShowImageAt(int index);
    void ShowNextImage(int step);

    // TPlaceView
    TShownPlace ShownPlace() const override { return fShown; }
    void SetPendingSelection(const TPendingSelection& selection) override { fPending = selection; }
    bool ShowFolder(const std::string& folder) override;
    bool ShowArchive(const std::string& archivePath, const std::string& innerFolder) override;
    bool SelectAndShow(const std::string& name) override;
    void ShowFirstImage() override;
    std::string SingleTopFolder() const override { return {}; }

    // TUserNotifier
    void ShowMessage(const std::string& text, TMessageIcon icon) override;

    // TSettingsWindow. This window keeps no window state, bindings,
    // registered applications or image window yet, so switching settings
    // files writes and reads only the options; what it shows follows them.
    void SuspendForSettings() override {}
    void ResumeAfterSettings() override { ApplyOptions(); }
    void ApplyArchiveListOptions() override {}
    void WriteWindowState(TIniFile&) override {}
    void ReadWindowState(TIniFile&) override {}
    void WriteRegApplications(TIniFile&) override {}
    void ClearRegApplications() override {}
    void WriteKeyBindings(TIniFile&) override {}
    void ReadKeyBindings(TIniFile&) override {}
    void WriteMouseBindings(TIniFile&) override {}
    void ReadMouseBindings(TIniFile&) override {}
    std::optional<TImageWindowPlacement> ImageWindowPlacement() override { return std::nullopt; }
    void PlaceImageWindow(const TImageWindowPlacement&) override {}
    void ReportWriteFailure(const std::string& message) override { ShowMessage(message, TMessageIcon::miWarning); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DeferredStart();
    void UpdateTitle();
    // The options this window uses: the picture area's background.
    void ApplyOptions();

    TAppCore& fCore;
    TPictureView* fView = nullptr;
    TShownPlace fShown;
    TPendingSelection fPending;
    std::vector<std::string> fImages;  // full paths, in reading order
    int fIndex = -1;
    bool fStartPosted = false;
    TMessageSink fMessageSink;
    std::function<void()> fSettled;
};

#pragma once

// The browser window: a shell that composes the panes around one browser
// model. Today it holds the image view of the book the model reads (a
// folder, an archive at one of its inner folders, archives inside archives),
// the menus and image bar of the action table, and the dialogs; the trees and
// lists join as further panes of the same model. What is listed, selected and
// shown, and what every action does, lives in TBrowserModel, away from the
// widgets; the window forwards what the user does and repaints what the model
// announces.
//
// Its first showing posts the deferred start, which opens the start path or
// the last location; once that has been opened and painted the window counts
// as settled (the snapshot mode waits for that).

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "browser/BrowserModel.h"
#include "platform/qt/QtDispatcher.h"
#include "viewer/StretchScaler.h"
#include "viewer/ui/QtHalfTone.h"

class QAction;
class QMenu;
class TAppCore;
class TImageViewFrame;
struct THandOver;

class TMainForm : public QMainWindow, public TUserNotifier, public TBrowserObserver {
public:
    // scaler scales the shown pages and must outlive the window; null uses
    // the program's resamplers.
    explicit TMainForm(TAppCore& core, TPageScaler* scaler = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // A later start handed over its command line. The window comes to the
    // front; the arguments are acted on once the start location is open.
    void HandOver(const THandOver& message);

    // Called once, after the start location has been opened and painted.
    void SetSettledHandler(std::function<void()> handler) { fSettled = std::move(handler); }
    // Sends messages to sink instead of message boxes (the snapshot mode
    // runs without anyone to press OK); an empty sink restores the boxes.
    // With a sink the ratio and size commands use the entered values
    // instead of asking for them.
    using TMessageSink = std::function<void(const std::string& text, TMessageIcon icon)>;
    void SetMessageSink(TMessageSink sink);

    // Runs an action of the action table as its menu item does.
    void RunAction(TActionId action);
    // Waits (bounded) until the cache thread has nothing left to do and the
    // pages are scaled; false when the wait gave up.
    bool Settle(int milliseconds = 60000);

    TBrowserModel& Model() { return *fModel; }
    const TBrowserModel& Model() const { return *fModel; }
    TImageViewFrame* View() const { return fFrame; }
    QAction* Action(TActionId action) const;

    // TUserNotifier
    void ShowMessage(const std::string& text, TMessageIcon icon) override;
    // TBrowserObserver
    void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void DeferredStart();
    void BuildActions();
    void BuildMenus();
    QMenu* AddMenu(QMenu* parent, const char* title, std::initializer_list<TActionId> actions);
    // The options the widgets use: the resampler and the background.
    void ApplyOptions();
    bool RouteKey(int key, Qt::KeyboardModifiers modifiers, bool inImageView);
    // Carries out what an outcome asks of the window (dialogs, closing).
    void Carry(const TActionOutcome& outcome);
    void RefreshView();
    void UpdateActions();
    void OpenDialog(bool folder);
    void RatioDialog();
    void SizeDialog();

    TQtHalfTone fHalfTone;
    TStretchPageScaler fOwnScaler{&fHalfTone};
    TPageScaler* fScaler = nullptr;
    // Reports of the model's workers come back to this window through it;
    // declared before the model, so it outlives the threads the model stops.
    TQtDispatcher fDispatcher{this};
    std::unique_ptr<TBrowserModel> fModel;
    TImageViewFrame* fFrame = nullptr;
    std::map<TActionId, QAction*> fActionItems;

    bool fStartPosted = false;
    TMessageSink fMessageSink;
    std::function<void()> fSettled;
};

#pragma once

// The window's side of handing files to other programs: it gathers the
// command target (the selected files of the list, the members of the archive
// shown, the tree's node, the pages shown), asks which page when a spread is
// shown, writes archive members out, and runs the association, the file
// manager, the registered and recently used applications, the program
// chooser, the registration dialog and the drop window. The menu captions of
// the applications come from here too. User-interface thread.

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/RegApp.h"
#include "browser/ActionRules.h"
#include "browser/ActionTable.h"
#include "browser/AppLaunch.h"
#include "browser/CommandTarget.h"

class QWidget;
class TAppCore;
class TBrowserModel;
class TDesktopLauncher;
class TTreePane;

class TAppCommandRunner : public TAppListObserver {
public:
    TAppCommandRunner(TAppCore& core, TBrowserModel& model, TTreePane& trees, QWidget& window);
    ~TAppCommandRunner() override;

    static bool Runs(TActionId action);
    // Which registered and recently used applications exist.
    void FillContext(TActionContext& context) const;
    // The caption of an application item ("&3: GIMP"); nothing for other
    // actions or an empty entry.
    std::optional<QString> Caption(TActionId action) const;
    // Runs a command on the target; false when it had nothing to act on.
    bool Run(TActionId action, TCommandTarget target, TTargetPage page = TTargetPage::tpAsk);
    // Called when the application lists change, so that the window updates
    // its items.
    void SetOnChanged(std::function<void()> changed) { fChanged = std::move(changed); }

    // The paths a command hands over for the target, gathered with flags;
    // an extraction failure is shown and gives nothing.
    std::vector<std::string> TargetPaths(TCommandTarget target, TTargetPage page, const TPassFlags& flags);

    void AppListChanged(TApplicationLists& lists, TAppListChangeKind kind, TChangePhase phase) override;

private:
    std::vector<TTargetEntry> Entries(TCommandTarget target, TTargetPage page, bool& cancelled) const;
    void Register();
    void DropFiles(const std::vector<std::string>& paths);

    TAppCore& fCore;
    TBrowserModel& fModel;
    TTreePane& fTrees;
    QWidget& fWindow;
    std::unique_ptr<TDesktopLauncher> fLauncher;
    std::unique_ptr<TAppCommands> fCommands;
    std::function<void()> fChanged;
};

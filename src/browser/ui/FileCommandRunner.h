#pragma once

// The window's side of the file commands: finds the paths the command
// target holds (the selected items of a listed folder, the shown picture,
// the listed folder itself for "delete the parent"), asks and shows through
// message boxes, the clipboard and a progress dialog, runs TFileCommands
// and reads the list again afterwards. In a snapshot run nobody can answer:
// every question is answered as SetBatch says and printed on stderr.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/ActionRules.h"
#include "browser/ActionTable.h"
#include "browser/CommandTarget.h"
#include "browser/FileCommands.h"

class QWidget;
class TAppCore;
class TBrowserModel;
class TFilePane;
class TQtFileCommandHost;

class TFileCommandRunner {
public:
    TFileCommandRunner(TAppCore& core, TBrowserModel& model, TFilePane& files, QWidget& window);
    ~TFileCommandRunner();

    static bool Runs(TActionId action);
    // The facts the rules of these actions read.
    void FillContext(TActionContext& context) const;
    // Runs a file command on the target; false when it had nothing to act on.
    bool Run(TActionId action, TCommandTarget target);
    // Batch mode (snapshot runs): questions are answered yes or no without a
    // box and written to report with the answer; an empty report ends it.
    void SetBatch(std::function<void(const std::string&)> report, bool answerYes);

    TFileCommands& Commands() { return *fCommands; }

private:
    std::vector<std::string> TargetPaths(TCommandTarget target) const;
    std::string PasteFolder(TCommandTarget target) const;
    bool DeleteParent();
    void Rename(TCommandTarget target);
    void NewFolder();
    void CopyOrMoveTo(TTransferMode mode, TCommandTarget target);
    void ReadAgainSelecting(const std::vector<std::string>& paths);

    TAppCore& fCore;
    TBrowserModel& fModel;
    TFilePane& fFiles;
    QWidget& fWindow;
    TTrash fTrash;
    std::unique_ptr<TQtFileCommandHost> fHost;
    std::unique_ptr<TFileCommands> fCommands;
};

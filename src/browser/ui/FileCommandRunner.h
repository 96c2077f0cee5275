#pragma once

// The window's side of the file commands: finds the paths the command
// target holds (the selected items of a listed folder, the shown picture,
// the tree's folder or archive, the listed folder itself for "delete the
// parent"), removes shelves, catalogues, categories and shelf members the
// tree selects, asks and shows through
// message boxes, the clipboard and a progress dialog, runs TFileCommands
// and reads the list again afterwards. In a snapshot run nobody can answer:
// every question is answered as SetBatch says and printed on stderr.

#include <QMetaObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/ActionRules.h"
#include "browser/ActionTable.h"
#include "browser/CollectionCommands.h"
#include "browser/CommandTarget.h"
#include "browser/FileCommands.h"

class QWidget;
class TAppCore;
class TBrowserModel;
class TCustomFolderList;
class TFilePane;
class TTreeNode;
class TTreePane;
class TQtFileCommandHost;

class TFileCommandRunner {
public:
    // The collection lists are those the trees show; all must outlive the
    // runner.
    struct TPanes {
        TFilePane& Files;
        TTreePane& Trees;
        TCustomFolderList& Shelves;
        TCustomFolderList& Media;
        TCustomFolderList& Categories;
    };
    TFileCommandRunner(TAppCore& core, TBrowserModel& model, const TPanes& panes, QWidget& window);
    ~TFileCommandRunner();

    static bool Runs(TActionId action);
    // The facts the rules of these actions read.
    void FillContext(TActionContext& context) const;
    // Runs a file command on the target; false when it had nothing to act on.
    // Over the image view the command acts on page (the primary page when
    // none is given).
    bool Run(TActionId action, TCommandTarget target, TTargetPage page = TTargetPage::tpAsk);
    // Batch mode (snapshot runs): questions are answered yes or no without a
    // box and written to report with the answer; an empty report ends it.
    void SetBatch(std::function<void(const std::string&)> report, bool answerYes);

    TFileCommands& Commands() { return *fCommands; }
    // Deleting and renaming shelves, media and categories and taking members
    // off shelves; the window sets its OnShelvesChanged to write the shelves.
    TCollectionCommands& Collections() { return *fCollections; }

private:
    // Writes the shelves when path (just renamed) is a shelf member.
    void SaveIfMember(const std::string& path);
    std::vector<std::string> TargetPaths(TCommandTarget target, TTargetPage page = TTargetPage::tpAsk) const;
    // TargetPaths, but a command on the image view without a page asks which
    // page while a spread is shown (both: the two files); empty when cancelled.
    std::vector<std::string> PagePaths(TCommandTarget target, TTargetPage page);
    // The file list lists files, as a folder, a shelf's or a category's
    // members or search results do (not a catalogue's, whose disc may be
    // absent).
    bool ListsFiles() const;
    // The file list's delete where its rows are collections or shelf
    // members; false for other lists.
    bool DeleteCollectionRows();
    bool RenameCollectionRow();
    std::string PasteFolder(TCommandTarget target) const;
    // The selected files of the archive list, extracted for other programs.
    std::vector<std::string> ExtractSelectedMembers();
    bool DeleteParent();
    // A shelf, catalogue, category or shelf member of the tree, after its
    // question; false for other nodes.
    bool DeleteCollectionNode(const TTreeNode& node);
    void Rename(TCommandTarget target);
    void NewFolder(TCommandTarget target);
    void CopyOrMoveTo(TTransferMode mode, TCommandTarget target, TTargetPage page);
    void ReadAgainSelecting(const std::vector<std::string>& paths);

    TAppCore& fCore;
    TBrowserModel& fModel;
    TPanes fPanes;
    TFilePane& fFiles;
    QWidget& fWindow;
    TTrash fTrash;
    std::unique_ptr<TQtFileCommandHost> fHost;
    std::unique_ptr<TFileCommands> fCommands;
    std::unique_ptr<TCollectionCommands> fCollections;
    bool fClipboardHasFiles = false;
    QMetaObject::Connection fClipboardWatch;
};

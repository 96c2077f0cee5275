#pragma once

// The window's shelf commands: adding the command target's selection to a
// shelf chosen in the "本棚に追加" sub-menu or in the shelf chooser, making a
// new shelf with it ("新しい本棚"), writing a shelf's members to a text file
// and reading them back, and removing members whose file is gone. Every
// change is written at once through the store the shelves were read with. In
// a snapshot run nobody can answer: the new shelf takes the proposed name,
// the chooser takes the first shelf, the file dialogs are not shown, and the
// question is answered as SetBatch says and reported.

#include <functional>
#include <string>
#include <vector>

#include "browser/ActionRules.h"
#include "browser/ActionTable.h"
#include "browser/CommandTarget.h"

class QIcon;
class QMenu;
class QWidget;
class TBrowserModel;
class TGroupFolder;
class TGroupList;
class TQtShellInfo;
class TShelfStore;
class TTreePane;

class TShelfCommandRunner {
public:
    // All must outlive the runner; store may be null (nothing is written),
    // icons may be null (no icons in the menus and dialogs). target tells
    // the command target when a menu item made here runs.
    struct THost {
        TBrowserModel& Model;
        TTreePane& Trees;
        TGroupList& Shelves;
        TShelfStore* Store = nullptr;
        TQtShellInfo* Icons = nullptr;
        std::function<TCommandTarget()> Target;
    };
    TShelfCommandRunner(const THost& host, QWidget& window);

    static bool Runs(TActionId action);
    // The facts the add-to-shelf rules read: whether the selection can go on
    // a shelf, whether the tree's node is a collection, whether its path can
    // be read.
    void FillContext(TActionContext& context) const;
    // Runs a shelf command on the target; false when it had nothing to act
    // on or was cancelled.
    bool Run(TActionId action, TCommandTarget target);
    // The shelf sub-menu of the menu bar: one item per shelf is made each
    // time it opens, in front of the items that follow them.
    void AttachShelfMenu(QMenu* menu);
    // The same items, made once (the context menu is built as it opens).
    void AddShelfItems(QMenu* menu, int position);
    // Adds the target's selection to the shelf at index and writes the
    // shelves; the number of members added, -1 when there was nothing to add.
    int AddToShelf(int index, TCommandTarget target);

    // The property dialog of the shelf at index: its name, icon and comment
    // edited and the shelves written; false when cancelled (or in batch
    // mode, which reports the shelf instead).
    bool EditProperties(int index);

    // Batch mode (snapshot runs), as in the file commands: questions are
    // answered without a box and written to report; an empty report ends it.
    void SetBatch(std::function<void(const std::string&)> report, bool answerYes);

private:
    std::vector<std::string> SelectionPaths(TCommandTarget target) const;
    // The shelves a maintenance command acts on: the selected ones of the
    // list of shelves, the listed shelf, or the tree's shelf.
    std::vector<TGroupFolder*> ChosenShelves(TCommandTarget target) const;
    bool NewShelf(TCommandTarget target);
    bool SelectShelf(TCommandTarget target);
    bool Export(TGroupFolder& shelf);
    bool Import(TGroupFolder& shelf);
    bool DeleteMissing(const std::vector<TGroupFolder*>& shelves);
    bool Ask(const std::string& question);
    void Save();
    void Warn(const std::string& text);
    QIcon IconOf(int imageIndex) const;

    THost fHost;
    QWidget& fWindow;
    std::function<void(const std::string&)> fReport;
    bool fAnswerYes = false;
    // Where the export dialog starts: the folder last written to in this run.
    std::string fExportFolder;
};

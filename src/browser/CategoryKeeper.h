#pragma once

// The window's categories through one run: "Category.lst" read at start and
// saved after every change, the checks of the category dialog's names, a
// category's search and sorting started the first time a view shows it, and
// the sub-categories the category tree asks for. The window shows the dialogs
// and messages; this class decides and keeps the file right. It follows the
// list, so a category deleted, renamed or moved by any view is saved too.

#include <functional>
#include <string>
#include <vector>

#include "browser/ActionTable.h"
#include "browser/CommandTarget.h"
#include "collections/CategoryFile.h"
#include "base/Texts.h"

class TBrowserModel;
class TShellTreeModel;

class TCategoryKeeper : private TFolderListObserver {
public:
    static constexpr std::string_view EmptyNameText = "名前を入力してください  ";
    static constexpr std::string_view DuplicateNameText = "同名のカテゴリが存在します  ";

    // list must outlive the keeper.
    TCategoryKeeper(TCategoryList& list, const std::string& dataFolder);
    ~TCategoryKeeper() override;
    TCategoryKeeper(const TCategoryKeeper&) = delete;
    TCategoryKeeper& operator=(const TCategoryKeeper&) = delete;

    // Hears why a save that followed a change of the list failed.
    std::function<void(const std::string&)> OnSaveFailed;

    // Reads the categories; the text says what went wrong (empty when all
    // was read).
    std::string Load();
    // Saves the list; the text says what went wrong, empty on success.
    std::string Save();

    // The refusal of a name for category self (null for a new one): empty,
    // or used by another category (compared without case); "" when fine.
    std::string CheckName(const std::string& name, const TCategoryFolder* self) const;
    // Appends a category made like from (name, settings, targets) and saves;
    // returns its index.
    int Add(const TCategoryFolder& from);
    // Takes the dialog's edit of category index and sorts it again when it
    // was shown; saves.
    void Change(int index, const TCategoryFolder& from);
    void Delete(int index);

    // For the views' OnCategoryLoading: starts gathering and sorting a
    // category that has not been, unless it is busy already.
    void EnsureLoaded(TCategoryFolder& category);
    // For the tree's CategoryChildren: the sub-categories below itemPath
    // ("" or "2004/"), each ending in '/'.
    static std::vector<std::string> Children(const TCategoryFolder& category, const std::string& itemPath);

private:
    void FolderListChanged(TCustomFolderList& list, const TListChange& change) override;

    TCategoryList& fList;
    TCategoryStore fStore;
    bool fQuiet = false;  // the keeper changes the list itself and saves once
};

// The categories a window command acts on: the selected rows of the list of
// categories; for actProperties also the category listed while nothing in it
// is selected; a category node of the tree. Empty for other commands and
// places, which the file commands handle.
std::vector<int> CategoryTargets(TActionId action, TCommandTarget target, TBrowserModel& model,
                                 const TShellTreeModel& tree, const TCategoryList& list);

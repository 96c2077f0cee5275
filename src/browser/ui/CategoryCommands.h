#pragma once

// The window's category commands: the category dialog for a new category and
// for the properties of one, deleting categories after the question, sorting
// one anew, and the hooks the views call when they first show a category. The category list
// lives in the window; TCategoryKeeper keeps its file. User-interface thread.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "browser/CategoryKeeper.h"
#include "browser/ui/TreePane.h"

class QWidget;
class TQtShellInfo;

class TCategoryCommands : public QObject {
public:
    TCategoryCommands(QWidget* window, TCategoryList& list, const std::string& dataFolder);

    // Reads "Category.lst"; the text says what went wrong.
    std::string Load();
    TCategoryKeeper& Keeper() { return fKeeper; }

    // The category toolbar's new button: the dialog ("カテゴリの追加"), then
    // the category is added; its index, or -1 when cancelled.
    int NewCategory();
    // The property dialog of category index; true when it was changed.
    bool EditProperties(int index);
    // Asks "選択されたカテゴリを削除してもよろしいですか？  " and deletes the
    // categories on yes.
    bool DeleteCategories(std::vector<int> indices);
    // Gathers and sorts category index anew (the category toolbar's update).
    void Refresh(int index);
    // actProperties (the first category) or actDelete on the categories
    // CategoryTargets gave; false for any other action.
    bool Run(TActionId action, const std::vector<int>& categories);

    // A button of the category tool bar; update and delete act on the
    // category node selected in tree.
    void RunButton(TCategoryButton button, const TShellTreeModel& tree);

    // Answers the questions; a message box unless the window's batch run
    // answers instead.
    std::function<bool(const std::string& question)> Ask;

    // For the views' OnCategoryLoading and the tree's CategoryChildren.
    void EnsureLoaded(TCategoryFolder& category) { fKeeper.EnsureLoaded(category); }
    static std::vector<std::string> Children(TCategoryFolder& category, const std::string& itemPath)
    {
        return TCategoryKeeper::Children(category, itemPath);
    }
    // The window's icon list, for the icons the category dialog offers; it
    // must outlive the commands (null: no pictures).
    void SetIcons(const TQtShellInfo* icons) { fIcons = icons; }

private:
    QWidget* fWindow;
    TCategoryList& fList;
    const TQtShellInfo* fIcons = nullptr;
    TCategoryKeeper fKeeper;
};

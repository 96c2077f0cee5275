#pragma once

// The window's category commands: the category dialog for a new category and
// for the properties of one, deleting categories after the question, and the
// hooks the views call when they first show a category. The category list
// lives in the window; TCategoryKeeper keeps its file. User-interface thread.

#include <QObject>
#include <string>
#include <vector>

#include "browser/CategoryKeeper.h"

class QWidget;

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
    // Asks "選択されたカテゴリを削除してもよろしいですか？  " (unless ask is
    // off) and deletes the categories.
    bool DeleteCategories(std::vector<int> indices, bool ask);

    // For the views' OnCategoryLoading and the tree's CategoryChildren.
    void EnsureLoaded(TCategoryFolder& category) { fKeeper.EnsureLoaded(category); }
    static std::vector<std::string> Children(TCategoryFolder& category, const std::string& itemPath)
    {
        return TCategoryKeeper::Children(category, itemPath);
    }

private:
    QWidget* fWindow;
    TCategoryList& fList;
    TCategoryKeeper fKeeper;
};

#include "browser/ui/CategoryCommands.h"

#include <QMessageBox>
#include <algorithm>

#include "browser/ui/CategoryDialog.h"
#include "shellviews/ShellTree.h"
#include "base/Texts.h"

TCategoryCommands::TCategoryCommands(QWidget* window, TCategoryList& list, const std::string& dataFolder)
    : QObject(window), fWindow(window), fList(list), fKeeper(list, dataFolder)
{
    fKeeper.OnSaveFailed = [this](const std::string& error) {
        QMessageBox::warning(fWindow, QStringLiteral("Mireva"), QString::fromStdString(error));
    };
    Ask = [this](const std::string& question) {
        return QMessageBox::question(fWindow, QStringLiteral("Mireva"), QString::fromStdString(question),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
}

std::string TCategoryCommands::Load()
{
    return fKeeper.Load();
}

int TCategoryCommands::NewCategory()
{
    TCategoryFolder draft(fList.Tasks(), nullptr, "");
    TCategoryDialog dialog(draft, true, [this](const std::string& name) { return fKeeper.CheckName(name, nullptr); },
                           fWindow, FolderIconSource(fList, fIcons));
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    dialog.Take(draft);
    const int index = fKeeper.Add(draft);
    if (const std::string error = fKeeper.Save(); !error.empty())
        QMessageBox::warning(fWindow, QStringLiteral("Mireva"), QString::fromStdString(error));
    return index;
}

bool TCategoryCommands::EditProperties(int index)
{
    TCategoryFolder* category = fList.Category(index);
    if (!category)
        return false;
    TCategoryDialog dialog(*category, false,
                           [this, category](const std::string& name) { return fKeeper.CheckName(name, category); },
                           fWindow, FolderIconSource(fList, fIcons));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TCategoryFolder edited(fList.Tasks(), nullptr, category->Name());
    edited.AssignFrom(*category);
    dialog.Take(edited);
    fKeeper.Change(index, edited);
    return true;
}

bool TCategoryCommands::DeleteCategories(std::vector<int> indices)
{
    if (indices.empty() || !Ask(Tx("選択されたカテゴリを削除してもよろしいですか？  ")))
        return false;
    // From the last, so that the earlier indices stay right.
    std::sort(indices.rbegin(), indices.rend());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (int index : indices)
        fKeeper.Delete(index);
    return true;
}

void TCategoryCommands::Refresh(int index)
{
    TCategoryFolder* category = fList.Category(index);
    if (!category)
        return;
    category->Clear();
    category->Load();
}

bool TCategoryCommands::Run(TActionId action, const std::vector<int>& categories)
{
    if (categories.empty())
        return false;
    switch (action) {
    case TActionId::actProperties: return EditProperties(categories.front());
    case TActionId::actDelete: return DeleteCategories(categories);
    default: return false;
    }
}

void TCategoryCommands::RunButton(TCategoryButton button, const TShellTreeModel& tree)
{
    if (button == TCategoryButton::cbNew) {
        NewCategory();
        return;
    }
    const TTreeNode* node = tree.Selected();
    const int index = node && node->Kind() == TTreeNodeKind::nkCategory ? fList.IndexOf(node->Collection()) : -1;
    if (index < 0)
        return;
    if (button == TCategoryButton::cbUpdate)
        Refresh(index);
    else
        DeleteCategories({index});
}

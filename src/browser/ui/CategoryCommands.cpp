#include "browser/ui/CategoryCommands.h"

#include <QMessageBox>
#include <algorithm>

#include "browser/ui/CategoryDialog.h"

TCategoryCommands::TCategoryCommands(QWidget* window, TCategoryList& list, const std::string& dataFolder)
    : QObject(window), fWindow(window), fList(list), fKeeper(list, dataFolder)
{
    fKeeper.OnSaveFailed = [this](const std::string& error) {
        QMessageBox::warning(fWindow, QStringLiteral("Mireva"), QString::fromStdString(error));
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
                           fWindow);
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
                           fWindow);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TCategoryFolder edited(fList.Tasks(), nullptr, category->Name());
    edited.AssignFrom(*category);
    dialog.Take(edited);
    fKeeper.Change(index, edited);
    return true;
}

bool TCategoryCommands::DeleteCategories(std::vector<int> indices, bool ask)
{
    if (indices.empty())
        return false;
    if (ask && QMessageBox::question(fWindow, QStringLiteral("Mireva"),
                                     QString::fromUtf8("選択されたカテゴリを削除してもよろしいですか？  "),
                                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    // From the last, so that the earlier indices stay right.
    std::sort(indices.rbegin(), indices.rend());
    for (int index : indices)
        fKeeper.Delete(index);
    return true;
}

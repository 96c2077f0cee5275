#include "browser/ui/ShelfCommands.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "browser/ShelfTargets.h"
#include "browser/ui/TreePane.h"
#include "collections/Shelf.h"
#include "collections/ui/QtShellInfo.h"
#include "collections/ui/IconChooser.h"
#include "collections/ui/ShelfPropertyDialog.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string S(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A shelf name may hold "&", which a menu would take for a mnemonic.
QString MenuText(const std::string& caption)
{
    return Q(caption).replace('&', "&&");
}

constexpr char ShelfItemProperty[] = "mirevaShelfItem";
constexpr char TextFilter[] = "テキストファイル(*.txt)";
// What the chooser's "新規" button answers instead of a shelf.
constexpr int ChooseNew = -2;

// "本棚の選択": the shelves with their icons, the first preselected. Returns
// the chosen index, ChooseNew, or -1 (cancel, or OK without a choice).
int ChooseShelf(QWidget* parent, const TGroupList& shelves, const std::function<QIcon(int)>& iconOf)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(Tx("本棚の選択"));
    auto* list = new QListWidget(&dialog);
    for (int i = 0; i < shelves.Count(); ++i)
        list->addItem(new QListWidgetItem(iconOf(shelves.Group(i)->ImageIndex()), Q(shelves.Group(i)->Name())));
    if (list->count() > 0)
        list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* create = buttons->addButton(Tx("新規(&N)"), QDialogButtonBox::ActionRole);
    bool createChosen = false;
    QObject::connect(create, &QPushButton::clicked, &dialog, [&] {
        createChosen = true;
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    if (createChosen)
        return ChooseNew;
    return list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : -1;
}

}  // namespace

TShelfCommandRunner::TShelfCommandRunner(const THost& host, QWidget& window) : fHost(host), fWindow(window) {}

bool TShelfCommandRunner::Runs(TActionId action)
{
    using enum TActionId;
    switch (action) {
    case actNewShelf:
    case actSelectShelf:
    case actExportShelf:
    case actImportShelf:
    case actDelNoExists: return true;
    default: return false;
    }
}

void TShelfCommandRunner::SetBatch(std::function<void(const std::string&)> report, bool answerYes)
{
    fReport = std::move(report);
    fAnswerYes = answerYes;
}

void TShelfCommandRunner::FillContext(TActionContext& context) const
{
    // Inside an archive the model's items are the archive list's members,
    // which have no path of their own to keep.
    if (fHost.Model.ShownPlace().Kind != TPlaceKind::pkArchive)
        context.Selection.ShelfItems = !SelectionPaths(TCommandTarget::ctFileList).empty();
    TShellTreeModel& tree = fHost.Trees.ActiveTree();
    if (const TTreeNode* node = tree.Selected()) {
        using enum TTreeNodeKind;
        switch (node->Kind()) {
        case nkShelfRoot:
        case nkShelf:
        case nkMediaRoot:
        case nkMedium:
        case nkMediumFolder:
        case nkCategoryRoot:
        case nkCategory:
        case nkCategoryItem: context.Node.Collection = true; break;
        default: break;
        }
        context.Node.PathReadable = !ShelfPathOfTreePlace(tree.PlaceOf(node)).empty();
    }
}

std::vector<std::string> TShelfCommandRunner::SelectionPaths(TCommandTarget target) const
{
    if (target == TCommandTarget::ctTree) {
        TShellTreeModel& tree = fHost.Trees.ActiveTree();
        const TTreeNode* node = tree.Selected();
        const std::string path = node ? ShelfPathOfTreePlace(tree.PlaceOf(node)) : std::string();
        return path.empty() ? std::vector<std::string>() : std::vector<std::string>{path};
    }
    if (target != TCommandTarget::ctFileList || fHost.Model.ShownPlace().Kind == TPlaceKind::pkArchive)
        return {};
    const TListKind kind = fHost.Model.ListKind();
    if (kind != TListKind::lkFolder && kind != TListKind::lkSearch)
        return {};
    return ShelfCandidatePaths(fHost.Model.Items(), fHost.Model.Selection());
}

std::vector<TGroupFolder*> TShelfCommandRunner::ChosenShelves(TCommandTarget target) const
{
    std::vector<TGroupFolder*> shelves;
    const auto add = [&](const TCustomFolder* folder) {
        if (TGroupFolder* shelf = fHost.Shelves.Group(fHost.Shelves.IndexOf(folder)))
            shelves.push_back(shelf);
    };
    if (target == TCommandTarget::ctTree) {
        TShellTreeModel& tree = fHost.Trees.ActiveTree();
        const TTreeNode* node = tree.Selected();
        if (node && node->Kind() == TTreeNodeKind::nkShelf)
            if (TGroupFolder* shelf = fHost.Shelves.Group(tree.PlaceOf(node).ListIndex))
                shelves.push_back(shelf);
        return shelves;
    }
    if (target != TCommandTarget::ctFileList)
        return shelves;
    TShellListModel& list = fHost.Model.FileList();
    const TListKind kind = fHost.Model.ListKind();
    if (kind == TListKind::lkShelves) {
        // The item first: the focused one when it is selected.
        std::vector<int> rows = fHost.Model.Selection();
        const auto focused = std::find(rows.begin(), rows.end(), fHost.Model.FocusedItem());
        if (focused != rows.end())
            std::rotate(rows.begin(), focused, focused + 1);
        for (const int row : rows)
            add(list.CollectionAt(row));
    } else if (kind == TListKind::lkShelf && fHost.Model.Selection().empty()) {
        add(list.ShownCollection());
    }
    return shelves;
}

bool TShelfCommandRunner::Run(TActionId action, TCommandTarget target)
{
    using enum TActionId;
    switch (action) {
    case actNewShelf: return NewShelf(target);
    case actSelectShelf: return SelectShelf(target);
    default: break;
    }
    const std::vector<TGroupFolder*> shelves = ChosenShelves(target);
    if (shelves.empty())
        return false;
    switch (action) {
    case actExportShelf: return Export(*shelves.front());
    case actImportShelf: return Import(*shelves.front());
    case actDelNoExists: return DeleteMissing(shelves);
    default: return false;
    }
}

int TShelfCommandRunner::AddToShelf(int index, TCommandTarget target)
{
    TGroupFolder* shelf = fHost.Shelves.Group(index);
    const std::vector<std::string> paths = SelectionPaths(target);
    if (!shelf || paths.empty())
        return -1;
    const int added = AddPaths(*shelf, paths);
    Save();
    return added;
}

bool TShelfCommandRunner::NewShelf(TCommandTarget target)
{
    if (SelectionPaths(target).empty())
        return false;
    std::string name = ProposeShelfName(fHost.Shelves);
    int image = 0;
    std::string comment;
    if (fReport) {
        fReport(Tx("本棚 '") + name + Tx("' を作成しました"));
    } else {
        const TFolderIconSource icons = FolderIconSource(fHost.Shelves, fHost.Icons);
        TShelfPropertyDialog dialog(&fWindow, Tx(TShelfPropertyDialog::AddCaption), fHost.Shelves, std::string(), 0,
                                    std::string(), icons.Count, icons.IconOf);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        name = dialog.Name();
        image = dialog.ImageIndex();
        comment = dialog.Comment();
    }
    const int index = fHost.Shelves.Add(name, image, comment);
    return AddToShelf(index, target) >= 0;
}

bool TShelfCommandRunner::EditProperties(int index)
{
    TCustomFolder* shelf = fHost.Shelves.Folder(index);
    if (!shelf)
        return false;
    if (fReport) {
        fReport(Tx("プロパティ") + std::string(": ") + shelf->Name());
        return false;
    }
    const TFolderIconSource icons = FolderIconSource(fHost.Shelves, fHost.Icons);
    TShelfPropertyDialog dialog(&fWindow, Tx(TShelfPropertyDialog::EditCaption), fHost.Shelves, shelf->Name(),
                                shelf->ImageIndex(), shelf->Comment(), icons.Count, icons.IconOf);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    shelf->SetProperties(dialog.Name(), dialog.ImageIndex(), dialog.Comment());
    Save();
    return true;
}

bool TShelfCommandRunner::SelectShelf(TCommandTarget target)
{
    if (SelectionPaths(target).empty())
        return false;
    int chosen = -1;
    if (fReport) {
        // Nobody can choose: the first shelf, as the chooser proposes.
        chosen = fHost.Shelves.Count() > 0 ? 0 : ChooseNew;
    } else {
        chosen = ChooseShelf(&fWindow, fHost.Shelves, [this](int i) { return IconOf(i); });
    }
    if (chosen == ChooseNew)
        return NewShelf(target);
    return chosen >= 0 && AddToShelf(chosen, target) >= 0;
}

bool TShelfCommandRunner::Export(TGroupFolder& shelf)
{
    if (fReport) {
        fReport(Tx("登録項目の出力: ファイルを選ぶ人がいないため出力しません"));
        return false;
    }
    const std::string start = IncludeTrailingPathDelimiter(
        fExportFolder.empty() ? fHost.Model.DialogStartFolder() : fExportFolder);
    const QString chosen =
        QFileDialog::getSaveFileName(&fWindow, QString(), Q(start + shelf.Name()), Tx(TextFilter));
    if (chosen.isEmpty())
        return false;
    const std::string file = ShelfExportFileName(S(chosen));
    try {
        ExportItems(file, shelf);
        fExportFolder = ExtractFilePath(file);
    } catch (const EMirevaError& error) {
        Warn(error.what());
        return false;
    }
    return true;
}

bool TShelfCommandRunner::Import(TGroupFolder& shelf)
{
    if (fReport) {
        fReport(Tx("登録項目の取り込み: ファイルを選ぶ人がいないため取り込みません"));
        return false;
    }
    const QString chosen =
        QFileDialog::getOpenFileName(&fWindow, QString(), Q(fHost.Model.DialogStartFolder()), Tx(TextFilter));
    if (chosen.isEmpty())
        return false;
    TShelfImportResult result;
    try {
        result = ImportItems(S(chosen), shelf);
    } catch (const EMirevaError& error) {
        Warn(error.what());
        return false;
    }
    if (result.Added > 0)
        Save();
    // The lines that added nothing are told, so a list moved from another
    // machine does not lose entries without a word.
    if (!result.Failed.empty()) {
        std::string text = Tx("取り込めなかった行があります:");
        constexpr size_t Shown = 10;
        for (size_t i = 0; i < std::min(Shown, result.Failed.size()); ++i)
            text += "\n" + std::to_string(result.Failed[i].Line) + ": " + result.Failed[i].Text;
        if (result.Failed.size() > Shown)
            text += "\n…";
        Warn(text);
    }
    return true;
}

bool TShelfCommandRunner::DeleteMissing(const std::vector<TGroupFolder*>& shelves)
{
    std::vector<std::string> names;
    for (const TGroupFolder* shelf : shelves)
        names.push_back(shelf->Name());
    if (!Ask(DeleteMissingQuestion(names)))
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int removed = 0;
    for (TGroupFolder* shelf : shelves)
        removed += DeleteMissingItems(*shelf);
    QApplication::restoreOverrideCursor();
    if (removed > 0)
        Save();
    return true;
}

bool TShelfCommandRunner::Ask(const std::string& question)
{
    if (fReport) {
        fReport(question + (fAnswerYes ? " -> OK" : Tx(" -> キャンセル")));
        return fAnswerYes;
    }
    return QMessageBox::question(&fWindow, "Mireva", Q(question), QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void TShelfCommandRunner::Save()
{
    if (!fHost.Store)
        return;
    try {
        fHost.Store->Save(fHost.Shelves);
    } catch (const EFileError& error) {
        Warn(error.what());
    }
}

void TShelfCommandRunner::Warn(const std::string& text)
{
    if (fReport)
        fReport(text);
    else
        QMessageBox::warning(&fWindow, "Mireva", Q(text));
}

QIcon TShelfCommandRunner::IconOf(int imageIndex) const
{
    return fHost.Icons ? fHost.Icons->Icon(fHost.Shelves.IconOf(imageIndex)) : QIcon();
}

void TShelfCommandRunner::AttachShelfMenu(QMenu* menu)
{
    const int position = static_cast<int>(menu->actions().size());
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu, position] {
        for (QAction* action : menu->actions())
            if (action->property(ShelfItemProperty).toBool()) {
                menu->removeAction(action);
                action->deleteLater();
            }
        AddShelfItems(menu, position);
    });
}

void TShelfCommandRunner::AddShelfItems(QMenu* menu, int position)
{
    const QList<QAction*> existing = menu->actions();
    QAction* before = position < existing.size() ? existing[position] : nullptr;
    for (int i = 0; i < fHost.Shelves.Count(); ++i) {
        const TGroupFolder* shelf = fHost.Shelves.Group(i);
        auto* action = new QAction(IconOf(shelf->ImageIndex()), MenuText(shelf->Name()), menu);
        action->setProperty(ShelfItemProperty, true);
        menu->insertAction(before, action);
        QObject::connect(action, &QAction::triggered, menu, [this, i] {
            AddToShelf(i, fHost.Target ? fHost.Target() : TCommandTarget::ctFileList);
        });
    }
}

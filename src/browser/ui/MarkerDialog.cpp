#include "browser/ui/MarkerDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

enum TColumn { coLocation, coFile, coPosition, coDate, coCount };
constexpr int EntryRole = Qt::UserRole;
constexpr int SortRole = Qt::UserRole + 1;

// A row that sorts by its column's key rather than by the shown text, so
// "10 / 20" comes after "9 / 20" and dates sort by time.
class TEntryItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, SortRole);
        const QVariant b = other.data(column, SortRole);
        if (a.typeId() == QMetaType::Double)
            return a.toDouble() < b.toDouble();
        return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
    }
};

}  // namespace

TMarkerDialog::TMarkerDialog(QWidget* parent, TMarkerDialogMode mode, std::vector<TMarkerPath> entries,
                             const TMarkerDialogState& state)
    : QDialog(parent), fMode(mode), fState(state)
{
    fResult.Entries = std::move(entries);
    const bool markers = mode == TMarkerDialogMode::mdMarkers;
    setWindowTitle(markers ? Tx("しおりを開く") : Tx("最近開いたファイルを開く"));
    setObjectName("MarkerDialog");
    fAsk = [this](const std::string& question) {
        return QMessageBox::question(this, "Mireva", Q(question), QMessageBox::Ok | QMessageBox::Cancel) ==
               QMessageBox::Ok;
    };

    fList = new QTreeWidget(this);
    fList->setColumnCount(coCount);
    fList->setHeaderLabels({Tx("場所"), Tx("ファイル名"), Tx("位置"), Tx("日付")});
    fList->setRootIsDecorated(false);
    fList->setSelectionMode(markers ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    fList->setSortingEnabled(false);
    const std::vector<std::string> widths = SplitString(state.Header, ',');
    for (size_t i = 0; i < widths.size() && i < coCount; ++i)
        if (const auto width = TryStrToInt(widths[i]); width && *width > 0)
            fList->setColumnWidth(static_cast<int>(i), *width);
    connect(fList, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });

    fFullPath = new QCheckBox(Tx("フルパスを表示(&F)"), this);
    fFullPath->setChecked(state.FullPath);
    connect(fFullPath, &QCheckBox::toggled, this, [this] { Fill(); });

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(fFullPath);
    if (markers) {
        fDeleteOnOpen = new QCheckBox(Tx("選択したしおりを削除して開く(&O)"), this);
        fDeleteOnOpen->setChecked(state.Delete);
        boxes->addWidget(fDeleteOnOpen);
    }
    boxes->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    if (markers) {
        const auto add = [&](const char* text, void (TMarkerDialog::*run)()) {
            QPushButton* button = buttons->addButton(text, QDialogButtonBox::ActionRole);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, run] { (this->*run)(); });
        };
        add(Tx("削除(&D)"), &TMarkerDialog::DeleteSelected);
        add(Tx("存在しないパスを削除(&E)"), &TMarkerDialog::DeleteMissing);
        add(Tx("全て削除(&A)"), &TMarkerDialog::DeleteAll);
    }
    buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(Tx("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fList);
    layout->addLayout(boxes);
    layout->addWidget(buttons);
    setMinimumSize(MarkerDialogMinWidth, MarkerDialogMinHeight);
    if (state.Width > 0 && state.Height > 0)
        resize(state.Width, state.Height);

    Fill();
    if (state.SortDir != 2) {
        fList->setSortingEnabled(true);
        fList->sortByColumn(std::clamp(state.Sort, 0, coCount - 1),
                            state.SortDir == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    if (fList->topLevelItemCount() > 0)
        fList->setCurrentItem(fList->topLevelItem(0));
}

void TMarkerDialog::Fill()
{
    const bool fullPath = fFullPath->isChecked();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const bool sorting = fList->isSortingEnabled();
    fList->setSortingEnabled(false);
    std::optional<size_t> current;
    if (QTreeWidgetItem* item = fList->currentItem())
        current = item->data(0, EntryRole).toULongLong();
    fList->clear();
    for (size_t i = 0; i < fResult.Entries.size(); ++i) {
        const TMarkerPath& entry = fResult.Entries[i];
        auto* item = new TEntryItem(fList);
        item->setText(coLocation, Q(MarkerLocationText(entry, fullPath)));
        item->setText(coFile, Q(ExtractFileName(entry.FileName)));
        item->setText(coPosition, Q(MarkerPositionText(entry)));
        item->setText(coDate, Q(MarkerDateText(entry)));
        item->setData(0, EntryRole, QVariant::fromValue<qulonglong>(i));
        item->setData(coLocation, SortRole, item->text(coLocation));
        item->setData(coFile, SortRole, item->text(coFile));
        item->setData(coPosition, SortRole, static_cast<double>(entry.Index));
        item->setData(coDate, SortRole, entry.Time);
        // A place that is gone shows no icon.
        if (MarkerLocationExists(entry))
            item->setIcon(coLocation, folderIcon);
        if (current == i)
            fList->setCurrentItem(item);
    }
    fList->setSortingEnabled(sorting);
}

std::vector<size_t> TMarkerDialog::SelectedEntries() const
{
    std::vector<size_t> positions;
    for (QTreeWidgetItem* item : fList->selectedItems())
        positions.push_back(item->data(0, EntryRole).toULongLong());
    return positions;
}

void TMarkerDialog::Remove(std::vector<size_t> positions)
{
    if (positions.empty())
        return;
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (auto it = positions.rbegin(); it != positions.rend(); ++it)
        fResult.Entries.erase(fResult.Entries.begin() + static_cast<std::ptrdiff_t>(*it));
    fResult.Changed = true;
    Fill();
}

void TMarkerDialog::DeleteSelected()
{
    std::vector<size_t> positions = SelectedEntries();
    if (!positions.empty() && fAsk(DeleteSelectedQuestion()))
        Remove(std::move(positions));
}

void TMarkerDialog::DeleteMissing()
{
    std::vector<size_t> positions;
    for (size_t i = 0; i < fResult.Entries.size(); ++i)
        if (!MarkerLocationExists(fResult.Entries[i]))
            positions.push_back(i);
    if (!positions.empty() && fAsk(DeleteMissingQuestion()))
        Remove(std::move(positions));
}

void TMarkerDialog::DeleteAll()
{
    if (fResult.Entries.empty() || !fAsk(DeleteAllQuestion()))
        return;
    std::vector<size_t> positions(fResult.Entries.size());
    for (size_t i = 0; i < positions.size(); ++i)
        positions[i] = i;
    Remove(std::move(positions));
}

void TMarkerDialog::done(int result)
{
    if (result == QDialog::Accepted) {
        QTreeWidgetItem* item = fList->currentItem();
        if (item && !item->isSelected() && !fList->selectedItems().isEmpty())
            item = fList->selectedItems().front();
        if (item) {
            const size_t position = item->data(0, EntryRole).toULongLong();
            fResult.Chosen = fResult.Entries[position];
            if (fDeleteOnOpen && fDeleteOnOpen->isChecked()) {
                fResult.Entries.erase(fResult.Entries.begin() + static_cast<std::ptrdiff_t>(position));
                fResult.Changed = true;
            }
        }
    }
    QDialog::done(result);
}

TMarkerDialogState TMarkerDialog::State() const
{
    TMarkerDialogState state = fState;
    state.FullPath = fFullPath->isChecked();
    if (fDeleteOnOpen)
        state.Delete = fDeleteOnOpen->isChecked();
    if (fList->isSortingEnabled()) {
        state.Sort = fList->sortColumn();
        state.SortDir = fList->header()->sortIndicatorOrder() == Qt::DescendingOrder ? 1 : 0;
    }
    state.Width = width();
    state.Height = height();
    std::string header;
    for (int i = 0; i < coCount; ++i)
        header += (i ? "," : "") + IntToStr(fList->columnWidth(i));
    state.Header = header;
    return state;
}

TMarkerDialogResult RunMarkerDialog(QWidget* parent, TMarkerDialogMode mode, const std::vector<TMarkerPath>& entries,
                                    const std::string& dataFolder)
{
    TIniFile ini(JoinPath(dataFolder, "Mireva.ini"));
    TMarkerDialog dialog(parent, mode, entries, ReadMarkerDialogState(ini, mode));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The state is kept whatever the dialog ended with; a settings file that
    // cannot be written only loses it.
    try {
        ini.Reload();
        WriteMarkerDialogState(ini, mode, dialog.State());
        ini.UpdateFile();
    } catch (const EMirevaError&) {
    }
    TMarkerDialogResult result = dialog.Result();
    result.FullPath = dialog.State().FullPath;
    if (!accepted)
        result.Chosen.reset();
    return result;
}

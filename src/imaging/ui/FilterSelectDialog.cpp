#include "imaging/ui/FilterSelectDialog.h"
#include "base/Texts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("TFilterSelectDialog", text);
}

QString KindText(FilterKind kind)
{
    return QCoreApplication::translate("TFilterSetDialog", Tx(FilterKindText(kind)).c_str());
}

}  // namespace

TFilterSelectDialog::TFilterSelectDialog(const TFilterSets& sets, TFilterSelectHooks hooks, QWidget* parent)
    : QDialog(parent), fEditor(sets), fHooks(std::move(hooks))
{
    setWindowTitle(Tr(Tx("フィルタの設定")));
    auto* layout = new QGridLayout(this);
    fSets = new QTreeWidget(this);
    fSets->setColumnCount(2);
    fSets->setHeaderHidden(true);
    fSets->setRootIsDecorated(false);
    layout->addWidget(fSets, 0, 0, 1, 3);
    auto* setButtons = new QVBoxLayout;
    fAddSet = new QPushButton(Tr(Tx("追加(&N)")), this);
    fCopySet = new QPushButton(Tr(Tx("コピー(&C)")), this);
    fDeleteSet = new QPushButton(Tr(Tx("削除(&T)")), this);
    fSetUp = new QPushButton(QStringLiteral("▲"), this);
    fSetDown = new QPushButton(QStringLiteral("▼"), this);
    for (QPushButton* b : {fAddSet, fCopySet, fDeleteSet, fSetUp, fSetDown})
        setButtons->addWidget(b);
    setButtons->addStretch();
    layout->addLayout(setButtons, 0, 3);

    fName = new QLineEdit(this);
    layout->addWidget(fName, 1, 0, 1, 3);
    fKinds = new QListWidget(this);
    for (int k = 0; k < FilterKindCount; ++k)
        fKinds->addItem(KindText(static_cast<FilterKind>(k)));
    fKinds->setCurrentRow(0);
    layout->addWidget(fKinds, 2, 0);
    auto* middle = new QVBoxLayout;
    fAdd = new QPushButton(Tr(Tx("追加(&A) ->")), this);
    fRemove = new QPushButton(Tr(Tx("<- 削除(&D)")), this);
    middle->addWidget(fAdd);
    middle->addWidget(fRemove);
    middle->addStretch();
    layout->addLayout(middle, 2, 1);
    fUse = new QListWidget(this);
    layout->addWidget(fUse, 2, 2);
    auto* itemButtons = new QVBoxLayout;
    fItemUp = new QPushButton(QStringLiteral("▲"), this);
    fItemDown = new QPushButton(QStringLiteral("▼"), this);
    fSettings = new QPushButton(Tr(Tx("設定(&O)")), this);
    for (QPushButton* b : {fItemUp, fItemDown, fSettings})
        itemButtons->addWidget(b);
    itemButtons->addStretch();
    layout->addLayout(itemButtons, 2, 3);

    auto* bottom = new QHBoxLayout;
    fPreview = new QPushButton(Tr(Tx("プレビュー(&P)")), this);
    fPreview->setEnabled(static_cast<bool>(fHooks.Preview));
    bottom->addWidget(fPreview);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bottom->addWidget(buttons);
    layout->addLayout(bottom, 3, 0, 1, 4);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(fAddSet, &QPushButton::clicked, this, [this] { fEditor.AddSet(); });
    connect(fCopySet, &QPushButton::clicked, this, [this] { fEditor.CopySet(); });
    connect(fDeleteSet, &QPushButton::clicked, this, [this] { fEditor.DeleteSet(); });
    connect(fSetUp, &QPushButton::clicked, this, [this] { fEditor.MoveSetUp(); });
    connect(fSetDown, &QPushButton::clicked, this, [this] { fEditor.MoveSetDown(); });
    connect(fAdd, &QPushButton::clicked, this, [this] { AddItem(); });
    connect(fKinds, &QListWidget::itemDoubleClicked, this, [this] { AddItem(); });
    connect(fRemove, &QPushButton::clicked, this, [this] { fEditor.RemoveItem(); });
    connect(fUse, &QListWidget::itemDoubleClicked, this, [this] { fEditor.RemoveItem(); });
    connect(fItemUp, &QPushButton::clicked, this, [this] { fEditor.MoveItemUp(); });
    connect(fItemDown, &QPushButton::clicked, this, [this] { fEditor.MoveItemDown(); });
    connect(fSettings, &QPushButton::clicked, this, [this] { EditItem(); });
    connect(fPreview, &QPushButton::clicked, this, [this] { Preview(); });
    connect(fName, &QLineEdit::textEdited, this, [this](const QString& text) { fEditor.Rename(text.toStdString()); });
    connect(fSets, &QTreeWidget::currentItemChanged, this, [this] {
        if (!fFilling)
            fEditor.SelectRow(fSets->indexOfTopLevelItem(fSets->currentItem()));
    });
    connect(fSets, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        if (!fFilling)
            fEditor.SetTicked(fSets->indexOfTopLevelItem(item), item->checkState(0) == Qt::Checked);
    });
    connect(fSets, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        fEditor.ToggleTicked(fSets->indexOfTopLevelItem(item));
    });
    connect(fUse, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!fFilling && row >= 0)
            fEditor.SelectLine(row);
    });
    fEditor.RegisterObserver(this);
    FillSets();
}

TFilterSelectDialog::~TFilterSelectDialog()
{
    fEditor.UnregisterObserver(this);
}

void TFilterSelectDialog::FilterEditChanged(TFilterEditChange change, TChangePhase phase)
{
    if (phase != TChangePhase::cpAfter)
        return;
    switch (change) {
    case TFilterEditChange::fcName:
        if (QTreeWidgetItem* row = fSets->topLevelItem(fEditor.Current())) {
            ++fFilling;
            row->setText(1, QString::fromStdString(fEditor.Set(fEditor.Current()).Name));
            --fFilling;
        }
        break;
    case TFilterEditChange::fcLine:
        ++fFilling;
        fUse->setCurrentRow(fEditor.Line());
        --fFilling;
        UpdateButtons();
        break;
    case TFilterEditChange::fcItems:
        FillItems();
        break;
    default:
        FillSets();
        break;
    }
    // A running preview follows every edit of what it shows.
    if (fPreviewed && change != TFilterEditChange::fcLine && change != TFilterEditChange::fcName)
        Preview();
}

void TFilterSelectDialog::FillSets()
{
    ++fFilling;
    fSets->clear();
    for (int row = 0; row < fEditor.Count(); ++row) {
        auto* item = new QTreeWidgetItem(fSets);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setText(0, QString::fromStdString(TFilterSetEditor::RowCaption(row)));
        item->setTextAlignment(0, Qt::AlignRight);
        item->setText(1, QString::fromStdString(fEditor.Set(row).Name));
        item->setCheckState(0, row == fEditor.Ticked() ? Qt::Checked : Qt::Unchecked);
    }
    if (QTreeWidgetItem* current = fSets->topLevelItem(fEditor.Current()))
        fSets->setCurrentItem(current);
    const bool selected = fEditor.Current() >= 0;
    fName->setText(selected ? QString::fromStdString(fEditor.Set(fEditor.Current()).Name) : QString());
    for (QWidget* w : std::initializer_list<QWidget*>{fName, fKinds, fUse, fAdd})
        w->setEnabled(selected);
    --fFilling;
    FillItems();
}

void TFilterSelectDialog::FillItems()
{
    ++fFilling;
    fUse->clear();
    if (fEditor.Current() >= 0) {
        for (const TFilterItem& item : fEditor.Items())
            fUse->addItem(KindText(item.Kind));
        // The empty line that stands for the end.
        fUse->addItem(QString());
        fUse->setCurrentRow(fEditor.Line());
    }
    --fFilling;
    UpdateButtons();
}

void TFilterSelectDialog::UpdateButtons()
{
    fAddSet->setEnabled(fEditor.CanAddSet());
    fCopySet->setEnabled(fEditor.CanCopySet());
    fDeleteSet->setEnabled(fEditor.CanDeleteSet());
    fSetUp->setEnabled(fEditor.CanMoveSetUp());
    fSetDown->setEnabled(fEditor.CanMoveSetDown());
    fAdd->setEnabled(fEditor.CanAddItem());
    fRemove->setEnabled(fEditor.CanRemoveItem());
    fItemUp->setEnabled(fEditor.CanMoveItemUp());
    fItemDown->setEnabled(fEditor.CanMoveItemDown());
    fSettings->setEnabled(fEditor.CanEditItem());
}

TFilterList TFilterSelectDialog::ItemsWith(const TFilterItem& item, bool replace) const
{
    TFilterList items = fEditor.Items();
    const size_t line = static_cast<size_t>(std::clamp(fEditor.Line(), 0, static_cast<int>(items.size())));
    if (replace && line < items.size())
        items[line] = item;
    else
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(line), item);
    return items;
}

TFilterDialogHooks TFilterSelectDialog::ItemHooks(bool replace)
{
    TFilterDialogHooks hooks;
    hooks.ReadCustomColors = fHooks.ReadCustomColors;
    hooks.WriteCustomColors = fHooks.WriteCustomColors;
    if (fPreviewed && fHooks.Preview)
        hooks.Preview = [this, replace](const TFilterItem& item) { fHooks.Preview(ItemsWith(item, replace)); };
    return hooks;
}

bool TFilterSelectDialog::RunItemDialog(TFilterItem& item, bool replace)
{
    const TFilterDialogHooks hooks = ItemHooks(replace);
    bool accepted = false;
    if (fHooks.EditItem) {
        accepted = fHooks.EditItem(item, hooks);
    } else {
        TFilterSetDialog dialog(item, hooks, this);
        accepted = dialog.exec() == QDialog::Accepted;
        if (accepted)
            item = dialog.Item();
    }
    // A cancelled edit shows the set as it is again.
    if (!accepted && fPreviewed)
        Preview();
    return accepted;
}

void TFilterSelectDialog::AddItem()
{
    if (!fEditor.CanAddItem() || fKinds->currentRow() < 0)
        return;
    const FilterKind kind = static_cast<FilterKind>(fKinds->currentRow());
    TFilterItem item = TFilterItem::Default(kind);
    if (TFilterSetEditor::HasParameters(kind) && !RunItemDialog(item, false))
        return;
    fEditor.InsertItem(std::move(item));
}

void TFilterSelectDialog::EditItem()
{
    if (!fEditor.CanEditItem())
        return;
    TFilterItem item = fEditor.Items()[static_cast<size_t>(fEditor.Line())];
    if (RunItemDialog(item, true))
        fEditor.ReplaceItem(item);
}

void TFilterSelectDialog::Preview()
{
    if (!fHooks.Preview)
        return;
    fPreviewed = true;
    fHooks.Preview(fEditor.Items());
}

void TFilterSelectDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && fSets->hasFocus()) {
        fEditor.DeleteSet();
        return;
    }
    QDialog::keyPressEvent(event);
}

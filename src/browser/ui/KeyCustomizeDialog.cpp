#include "browser/ui/KeyCustomizeDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "browser/CommandCatalog.h"
#include "browser/ShortcutText.h"
#include "browser/ui/KeyCodes.h"
#include "browser/ui/ScrollOptionsPage.h"
#include "base/Texts.h"

namespace {

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The categories of each page's box, after "すべて"; "移動" on the image page
// also lists the move commands and "スクロール" the scroll commands.
constexpr TCommandCategory GeneralCategories[] = {TCommandCategory::ccFile, TCommandCategory::ccEdit,
                                                  TCommandCategory::ccView, TCommandCategory::ccOption};
constexpr TCommandCategory ImageCategories[] = {TCommandCategory::ccFile,   TCommandCategory::ccEdit,
                                                TCommandCategory::ccMove,   TCommandCategory::ccImage,
                                                TCommandCategory::ccView,   TCommandCategory::ccOption,
                                                TCommandCategory::ccScroll};

std::span<const TCommandGroup> GroupsOf(TKeySet set)
{
    static constexpr TCommandGroup general[] = {TCommandGroup::cgGeneral};
    static constexpr TCommandGroup image[] = {TCommandGroup::cgImage, TCommandGroup::cgMove, TCommandGroup::cgScroll};
    if (set == TKeySet::ksGeneral)
        return general;
    return image;
}

}  // namespace

TKeyCustomizeDialog::TKeyCustomizeDialog(const TKeyBindings& keys, const TScrollOptions& scroll, int page,
                                         QWidget* parent)
    : QDialog(parent), fKeys(keys)
{
    setWindowTitle(Text(Tx("キーカスタマイズ")));
    fPages[0].Set = TKeySet::ksGeneral;
    fPages[1].Set = TKeySet::ksImageView;
    fTabs = new QTabWidget(this);
    fTabs->addTab(BuildPage(fPages[0], {}), Text(Tx("全般")));
    fTabs->addTab(BuildPage(fPages[1], Text(Tx("※これらのショートカットは画像表示部にフォーカスがある場合のみ有効です"))),
                  Text(Tx("画像表示")));
    fScroll = new TScrollOptionsPage(scroll, false, this);
    fTabs->addTab(fScroll, Text(Tx("スクロール")));
    SetPage(page);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* reset = buttons->addButton(Text(Tx("初期値に戻す(&R)")), QDialogButtonBox::ResetRole);
    connect(reset, &QPushButton::clicked, this, [this] { ResetKeys(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fTabs);
    layout->addWidget(buttons);
}

int TKeyCustomizeDialog::Page() const
{
    return fTabs->currentIndex();
}

void TKeyCustomizeDialog::SetPage(int page)
{
    fTabs->setCurrentIndex(page >= 0 && page < kpCount ? page : kpGeneral);
}

TScrollOptions TKeyCustomizeDialog::ScrollOptions() const
{
    return fScroll->Options();
}

void TKeyCustomizeDialog::ResetKeys()
{
    fKeys.ResetKeys();
    for (TPage& p : fPages)
        FillKeys(p);
}

QWidget* TKeyCustomizeDialog::BuildPage(TPage& page, const QString& note)
{
    auto* widget = new QWidget(this);
    page.Category = new QComboBox(widget);
    page.Category->addItem(Text(Tx("すべて")));
    const std::span<const TCommandCategory> categories =
        page.Set == TKeySet::ksGeneral ? std::span<const TCommandCategory>(GeneralCategories)
                                       : std::span<const TCommandCategory>(ImageCategories);
    for (const TCommandCategory category : categories)
        page.Category->addItem(Text(Tx(CategoryName(category))), static_cast<int>(category));
    page.Commands = new QListWidget(widget);
    page.Keys = new QListWidget(widget);
    page.NewKey = new QLabel(widget);
    page.NewKey->setFrameShape(QFrame::StyledPanel);
    page.NewKey->setFocusPolicy(Qt::StrongFocus);
    page.NewKey->installEventFilter(this);
    page.NewKey->setMinimumWidth(160);
    page.Owner = new QLabel(widget);
    auto* add = new QPushButton(Text(Tx("追加(&A)")), widget);
    auto* remove = new QPushButton(Text(Tx("削除(&D)")), widget);
    auto* clear = new QPushButton(Text(Tx("クリア(&C)")), widget);

    connect(page.Category, &QComboBox::currentIndexChanged, this, [this, &page] { FillCommands(page); });
    connect(page.Commands, &QListWidget::currentRowChanged, this, [this, &page] { FillKeys(page); });
    connect(add, &QPushButton::clicked, this, [this] { AddKey(); });
    connect(remove, &QPushButton::clicked, this, [this, &page] {
        const auto command = Selected(page);
        QListWidgetItem* item = page.Keys->currentItem();
        if (!command || !item || !item->data(Qt::UserRole).isValid())
            return;
        fKeys.Unbind(*command, static_cast<TShortCut>(item->data(Qt::UserRole).toUInt()));
        FillKeys(page);
    });
    connect(clear, &QPushButton::clicked, this, [this, &page] {
        if (const auto command = Selected(page)) {
            fKeys.Clear(*command);
            FillKeys(page);
        }
    });

    auto* lists = new QHBoxLayout;
    lists->addWidget(page.Commands, 3);
    auto* right = new QVBoxLayout;
    right->addWidget(page.Keys);
    auto* entry = new QHBoxLayout;
    entry->addWidget(page.NewKey);
    entry->addWidget(page.Owner);
    right->addLayout(entry);
    auto* row = new QHBoxLayout;
    row->addWidget(add);
    row->addWidget(remove);
    row->addWidget(clear);
    right->addLayout(row);
    lists->addLayout(right, 2);
    auto* layout = new QVBoxLayout(widget);
    layout->addWidget(page.Category);
    layout->addLayout(lists);
    if (!note.isEmpty())
        layout->addWidget(new QLabel(note, widget));
    FillCommands(page);
    return widget;
}

TKeyCustomizeDialog::TPage& TKeyCustomizeDialog::Current()
{
    return fPages[fTabs->currentIndex() == 1 ? 1 : 0];
}

std::optional<TKeyOwner> TKeyCustomizeDialog::Selected(const TPage& page) const
{
    const QListWidgetItem* item = page.Commands->currentItem();
    if (!item)
        return std::nullopt;
    const int packed = item->data(Qt::UserRole).toInt();
    return TKeyOwner{static_cast<TCommandGroup>(packed >> 8), packed & 0xFF};
}

bool TKeyCustomizeDialog::SelectCommand(TKeyOwner command)
{
    TPage& page = Current();
    page.Category->setCurrentIndex(0);
    const int packed = (static_cast<int>(command.Group) << 8) | command.Number;
    for (int row = 0; row < page.Commands->count(); ++row)
        if (page.Commands->item(row)->data(Qt::UserRole).toInt() == packed) {
            page.Commands->setCurrentRow(row);
            return true;
        }
    return false;
}

void TKeyCustomizeDialog::FillCommands(TPage& page)
{
    const QVariant wanted = page.Category->currentData();
    page.Commands->clear();
    for (const TCommandGroup group : GroupsOf(page.Set))
        for (const TCatalogEntry& entry : CatalogGroup(group)) {
            if (wanted.isValid() && static_cast<int>(entry.Category) != wanted.toInt())
                continue;
            auto* item = new QListWidgetItem(Text(Tx(entry.Name)), page.Commands);
            item->setData(Qt::UserRole, (static_cast<int>(group) << 8) | entry.Number);
        }
    page.Commands->setCurrentRow(0);
    FillKeys(page);
}

void TKeyCustomizeDialog::FillKeys(TPage& page)
{
    page.Keys->clear();
    if (const auto command = Selected(page))
        for (const TShortCut key : fKeys.KeysOf(command->Group, command->Number))
            if (key != 0) {
                auto* item = new QListWidgetItem(Text(ShortcutText(key)), page.Keys);
                item->setData(Qt::UserRole, static_cast<unsigned>(key));
            }
    if (page.Keys->count() == 0)
        page.Keys->addItem(Text(Tx("（なし）")));
    page.Keys->setCurrentRow(0);
    ShowNewKey(page, page.Pending);
}

void TKeyCustomizeDialog::ShowNewKey(TPage& page, TShortCut key)
{
    page.Pending = key;
    page.NewKey->setText(Text(ShortcutText(key)));
    if (key == 0) {
        page.Owner->clear();
        return;
    }
    const auto owner = fKeys.Owner(key, page.Set);
    const TCatalogEntry* entry = owner ? FindCatalogEntry(owner->Group, owner->Number) : nullptr;
    page.Owner->setText("[" + (entry ? Text(Tx(entry->Name)) : Text(Tx("なし"))) + "]");
}

void TKeyCustomizeDialog::SetNewKey(TShortCut key)
{
    ShowNewKey(Current(), key);
}

void TKeyCustomizeDialog::AddKey(const std::function<bool()>& confirm)
{
    TPage& page = Current();
    const auto command = Selected(page);
    if (!command || page.Pending == 0)
        return;
    if (fKeys.Bind(*command, page.Pending)) {
        const bool yes =
            confirm ? confirm()
                    : QMessageBox::question(this, Text("Mireva"),
                                            Text(Tx("現在このキーが割り当てられている項目のショートカットはクリアされます  \n"
                                                 "よろしいですか？")),
                                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        if (!yes)
            return;
        fKeys.Bind(*command, page.Pending, true);
    }
    FillKeys(page);
}

bool TKeyCustomizeDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        for (TPage& page : fPages)
            if (watched == page.NewKey) {
                const auto* key = static_cast<QKeyEvent*>(event);
                // Shift, Ctrl and Alt alone are no combination; the table
                // gives them no code.
                if (const TShortCut code = ShortcutFromQt(key->key(), key->modifiers()))
                    ShowNewKey(page, code);
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

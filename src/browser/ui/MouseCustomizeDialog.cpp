#include "browser/ui/MouseCustomizeDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/AppCore.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "browser/DialogPage.h"
#include "browser/ui/ScrollOptionsPage.h"
#include "common/IniFile.h"
#include "base/Texts.h"

namespace {

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int EntryRole = Qt::UserRole;
constexpr int CommandRole = Qt::UserRole;

// The operations each page lists, in the order of their entry numbers.
constexpr TMouseOperation ListOperations[] = {
    TMouseOperation::moLeftClick,  TMouseOperation::moLeftDouble, TMouseOperation::moWheelClick,
    TMouseOperation::moWheelDouble, TMouseOperation::moX1Click,   TMouseOperation::moX1Double,
    TMouseOperation::moX2Click,    TMouseOperation::moX2Double,
};

constexpr const char* QuarterCaptions[QuarterCount] = {"左上(&L)", "右上(&U)", "左下(&B)", "右下(&T)"};

bool IsRightEntry(int entry)
{
    const int first = ImageMouseEntry(TMouseOperation::moRightClick, TMouseVariant::mvNone);
    const int last = ImageMouseEntry(TMouseOperation::moRightDouble, TMouseVariant::mvShiftCtrl);
    return entry >= first && entry <= last;
}

QSpinBox* SpinBox(int min, int max, int value, const QString& suffix = {})
{
    auto* box = new QSpinBox;
    box->setRange(min, max);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

}  // namespace

TMouseCustomizeDialog::TMouseCustomizeDialog(const TMouseBindings& bindings, const TScrollOptions& scroll,
                                             const TMouseOptions& mouse, int page, QWidget* parent)
    : QDialog(parent), fBindings(bindings), fMouse(mouse)
{
    setWindowTitle(Q(Tx("マウスカスタマイズ")));
    fList.Image = false;
    fImage.Image = true;

    fPages = new QTabWidget(this);
    fPages->addTab(BuildBindingPage(fList), Q(Tx("ファイル一覧")));
    fPages->addTab(BuildBindingPage(fImage), Q(Tx("画像表示")));
    fScrollPage = new TScrollOptionsPage(scroll, true);
    fPages->addTab(fScrollPage, Q(Tx("スクロール")));
    fPages->addTab(BuildDetailPage(mouse), Q(Tx("詳細")));
    fPages->setCurrentIndex(page >= 0 && page < fPages->count() ? page : 0);

    auto* reset = new QPushButton(Q(Tx("リセット(&R)")));
    reset->setObjectName("btnReset");
    connect(reset, &QPushButton::clicked, this, [this] { Reset(); });
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(Q("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOK");
    QPushButton* cancel = buttons->addButton(Q(Tx("キャンセル")), QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(reset);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fPages);
    layout->addLayout(bottom);
}

// --- The binding pages ---------------------------------------------------------------

QWidget* TMouseCustomizeDialog::BuildBindingPage(TBindingPage& page)
{
    auto* widget = new QWidget;
    const QString prefix = page.Image ? "Image" : "List";
    page.Tree = new QTreeWidget;
    page.Tree->setObjectName("tv" + prefix + "Entries");
    page.Tree->setHeaderHidden(true);
    page.Category = new QComboBox;
    page.Category->setObjectName("cb" + prefix + "Category");
    for (const TMouseCategory& category : page.Image ? ImageMouseCategories() : ListMouseCategories())
        page.Category->addItem(Q(Tx(category.Name)));
    page.Commands = new QListWidget;
    page.Commands->setObjectName("lb" + prefix + "Commands");
    page.Assign = new QPushButton(Q(Tx("決定(&D)")));
    page.Assign->setObjectName("btn" + prefix + "Assign");

    auto* parts = new QGroupBox;
    auto* partsLayout = new QVBoxLayout(parts);
    page.Split = new QCheckBox(Q(page.Image ? Tx("カーソル位置の指定(&S)") : Tx("対象の指定(&S)")));
    page.Split->setObjectName("cbx" + prefix + "Split");
    partsLayout->addWidget(page.Split);
    auto* group = new QButtonGroup(parts);
    const int count = page.Image ? QuarterCount : MouseItemCount;
    for (int i = 0; i < count; ++i) {
        auto* radio = new QRadioButton(page.Image ? Q(Tx(QuarterCaptions[i])) : Q(Tx(MouseItemCaption(static_cast<TMouseItem>(i)))));
        radio->setObjectName("rb" + prefix + QString::number(i));
        group->addButton(radio, i);
        partsLayout->addWidget(radio);
        page.Parts.push_back(radio);
    }
    page.Parts.front()->setChecked(true);

    auto* right = new QVBoxLayout;
    right->addWidget(page.Category);
    right->addWidget(page.Commands, 1);
    auto* assignRow = new QHBoxLayout;
    assignRow->addStretch();
    assignRow->addWidget(page.Assign);
    right->addLayout(assignRow);
    right->addWidget(parts);
    if (page.Image) {
        fRightPopup = new QCheckBox(Q(Tx("右クリックメニューを表示する(&P)")));
        fRightPopup->setObjectName("cbxRightPopup");
        fRightPopup->setChecked(fBindings.RightPopup);
        right->addWidget(fRightPopup);
        connect(fRightPopup, &QCheckBox::toggled, this, [this](bool on) {
            fBindings.RightPopup = on;
            UpdateAssign(fImage);
        });
    }

    auto* columns = new QHBoxLayout;
    columns->addWidget(page.Tree, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(widget);
    layout->addLayout(columns);
    layout->addWidget(new QLabel(Q(page.Image ? Tx("※これらのコマンドは画像表示部でのマウス操作のみ有効です")
                                              : Tx("※これらのコマンドはファイル一覧での項目選択時のみ有効です"))));

    FillTree(page);
    connect(page.Tree, &QTreeWidget::currentItemChanged, this, [this, &page] {
        FillCommands(page);
        ShowEntry(page);
    });
    connect(page.Category, &QComboBox::currentIndexChanged, this, [this, &page] {
        FillCommands(page);
        ShowEntry(page);
    });
    connect(group, &QButtonGroup::idToggled, this, [this, &page](int, bool on) {
        if (on)
            ShowEntry(page);
    });
    connect(page.Split, &QCheckBox::toggled, this, [this, &page](bool on) { SplitToggled(page, on); });
    connect(page.Assign, &QPushButton::clicked, this, [this, &page] { AssignCommand(page); });
    connect(page.Commands, &QListWidget::currentRowChanged, this, [this, &page] { UpdateAssign(page); });
    page.Tree->setCurrentItem(page.Tree->topLevelItem(0));
    return widget;
}

void TMouseCustomizeDialog::FillTree(TBindingPage& page)
{
    const auto add = [&page](TMouseOperation op) {
        const auto entryOf = [&page, op](TMouseVariant variant) {
            return page.Image ? ImageMouseEntry(op, variant) : ListMouseEntry(op, variant);
        };
        auto* top = new QTreeWidgetItem(page.Tree, QStringList(Q(Tx(MouseOperationName(op)))));
        top->setData(0, EntryRole, entryOf(TMouseVariant::mvNone));
        for (int v = static_cast<int>(TMouseVariant::mvLeft); v <= static_cast<int>(TMouseVariant::mvShiftCtrl); ++v) {
            const auto variant = static_cast<TMouseVariant>(v);
            const int entry = entryOf(variant);
            if (entry == 0)
                continue;
            auto* child = new QTreeWidgetItem(top, QStringList(Q(Tx(MouseVariantName(variant)))));
            child->setData(0, EntryRole, entry);
        }
    };
    if (page.Image) {
        for (int op = 0; op < MouseOperationCount; ++op)
            add(static_cast<TMouseOperation>(op));
    } else {
        for (TMouseOperation op : ListOperations)
            add(op);
    }
}

int TMouseCustomizeDialog::SelectedEntry(const TBindingPage& page) const
{
    const QTreeWidgetItem* item = page.Tree->currentItem();
    return item ? item->data(0, EntryRole).toInt() : 0;
}

int TMouseCustomizeDialog::SelectedPart(const TBindingPage& page) const
{
    for (size_t i = 0; i < page.Parts.size(); ++i)
        if (page.Parts[i]->isChecked())
            return static_cast<int>(i);
    return 0;
}

bool TMouseCustomizeDialog::Split(const TBindingPage& page, int entry) const
{
    return page.Image ? fBindings.ImageEntry(entry).Divide : fBindings.ListEntry(entry).Target;
}

int TMouseCustomizeDialog::CommandAt(const TBindingPage& page, int entry, int part) const
{
    const size_t index = static_cast<size_t>(Split(page, entry) ? part : 0);
    return page.Image ? fBindings.ImageEntry(entry).Commands[index] : fBindings.ListEntry(entry).Commands[index];
}

void TMouseCustomizeDialog::FillCommands(TBindingPage& page)
{
    ++fFilling;
    page.Commands->clear();
    auto* none = new QListWidgetItem(Q(Tx("（なし）")), page.Commands);
    none->setData(CommandRole, 0);
    const int entry = SelectedEntry(page);
    // The drag has commands of its own; the categories do not apply to it.
    const bool drag = page.Image && IsDragEntry(entry);
    page.Category->setEnabled(!drag);
    if (drag) {
        for (int n = 1; n <= DragMouseCommandCount; ++n)
            (new QListWidgetItem(Q(Tx(DragMouseCommandName(n))), page.Commands))->setData(CommandRole, n);
    } else {
        const auto categories = page.Image ? ImageMouseCategories() : ListMouseCategories();
        const int index = std::max(0, page.Category->currentIndex());
        const TMouseCategory& category = categories[static_cast<size_t>(index)];
        for (int n = category.First; n <= category.Last; ++n) {
            const std::string_view name = page.Image ? ImageMouseCommandName(n) : ListMouseCommandName(n);
            (new QListWidgetItem(Q(Tx(name)), page.Commands))->setData(CommandRole, n);
        }
    }
    --fFilling;
}

void TMouseCustomizeDialog::ShowEntry(TBindingPage& page)
{
    const int entry = SelectedEntry(page);
    if (entry == 0)
        return;
    ++fFilling;
    const bool split = Split(page, entry);
    page.Split->setChecked(split);
    for (QRadioButton* radio : page.Parts)
        radio->setEnabled(split);
    const int command = CommandAt(page, entry, SelectedPart(page));
    int row = -1;
    for (int i = 0; i < page.Commands->count(); ++i)
        if (page.Commands->item(i)->data(CommandRole).toInt() == command)
            row = i;
    page.Commands->setCurrentRow(row);
    --fFilling;
    UpdateAssign(page);
}

void TMouseCustomizeDialog::SplitToggled(TBindingPage& page, bool on)
{
    if (fFilling > 0)
        return;
    const int entry = SelectedEntry(page);
    if (entry == 0)
        return;
    if (page.Image)
        fBindings.ImageEntry(entry).Divide = on;
    else
        fBindings.ListEntry(entry).Target = on;
    ShowEntry(page);
}

void TMouseCustomizeDialog::AssignCommand(TBindingPage& page)
{
    const int entry = SelectedEntry(page);
    const QListWidgetItem* item = page.Commands->currentItem();
    if (entry == 0 || !item || !page.Assign->isEnabled())
        return;
    const int command = item->data(CommandRole).toInt();
    const size_t part = static_cast<size_t>(Split(page, entry) ? SelectedPart(page) : 0);
    if (page.Image)
        fBindings.ImageEntry(entry).Commands[part] = command;
    else
        fBindings.ListEntry(entry).Commands[part] = command;
}

void TMouseCustomizeDialog::UpdateAssign(TBindingPage& page)
{
    const int entry = SelectedEntry(page);
    // While the right button shows the menu its entries are not used, so
    // they cannot be given commands either.
    const bool blocked = page.Image && fBindings.RightPopup && IsRightEntry(entry);
    page.Assign->setEnabled(entry != 0 && page.Commands->currentItem() && !blocked);
}

void TMouseCustomizeDialog::Reset()
{
    fBindings = DefaultMouseBindings();
    fRightPopup->setChecked(fBindings.RightPopup);
    for (TBindingPage* page : {&fList, &fImage}) {
        FillCommands(*page);
        ShowEntry(*page);
    }
}

// --- Scroll and details ----------------------------------------------------------

QWidget* TMouseCustomizeDialog::BuildDetailPage(const TMouseOptions& mouse)
{
    auto* widget = new QWidget;
    auto* grid = new QGridLayout(widget);
    fWheelCount = SpinBox(0, 999, mouse.WheelCount);
    fWheelCount->setObjectName("seWheelCount");
    fEdgeWheelCount = SpinBox(0, 999, mouse.EdgeWheelCount);
    fEdgeWheelCount->setObjectName("seEdgeWheelCount");
    auto* wheel = new QLabel(Q(Tx("ホイール操作のあそび(&G)")));
    wheel->setBuddy(fWheelCount);
    auto* edge = new QLabel(Q(Tx("スクロール端でファイル移動する際のあそび(&M)")));
    edge->setBuddy(fEdgeWheelCount);
    grid->addWidget(wheel, 0, 0);
    grid->addWidget(fWheelCount, 0, 1);
    grid->addWidget(edge, 1, 0);
    grid->addWidget(fEdgeWheelCount, 1, 1);
    grid->setRowStretch(2, 1);
    return widget;
}

TScrollOptions TMouseCustomizeDialog::ScrollOptions() const
{
    return fScrollPage->Options();
}

TMouseOptions TMouseCustomizeDialog::MouseOptions() const
{
    TMouseOptions m = fMouse;
    m.WheelCount = fWheelCount->value();
    m.EdgeWheelCount = fEdgeWheelCount->value();
    return m;
}

int TMouseCustomizeDialog::Page() const
{
    return fPages->currentIndex();
}

bool RunMouseCustomize(QWidget* parent, TAppCore& core, TBrowserModel& model,
                       const std::function<void(const std::string&)>& report)
{
    const std::string pageFile = core.ProgramSettingsPath();
    const int page = ReadDialogPage(pageFile, MouseDialogSection, TMouseCustomizeDialog::PageCount);
    TMouseCustomizeDialog dialog(model.Mouse(), core.Options().Scroll, core.Options().Mouse, page, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    try {
        SaveDialogPage(pageFile, MouseDialogSection, dialog.Page());
    } catch (const EMirevaError&) {
        // Only the page the dialog opens on next time is lost.
    }
    if (!accepted)
        return false;
    model.SetMouseBindings(dialog.Bindings());
    TOptions options = core.Options();
    options.Scroll = dialog.ScrollOptions();
    options.Mouse = dialog.MouseOptions();
    core.ChangeOptions(options);
    model.ApplyOptions();
    try {
        TIniFile settings(core.SettingsPath());
        SaveMouseBindings(settings, dialog.Bindings(), dialog.ScrollOptions(), dialog.MouseOptions());
    } catch (const EMirevaError& e) {
        if (report)
            report(e.what());
    }
    return true;
}

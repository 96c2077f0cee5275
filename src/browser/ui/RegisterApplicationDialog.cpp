#include "browser/ui/RegisterApplicationDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/PathUtils.h"
#include "browser/ui/DesktopLauncher.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QTreeWidgetItem* Row(int number, const std::string& name)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::number(number) + ":");
    item->setText(1, Q(name));
    return item;
}

}  // namespace

TRegisterApplicationDialog::TRegisterApplicationDialog(const std::vector<TRegApplication>& apps, QWidget* parent)
    : QDialog(parent), fApps(apps), fChooser(ChooseProgram)
{
    setWindowTitle(Tx("アプリケーションの登録"));
    auto* layout = new QVBoxLayout(this);

    auto* listLabel = new QLabel(Tx("一覧(&L)"));
    layout->addWidget(listLabel);
    auto* listRow = new QHBoxLayout;
    fList = new QTreeWidget;
    fList->setObjectName("lvList");
    fList->setColumnCount(2);
    fList->setHeaderHidden(true);
    fList->setRootIsDecorated(false);
    fList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    fList->installEventFilter(this);
    listLabel->setBuddy(fList);
    listRow->addWidget(fList);
    auto* moves = new QVBoxLayout;
    fUp = new QToolButton;
    fUp->setText("▲");
    fDown = new QToolButton;
    fDown->setText("▼");
    moves->addWidget(fUp);
    moves->addWidget(fDown);
    moves->addStretch();
    listRow->addLayout(moves);
    layout->addLayout(listRow);

    auto* listButtons = new QHBoxLayout;
    fAdd = new QPushButton(Tx("追加(&A)"));
    fDelete = new QPushButton(Tx("削除(&D)"));
    listButtons->addWidget(fAdd);
    listButtons->addWidget(fDelete);
    listButtons->addStretch();
    layout->addLayout(listButtons);

    auto* group = new QGroupBox(Tx("アプリケーション情報"));
    auto* grid = new QGridLayout(group);
    const auto label = [&](const char* text, QWidget* buddy, int row) {
        auto* l = new QLabel(text);
        l->setBuddy(buddy);
        grid->addWidget(l, row, 0);
    };
    fName = new QLineEdit;
    fName->setMaxLength(DisplayNameLimit);
    fPath = new QLineEdit;
    fBrowse = new QPushButton("...");
    fParameters = new QLineEdit;
    fWindow = new QComboBox;
    fWindow->addItems({Tx("通常"), Tx("最小化"), Tx("最大化")});
    label(Tx("表示名(&C)："), fName, 0);
    grid->addWidget(fName, 0, 1, 1, 2);
    label(Tx("場所(&F)："), fPath, 1);
    grid->addWidget(fPath, 1, 1);
    grid->addWidget(fBrowse, 1, 2);
    label(Tx("パラメータ(&P)："), fParameters, 2);
    grid->addWidget(fParameters, 2, 1, 1, 2);
    label(Tx("ウィンドウ(&W)："), fWindow, 3);
    grid->addWidget(fWindow, 3, 1, 1, 2);
    fParent = new QCheckBox(Tx("親フォルダ/書庫のパスを渡す(&R)"));
    fArchivePath = new QCheckBox(Tx("書庫内のファイルは書庫内のパスを含めて渡す(&V)"));
    grid->addWidget(fParent, 4, 0, 1, 3);
    grid->addWidget(fArchivePath, 5, 0, 1, 3);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(Tx("キャンセル"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    for (size_t i = 0; i < fApps.size(); ++i)
        fList->addTopLevelItem(Row(static_cast<int>(i) + 1, fApps[i].DisplayName));

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(fList, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(fUp, &QToolButton::clicked, this, [this] { Move(-1); });
    connect(fDown, &QToolButton::clicked, this, [this] { Move(1); });
    connect(fAdd, &QPushButton::clicked, this, [this] { Add(); });
    connect(fDelete, &QPushButton::clicked, this, [this] { Delete(); });
    connect(fBrowse, &QPushButton::clicked, this, [this] { Browse(); });
    for (QLineEdit* edit : {fName, fPath, fParameters})
        connect(edit, &QLineEdit::textEdited, this, [this] { FieldEdited(); });
    connect(fWindow, &QComboBox::activated, this, [this] { FieldEdited(); });
    for (QCheckBox* box : {fParent, fArchivePath})
        connect(box, &QCheckBox::toggled, this, [this] { FieldEdited(); });
    SelectionChanged();
}

int TRegisterApplicationDialog::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = fList->selectedItems();
    return selected.isEmpty() ? -1 : fList->indexOfTopLevelItem(selected.front());
}

void TRegisterApplicationDialog::SelectRow(int row)
{
    if (QTreeWidgetItem* item = fList->topLevelItem(row)) {
        fList->setCurrentItem(item);
        fList->scrollToItem(item);
    } else {
        fList->clearSelection();
    }
}

void TRegisterApplicationDialog::SelectionChanged()
{
    const int row = SelectedRow();
    const bool editable = row >= 0;
    fFilling = true;
    const TRegApplication empty;
    const TRegApplication& app = editable ? fApps[static_cast<size_t>(row)] : empty;
    fName->setText(Q(app.DisplayName));
    fPath->setText(Q(app.Path));
    fParameters->setText(Q(app.Parameters));
    fWindow->setCurrentIndex(editable ? static_cast<int>(app.Window) : -1);
    fParent->setChecked(app.PassParent);
    fArchivePath->setChecked(app.PassArchivePath);
    for (QLineEdit* edit : {fName, fPath, fParameters}) {
        edit->setReadOnly(!editable);
        // Read-only fields look like the dialog, editable ones like a page.
        edit->setBackgroundRole(editable ? QPalette::Base : QPalette::Button);
        edit->setAutoFillBackground(!editable);
    }
    fWindow->setEnabled(editable);
    fBrowse->setEnabled(editable);
    fParent->setEnabled(editable);
    fArchivePath->setEnabled(editable);
    fFilling = false;
    UpdateButtons();
}

void TRegisterApplicationDialog::UpdateButtons()
{
    const int row = SelectedRow();
    const int count = static_cast<int>(fApps.size());
    fUp->setEnabled(row > 0);
    fDown->setEnabled(row >= 0 && row + 1 < count);
    fAdd->setEnabled(count < MaxRegApplications);
    fDelete->setEnabled(row >= 0);
}

void TRegisterApplicationDialog::FieldEdited()
{
    const int row = SelectedRow();
    if (fFilling || row < 0)
        return;
    TRegApplication& app = fApps[static_cast<size_t>(row)];
    app.DisplayName = Trim(fName->text().toStdString());
    app.Path = Trim(fPath->text().toStdString());
    app.Parameters = Trim(fParameters->text().toStdString());
    app.Window = static_cast<TAppWindow>(std::max(0, fWindow->currentIndex()));
    app.PassParent = fParent->isChecked();
    app.PassArchivePath = fArchivePath->isChecked();
    fList->topLevelItem(row)->setText(1, Q(app.DisplayName));
}

void TRegisterApplicationDialog::Renumber()
{
    for (int i = 0; i < fList->topLevelItemCount(); ++i)
        fList->topLevelItem(i)->setText(0, QString::number(i + 1) + ":");
}

void TRegisterApplicationDialog::Add()
{
    if (static_cast<int>(fApps.size()) >= MaxRegApplications)
        return;
    const std::string program = fChooser(this, fLastFolder);
    if (program.empty())
        return;
    fLastFolder = ExtractFilePath(program);
    TRegApplication app;
    app.Path = program;
    app.DisplayName = ChangeFileExt(ExtractFileName(program), "");
    fApps.push_back(app);
    fList->addTopLevelItem(Row(static_cast<int>(fApps.size()), app.DisplayName));
    SelectRow(static_cast<int>(fApps.size()) - 1);
    UpdateButtons();
}

void TRegisterApplicationDialog::Browse()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    TRegApplication& app = fApps[static_cast<size_t>(row)];
    const std::string program = fChooser(this, ExtractFilePath(app.Path));
    // Names on this system differ by case, so only the same name is the same file.
    if (program.empty() || program == app.Path)
        return;
    app.Path = program;
    app.DisplayName = ExtractFileName(program);
    if (static_cast<int>(app.DisplayName.size()) > DisplayNameLimit)
        app.DisplayName = ToUtf8(ToUtf32(app.DisplayName).substr(0, DisplayNameLimit));
    fList->topLevelItem(row)->setText(1, Q(app.DisplayName));
    SelectionChanged();
}

void TRegisterApplicationDialog::Delete()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    fApps.erase(fApps.begin() + row);
    delete fList->takeTopLevelItem(row);
    Renumber();
    SelectionChanged();
}

void TRegisterApplicationDialog::Move(int step)
{
    const int row = SelectedRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= static_cast<int>(fApps.size()))
        return;
    std::swap(fApps[static_cast<size_t>(row)], fApps[static_cast<size_t>(to)]);
    QTreeWidgetItem* item = fList->takeTopLevelItem(row);
    fList->insertTopLevelItem(to, item);
    Renumber();
    SelectRow(to);
}

bool TRegisterApplicationDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        Delete();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

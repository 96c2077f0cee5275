#include "browser/ui/CategoryDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/PathUtils.h"
#include "browser/ui/CategoryNameDialog.h"
#include "base/Texts.h"

namespace {

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string S(const QString& text)
{
    return text.toStdString();
}

constexpr int KindRole = Qt::UserRole;
constexpr int NameRole = Qt::UserRole + 1;

QString TargetCaption(const TSearchTargetSpec& target)
{
    if (target.Kind == TSearchTargetKind::tkShelf)
        return target.Name.empty() ? Q(Tx("すべての本棚")) : Q(target.Name);
    if (target.Kind == TSearchTargetKind::tkMedium)
        return target.Name.empty() ? Q(Tx("すべてのメディア")) : Q(target.Name);
    return Q(target.Name);
}

QDialogButtonBox* OkCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(Q("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Q(Tx("キャンセル")), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// The condition tree while it is edited: every tree item holds the index
// path of its condition below the root.
TCustomCategorySet* SetAt(TCustomCategorySet& root, QTreeWidgetItem* item)
{
    if (!item || !item->parent())
        return &root;
    TCustomCategorySet* parent = SetAt(root, item->parent());
    const int index = item->parent()->indexOfChild(item);
    return index >= 0 && index < static_cast<int>(parent->Children.size()) ? &parent->Children[static_cast<size_t>(index)]
                                                                          : nullptr;
}

void FillTree(QTreeWidgetItem* item, const TCustomCategorySet& set)
{
    for (const TCustomCategorySet& child : set.Children) {
        auto* childItem = new QTreeWidgetItem(item, {Q(child.Name)});
        FillTree(childItem, child);
    }
}

}  // namespace

TCategoryDialog::TCategoryDialog(const TCategoryFolder& initial, bool isNew,
                                 std::function<std::string(const std::string&)> checkName, QWidget* parent,
                                 const TFolderIconSource& icons)
    : QDialog(parent), fCheckName(std::move(checkName)), fSettings(initial.Settings())
{
    setWindowTitle(isNew ? Q(Tx("カテゴリの追加")) : Q(Tx("プロパティ")));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    fName = new QLineEdit(Q(initial.Name()), this);
    fName->setObjectName("edName");
    fName->setMaxLength(static_cast<int>(TGroupFolder::MaxNameLength));
    fComment = new QLineEdit(Q(initial.Comment()), this);
    fComment->setObjectName("edComment");
    fComment->setMaxLength(static_cast<int>(TGroupFolder::MaxCommentLength));
    form->addRow(Q(Tx("名前(&N)：")), fName);
    fIcon = NewIconChooser(icons, initial.ImageIndex(), this);
    fIcon->setObjectName("cbIcon");
    form->addRow(Q(Tx("アイコン(&I)：")), fIcon);
    form->addRow(Q(Tx("コメント(&C)：")), fComment);
    layout->addLayout(form);

    auto* kindBox = new QGroupBox(Q(Tx("分類")), this);
    auto* kindLayout = new QHBoxLayout(kindBox);
    fKind = new QButtonGroup(this);
    const char* kinds[] = {Tx("日付で分類(&A)"), Tx("ファイル名で分類(&F)"), Tx("分類条件を指定(&S)")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(Q(kinds[i]), kindBox);
        fKind->addButton(button, i);
        kindLayout->addWidget(button);
    }
    fKind->button(static_cast<int>(fSettings.Kind))->setChecked(true);
    auto* settings = new QPushButton(Q(Tx("設定(&E)")), kindBox);
    settings->setObjectName("btnSettings");
    connect(settings, &QPushButton::clicked, this, [this] { EditSettings(); });
    kindLayout->addWidget(settings);
    layout->addWidget(kindBox);

    fTargets = new QListWidget(this);
    fTargets->setObjectName("lvTargets");
    for (const TSearchTargetSpec& target : initial.Targets())
        AddTarget(target);
    layout->addWidget(fTargets);
    auto* targetButtons = new QHBoxLayout();
    auto* addFolder = new QPushButton(Q(Tx("フォルダ追加")), this);
    auto* addShelf = new QPushButton(Q(Tx("本棚追加")), this);
    auto* addMedia = new QPushButton(Q(Tx("メディア追加")), this);
    auto* remove = new QPushButton(Q(Tx("削除(&D)")), this);
    for (QPushButton* button : {addFolder, addShelf, addMedia, remove})
        targetButtons->addWidget(button);
    layout->addLayout(targetButtons);
    connect(addFolder, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, Q(Tx("フォルダ追加")));
        if (!folder.isEmpty())
            AddTarget({TSearchTargetKind::tkFolder, IncludeTrailingPathDelimiter(S(folder)), true});
    });
    // A shelf or medium by name; an empty name stands for all of them.
    const auto addNamed = [this](TSearchTargetKind kind, const QString& title) {
        bool ok = false;
        const QString name = QInputDialog::getText(this, title, Q(Tx("名前(&N)：")), QLineEdit::Normal, QString(), &ok);
        if (ok)
            AddTarget({kind, S(name.trimmed()), true});
    };
    connect(addShelf, &QPushButton::clicked, this, [=] { addNamed(TSearchTargetKind::tkShelf, Q(Tx("本棚追加"))); });
    connect(addMedia, &QPushButton::clicked, this, [=] { addNamed(TSearchTargetKind::tkMedium, Q(Tx("メディア追加"))); });
    connect(remove, &QPushButton::clicked, this, [this] { delete fTargets->currentItem(); });

    fSubContents = new QCheckBox(Q(Tx("子カテゴリの内容も一覧に表示する(&U)")), this);
    fSubContents->setChecked(initial.ShowSubContents);
    layout->addWidget(fSubContents);
    layout->addWidget(OkCancel(this));
}

void TCategoryDialog::AddTarget(const TSearchTargetSpec& target)
{
    auto* item = new QListWidgetItem(TargetCaption(target), fTargets);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(target.Enabled ? Qt::Checked : Qt::Unchecked);
    item->setData(KindRole, static_cast<int>(target.Kind));
    item->setData(NameRole, Q(target.Name));
}

void TCategoryDialog::Take(TCategoryFolder& category) const
{
    category.SetProperties(S(fName->text().trimmed()), std::max(0, fIcon->currentIndex()), S(fComment->text()));
    TCategorySettings settings = fSettings;
    settings.Kind = static_cast<TCategoryKind>(std::max(0, fKind->checkedId()));
    category.SetSettings(std::move(settings));
    std::vector<TSearchTargetSpec> targets;
    for (int i = 0; i < fTargets->count(); ++i) {
        const QListWidgetItem* item = fTargets->item(i);
        targets.push_back({static_cast<TSearchTargetKind>(item->data(KindRole).toInt()), S(item->data(NameRole).toString()),
                           item->checkState() == Qt::Checked});
    }
    category.SetTargets(std::move(targets));
    category.ShowSubContents = fSubContents->isChecked();
}

void TCategoryDialog::accept()
{
    if (fCheckName) {
        const std::string refusal = fCheckName(S(fName->text()));
        if (!refusal.empty()) {
            QMessageBox::information(this, Q("Mireva"), Q(refusal));
            return;
        }
    }
    QDialog::accept();
}

void TCategoryDialog::EditSettings()
{
    switch (static_cast<TCategoryKind>(std::max(0, fKind->checkedId()))) {
    case TCategoryKind::ckDate:
        EditDates();
        break;
    case TCategoryKind::ckName:
        EditNames();
        break;
    case TCategoryKind::ckConditions:
        EditConditions();
        break;
    }
}

void TCategoryDialog::EditDates()
{
    QDialog dialog(this);
    dialog.setWindowTitle(Q(Tx("日付で分類")));
    auto* layout = new QVBoxLayout(&dialog);
    const std::pair<const char*, uint8_t> units[] = {{Tx("年(&Y)"), duYear}, {Tx("月(&M)"), duMonth}, {Tx("日(&D)"), duDay}};
    std::vector<std::pair<QCheckBox*, uint8_t>> boxes;
    for (const auto& [caption, bit] : units) {
        auto* box = new QCheckBox(Q(caption), &dialog);
        box->setChecked(fSettings.DateUnits & bit);
        layout->addWidget(box);
        boxes.emplace_back(box, bit);
    }
    layout->addWidget(OkCancel(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return;
    fSettings.DateUnits = 0;
    for (const auto& [box, bit] : boxes)
        if (box->isChecked())
            fSettings.DateUnits |= bit;
}

void TCategoryDialog::EditNames()
{
    TCategoryNameDialog dialog(fSettings.NameParts, fSettings.PartOrder, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fSettings.NameParts = dialog.Parts().Rules();
    fSettings.PartOrder = dialog.Parts().Order();
}

void TCategoryDialog::EditConditions()
{
    QDialog dialog(this);
    dialog.setWindowTitle(Q(Tx("分類の条件を指定")));
    TCustomCategorySet root = fSettings.RootCondition;
    auto* layout = new QVBoxLayout(&dialog);
    auto* tree = new QTreeWidget(&dialog);
    tree->setHeaderHidden(true);
    auto* rootItem = new QTreeWidgetItem(tree, {Q(Tx(TCustomCategorySet::RootName))});
    FillTree(rootItem, root);
    tree->expandAll();
    layout->addWidget(tree);

    auto* form = new QFormLayout();
    auto* name = new QLineEdit(&dialog);
    auto* mask = new QLineEdit(&dialog);
    auto* useSize = new QCheckBox(Q(Tx("サイズ指定(&Z)")), &dialog);
    auto* size = new QSpinBox(&dialog);
    size->setRange(0, 9999999);
    size->setSuffix(Q(" KB"));
    auto* atLeast = new QCheckBox(Q(Tx("以上")), &dialog);
    form->addRow(Q(Tx("名前(&N)：")), name);
    form->addRow(Q(Tx("ファイル名(&F)：")), mask);
    auto* sizeRow = new QHBoxLayout();
    sizeRow->addWidget(useSize);
    sizeRow->addWidget(size);
    sizeRow->addWidget(atLeast);
    form->addRow(sizeRow);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout();
    auto* add = new QPushButton(Q(Tx("追加(&A)")), &dialog);
    auto* remove = new QPushButton(Q(Tx("削除(&D)")), &dialog);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    layout->addLayout(buttons);
    auto* exclusive = new QCheckBox(Q(Tx("複数の条件で同じファイルを表示させない(&W)")), &dialog);
    exclusive->setChecked(fSettings.Exclusive);
    layout->addWidget(exclusive);
    layout->addWidget(OkCancel(&dialog));

    // The fields show the chosen condition and write back into it.
    bool filling = false;
    const auto show = [&] {
        filling = true;
        const TCustomCategorySet* set = SetAt(root, tree->currentItem());
        const bool isRoot = !tree->currentItem() || !tree->currentItem()->parent();
        name->setText(set ? Q(set->Name) : QString());
        name->setEnabled(set && !isRoot);
        remove->setEnabled(set && !isRoot);
        mask->setText(set ? Q(set->Limits.Mask) : QString());
        useSize->setChecked(set && set->Limits.UseSize);
        size->setValue(set ? static_cast<int>(set->Limits.Size / 1024) : 0);
        atLeast->setChecked(!set || set->Limits.AtLeast);
        filling = false;
    };
    const auto store = [&] {
        if (filling)
            return;
        TCustomCategorySet* set = SetAt(root, tree->currentItem());
        if (!set)
            return;
        if (tree->currentItem() && tree->currentItem()->parent()) {
            set->Name = S(name->text());
            tree->currentItem()->setText(0, name->text());
        }
        set->Limits.Mask = S(mask->text());
        set->Limits.UseSize = useSize->isChecked();
        set->Limits.Size = int64_t(size->value()) * 1024;
        set->Limits.AtLeast = atLeast->isChecked();
    };
    connect(tree, &QTreeWidget::currentItemChanged, &dialog, [&] { show(); });
    connect(name, &QLineEdit::textEdited, &dialog, [&] { store(); });
    connect(mask, &QLineEdit::textEdited, &dialog, [&] { store(); });
    connect(useSize, &QCheckBox::toggled, &dialog, [&] { store(); });
    connect(size, &QSpinBox::valueChanged, &dialog, [&] { store(); });
    connect(atLeast, &QCheckBox::toggled, &dialog, [&] { store(); });
    connect(add, &QPushButton::clicked, &dialog, [&] {
        QTreeWidgetItem* parentItem = tree->currentItem() ? tree->currentItem() : rootItem;
        TCustomCategorySet* parent = SetAt(root, parentItem);
        if (!parent)
            return;
        parent->Children.push_back(NewCategorySet(Now()));
        auto* item = new QTreeWidgetItem(parentItem, {Q(parent->Children.back().Name)});
        parentItem->setExpanded(true);
        tree->setCurrentItem(item);
    });
    connect(remove, &QPushButton::clicked, &dialog, [&] {
        QTreeWidgetItem* item = tree->currentItem();
        if (!item || !item->parent())
            return;
        TCustomCategorySet* parent = SetAt(root, item->parent());
        const int index = item->parent()->indexOfChild(item);
        parent->Children.erase(parent->Children.begin() + index);
        delete item;
    });
    tree->setCurrentItem(rootItem);
    show();
    if (dialog.exec() != QDialog::Accepted)
        return;
    fSettings.RootCondition = std::move(root);
    fSettings.Exclusive = exclusive->isChecked();
}

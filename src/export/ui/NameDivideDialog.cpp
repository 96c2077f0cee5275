#include "export/ui/NameDivideDialog.h"
#include "base/Texts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string S(const QString& text)
{
    return text.toStdString();
}

}  // namespace

TNameDivideDialog::TNameDivideDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr(Tx("名前の分割設定")));
    Inform = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("Mireva"), text); };
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    fName = new QLineEdit(this);
    fName->setObjectName("edItemName");
    form->addRow(tr(Tx("項目名(&N)：")), fName);
    layout->addLayout(form);

    auto* place = new QGroupBox(tr(Tx("分割位置")), this);
    auto* placeLayout = new QVBoxLayout(place);
    auto* delimiters = new QHBoxLayout;
    auto* frontLabel = new QLabel(tr(Tx("区切り(&D)：")), place);
    fFront = new QLineEdit(place);
    fFront->setObjectName("edFront");
    frontLabel->setBuddy(fFront);
    fTilde = new QLabel(tr(Tx("～")), place);
    fEnd = new QLineEdit(place);
    fEnd->setObjectName("edEnd");
    delimiters->addWidget(frontLabel);
    delimiters->addWidget(fFront);
    delimiters->addWidget(fTilde);
    delimiters->addWidget(fEnd);
    placeLayout->addLayout(delimiters);
    auto* kinds = new QHBoxLayout;
    auto* kindGroup = new QButtonGroup(this);
    const char* kindCaptions[3] = {Tx("以前(&B)"), Tx("以降(&A)"), Tx("に囲まれた語句(&W)")};
    const char* kindNames[3] = {"rbBefore", "rbAfter", "rbEnclosed"};
    for (int k = 0; k < 3; ++k) {
        fKinds[k] = new QRadioButton(tr(kindCaptions[k]), place);
        fKinds[k]->setObjectName(kindNames[k]);
        kindGroup->addButton(fKinds[k], k);
        kinds->addWidget(fKinds[k]);
        connect(fKinds[k], &QRadioButton::toggled, this, [this] { KindChanged(); });
    }
    placeLayout->addLayout(kinds);
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(tr(Tx("検索位置：")), place));
    auto* searchGroup = new QButtonGroup(this);
    fHead = new QRadioButton(tr(Tx("先頭から(&T)")), place);
    fHead->setObjectName("rbHead");
    fTail = new QRadioButton(tr(Tx("末尾から(&L)")), place);
    fTail->setObjectName("rbTail");
    searchGroup->addButton(fHead);
    searchGroup->addButton(fTail);
    search->addWidget(fHead);
    search->addWidget(fTail);
    placeLayout->addLayout(search);
    layout->addWidget(place);

    fRemove = new QCheckBox(tr(Tx("区切り文字を除去(&E)")), this);
    fRemove->setObjectName("ckbRemove");
    layout->addWidget(fRemove);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName("btnOK");
    buttons->addButton(tr(Tx("キャンセル")), QDialogButtonBox::RejectRole)->setObjectName("btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    fKinds[0]->setChecked(true);
    fHead->setChecked(true);
    KindChanged();
}

TNameDivideInfo TNameDivideDialog::Rule() const
{
    TNameDivideInfo rule;
    rule.Name = S(fName->text());
    rule.Kind = fKinds[2]->isChecked() ? dkEnclosed : fKinds[1]->isChecked() ? dkAfter : dkBefore;
    rule.FirstDelimiters = SplitDelimiters(S(fFront->text()));
    if (rule.Kind == dkEnclosed)
        rule.SecondDelimiters = SplitDelimiters(S(fEnd->text()));
    rule.FromEnd = fTail->isChecked();
    rule.RemoveDelimiters = fRemove->isChecked();
    return rule;
}

void TNameDivideDialog::SetRule(const TNameDivideInfo& rule)
{
    fName->setText(Q(rule.Name));
    fFront->setText(Q(JoinDelimiters(rule.FirstDelimiters)));
    fEnd->setText(Q(JoinDelimiters(rule.SecondDelimiters)));
    fKinds[std::min<int>(rule.Kind, 2)]->setChecked(true);
    (rule.FromEnd ? fTail : fHead)->setChecked(true);
    fRemove->setChecked(rule.RemoveDelimiters);
    KindChanged();
}

bool TNameDivideDialog::IsComplete(const TNameDivideInfo& rule)
{
    return !rule.Name.empty() && !rule.FirstDelimiters.empty() &&
           (rule.Kind != dkEnclosed || !rule.SecondDelimiters.empty());
}

void TNameDivideDialog::accept()
{
    if (!IsComplete(Rule())) {
        Inform(tr(Tx(IncompleteText)));
        return;
    }
    QDialog::accept();
}

void TNameDivideDialog::KindChanged()
{
    // The closing delimiters belong to an enclosed text alone.
    const bool enclosed = fKinds[2]->isChecked();
    fEnd->setReadOnly(!enclosed);
    fEnd->setFocusPolicy(enclosed ? Qt::StrongFocus : Qt::NoFocus);
    QPalette palette = fEnd->palette();
    palette.setColor(QPalette::Base, enclosed ? fName->palette().color(QPalette::Base)
                                              : palette.color(QPalette::Button));
    fEnd->setPalette(palette);
    fTilde->setEnabled(enclosed);
}

TNameDivideRuleList::TNameDivideRuleList(TNameDivideRuleEditor& editor, QWidget* parent)
    : QWidget(parent), fEditor(editor)
{
    EditRule = [this](const TNameDivideInfo* rule) -> std::optional<TNameDivideInfo> {
        TNameDivideDialog dialog(window());
        if (rule)
            dialog.SetRule(*rule);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Rule();
    };
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    fList = new QTreeWidget(this);
    fList->setObjectName("lvDelim");
    fList->setRootIsDecorated(false);
    fList->setHeaderLabels({tr(Tx("項目名")), tr(Tx("区切り")), tr(Tx("検索")), tr(Tx("除去"))});
    fList->installEventFilter(this);
    layout->addWidget(fList, 1);
    auto* buttons = new QVBoxLayout;
    auto button = [&](const char* caption, const char* name) {
        auto* b = new QPushButton(tr(caption), this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    fAdd = button(Tx("追加(&A)"), "btnAddDelim");
    fChange = button(Tx("変更(&I)"), "btnChangeDelim");
    fDelete = button(Tx("削除(&D)"), "btnDelDelim");
    fUp = button("▲", "sbtnUpDelim");
    fDown = button("▼", "sbtnDownDelim");
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(fAdd, &QPushButton::clicked, this, [this] { Add(); });
    connect(fChange, &QPushButton::clicked, this, [this] { Change(); });
    connect(fDelete, &QPushButton::clicked, this, [this] { Delete(); });
    connect(fUp, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(fDown, &QPushButton::clicked, this, [this] { Move(1); });
    connect(fList, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(fList, &QTreeWidget::itemDoubleClicked, this, [this] { Change(); });
    Rebuild();
}

void TNameDivideRuleList::SetActive(bool active)
{
    fActive = active;
    fList->setEnabled(active);
    UpdateButtons();
}

void TNameDivideRuleList::Rebuild()
{
    const int selected = Selected();
    fList->clear();
    for (const TNameDivideInfo& rule : fEditor.Rules())
        fList->addTopLevelItem(new QTreeWidgetItem(
            {Q(rule.Name), Q(DelimiterCaption(rule)), Q(SearchCaption(rule)), Q(RemoveCaption(rule))}));
    Select(selected);
}

int TNameDivideRuleList::Selected() const
{
    const QList<QTreeWidgetItem*> items = fList->selectedItems();
    return items.isEmpty() ? -1 : fList->indexOfTopLevelItem(items.front());
}

void TNameDivideRuleList::Select(int index)
{
    fList->clearSelection();
    if (QTreeWidgetItem* item = fList->topLevelItem(index)) {
        item->setSelected(true);
        fList->setCurrentItem(item);
    }
    UpdateButtons();
}

void TNameDivideRuleList::Add()
{
    if (!fActive)
        return;
    std::optional<TNameDivideInfo> rule = EditRule(nullptr);
    if (!rule)
        return;
    fEditor.AddRule(std::move(*rule));
    Edited(static_cast<int>(fEditor.Rules().size()) - 1);
}

void TNameDivideRuleList::Change()
{
    const int index = Selected();
    if (!fActive || index < 0)
        return;
    std::optional<TNameDivideInfo> rule = EditRule(&fEditor.Rules()[static_cast<size_t>(index)]);
    if (!rule)
        return;
    fEditor.ChangeRule(index, std::move(*rule));
    Edited(index);
}

void TNameDivideRuleList::Delete()
{
    const int index = Selected();
    if (!fActive || index < 0)
        return;
    fEditor.DeleteRule(index);
    Edited(std::min(index, static_cast<int>(fEditor.Rules().size()) - 1));
}

void TNameDivideRuleList::Move(int step)
{
    const int index = Selected();
    const int other = index + step;
    if (!fActive || index < 0 || other < 0 || other >= static_cast<int>(fEditor.Rules().size()))
        return;
    fEditor.MoveRule(index, step);
    Edited(other);
}

void TNameDivideRuleList::Edited(int select)
{
    fList->clearSelection();
    Rebuild();
    Select(select);
    fList->setFocus();
    if (OnEdited)
        OnEdited();
}

void TNameDivideRuleList::UpdateButtons()
{
    const int index = Selected();
    const int count = static_cast<int>(fEditor.Rules().size());
    fAdd->setEnabled(fActive);
    fChange->setEnabled(fActive && index >= 0);
    fDelete->setEnabled(fActive && index >= 0);
    fUp->setEnabled(fActive && index > 0);
    fDown->setEnabled(fActive && index >= 0 && index + 1 < count);
}

bool TNameDivideRuleList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        Delete();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

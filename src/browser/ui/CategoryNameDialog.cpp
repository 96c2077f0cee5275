#include "browser/ui/CategoryNameDialog.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "export/ui/NameDivideDialog.h"
#include "base/Texts.h"

namespace {

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TCategoryNameDialog::TCategoryNameDialog(const TNameDivideRules& rules, const std::vector<int32_t>& order,
                                         QWidget* parent)
    : QDialog(parent), fParts(rules, order)
{
    setWindowTitle(Q(Tx("ファイル名で分類")));
    auto* layout = new QVBoxLayout(this);
    auto* rulesLabel = new QLabel(Q(Tx("ファイル名の分割(&D)：")), this);
    layout->addWidget(rulesLabel);
    fRules = new TNameDivideRuleList(fParts, this);
    rulesLabel->setBuddy(fRules->List());
    layout->addWidget(fRules);
    layout->addWidget(new QLabel(Q(Tx("※区切り位置前後の空白は除去されます")), this));

    auto* orderRow = new QHBoxLayout();
    auto* unusedBox = new QVBoxLayout();
    auto* unusedLabel = new QLabel(Q(Tx("存在する項目(&O)")), this);
    unusedBox->addWidget(unusedLabel);
    fUnused = new QListWidget(this);
    fUnused->setObjectName("lbSrc");
    unusedLabel->setBuddy(fUnused);
    unusedBox->addWidget(fUnused);
    auto* moveBox = new QVBoxLayout();
    fUse = new QPushButton(Q(Tx("追加(&S) ->")), this);
    fUnuse = new QPushButton(Q(Tx("<- 削除(&E)")), this);
    moveBox->addStretch();
    moveBox->addWidget(fUse);
    moveBox->addWidget(fUnuse);
    moveBox->addStretch();
    auto* levelsBox = new QVBoxLayout();
    auto* levelsLabel = new QLabel(Q(Tx("表示する項目(&V)")), this);
    levelsBox->addWidget(levelsLabel);
    fLevels = new QListWidget(this);
    fLevels->setObjectName("lbDst");
    levelsLabel->setBuddy(fLevels);
    levelsBox->addWidget(fLevels);
    auto* upDown = new QHBoxLayout();
    fUp = new QPushButton(Q("▲"), this);
    fDown = new QPushButton(Q("▼"), this);
    upDown->addWidget(fUp);
    upDown->addWidget(fDown);
    levelsBox->addLayout(upDown);
    orderRow->addLayout(unusedBox);
    orderRow->addLayout(moveBox);
    orderRow->addLayout(levelsBox);
    layout->addLayout(orderRow);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Q("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(Q(Tx("キャンセル")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // A rule edit renames, removes or moves the parts in both lists.
    fRules->OnEdited = [this] { Rebuild(fUnused->currentRow(), fLevels->currentRow()); };
    connect(fUse, &QPushButton::clicked, this, [this] { Use(); });
    connect(fUnuse, &QPushButton::clicked, this, [this] { Unuse(); });
    connect(fUp, &QPushButton::clicked, this, [this] { MoveLevel(-1); });
    connect(fDown, &QPushButton::clicked, this, [this] { MoveLevel(1); });
    connect(fUnused, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(fLevels, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(fUnused, &QListWidget::itemDoubleClicked, this, [this] { Use(); });
    connect(fLevels, &QListWidget::itemDoubleClicked, this, [this] { Unuse(); });
    Rebuild(0, 0);
}

void TCategoryNameDialog::Rebuild(int unusedRow, int levelRow)
{
    const QSignalBlocker blockUnused(fUnused), blockLevels(fLevels);
    const TNameDivideRules& rules = fParts.Rules();
    fUnused->clear();
    for (int32_t rule : fParts.Unused())
        fUnused->addItem(Q(rules[static_cast<size_t>(rule)].Name));
    fLevels->clear();
    for (int32_t rule : fParts.Order())
        fLevels->addItem(Q(rules[static_cast<size_t>(rule)].Name));
    fLevels->addItem(QString());  // where an added part goes last
    fUnused->setCurrentRow(fUnused->count() == 0 ? -1 : std::clamp(unusedRow, 0, fUnused->count() - 1));
    fLevels->setCurrentRow(std::clamp(levelRow, 0, fLevels->count() - 1));
    UpdateButtons();
}

void TCategoryNameDialog::Use()
{
    const int level = fLevels->currentRow();
    const int at = fParts.Use(fUnused->currentRow(), level < 0 ? fLevels->count() : level);
    if (at < 0)
        return;
    // The level selection stays on the entry it was on, now one further down.
    Rebuild(fUnused->currentRow(), at + 1);
}

void TCategoryNameDialog::Unuse()
{
    const int level = fLevels->currentRow();
    const int at = fParts.Unuse(level);
    if (at < 0)
        return;
    const int levels = static_cast<int>(fParts.Order().size());
    // With no level left the selection rests on the empty entry.
    Rebuild(at, levels == 0 ? 0 : std::min(level, levels - 1));
}

void TCategoryNameDialog::MoveLevel(int step)
{
    const int level = fLevels->currentRow();
    if (fParts.MoveLevel(level, step))
        Rebuild(fUnused->currentRow(), level + step);
}

void TCategoryNameDialog::UpdateButtons()
{
    const int level = fLevels->currentRow();
    const int levels = static_cast<int>(fParts.Order().size());
    const bool real = level >= 0 && level < levels;
    fUse->setEnabled(fUnused->count() > 0 && fUnused->currentRow() >= 0);
    fUnuse->setEnabled(real);
    fUp->setEnabled(real && level > 0);
    fDown->setEnabled(real && level + 1 < levels);
}

#include "browser/ui/ScrollOptionsPage.h"
#include "base/Texts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString Text(const char* text)
{
    return QString::fromUtf8(text);
}

// The moves a scroll at the picture's end can make, in the order of their
// stored numbers.
constexpr const char* MoveNames[] = {"次/前のファイル", "ひとつ次/前のファイル", "ジャンプ", "ランダム移動"};

QSpinBox* NewSpin(QWidget* parent, int min, int max, const char* suffix, const QString& name)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(min, max);
    spin->setSuffix(Text(suffix));
    spin->setObjectName(name);
    return spin;
}

}  // namespace

// Where one record's values live in the options: the large scroll's
// PageScroll keys or the small scroll's LineScroll keys.
struct TScrollOptionsPage::TRecordFields {
    bool TScrollOptions::*ByRatio;
    int32_t TScrollOptions::*Ratio;
    int32_t TScrollOptions::*Quantity;
    bool TScrollOptions::*Move;
    TScrollMoveCommand TScrollOptions::*MoveCommand;
    bool TScrollOptions::*Opposite;
    int32_t TScrollOptions::*OverLap;
};

const TScrollOptionsPage::TRecordFields TScrollOptionsPage::PageKeys = {
    &TScrollOptions::PageScrollByRatio, &TScrollOptions::PageScrollRatio, &TScrollOptions::PageScrollQuantity,
    &TScrollOptions::PageScrollMove,    &TScrollOptions::PageScrollMoveCommand, &TScrollOptions::PageScrollOpposite,
    &TScrollOptions::PageScrollOverLap};
const TScrollOptionsPage::TRecordFields TScrollOptionsPage::LineKeys = {
    &TScrollOptions::LineScrollByRatio, &TScrollOptions::LineScrollRatio, &TScrollOptions::LineScrollQuantity,
    &TScrollOptions::LineScrollMove,    &TScrollOptions::LineScrollMoveCommand, &TScrollOptions::LineScrollOpposite,
    &TScrollOptions::LineScrollOverLap};

TScrollOptionsPage::TScrollOptionsPage(const TScrollOptions& options, bool withDragScroll, QWidget* parent)
    : QWidget(parent), fOptions(options)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildRecord(fPage, Text(Tx("大スクロール")), "page"));
    layout->addWidget(BuildRecord(fLine, Text(Tx("小スクロール")), "line"));
    if (withDragScroll) {
        auto* box = new QGroupBox(Text(Tx("ドラッグによるスクロール")), this);
        fDrag = NewSpin(box, 1, 100, "", "dragQuantity");
        auto* label = new QLabel(Text(Tx("移動量(&D)")), box);
        label->setBuddy(fDrag);
        auto* row = new QHBoxLayout(box);
        row->addWidget(label);
        row->addWidget(fDrag);
        row->addStretch();
        layout->addWidget(box);
    }
    layout->addStretch();
    SetOptions(options);
}

QGroupBox* TScrollOptionsPage::BuildRecord(TRecordControls& c, const QString& title, const QString& name)
{
    c.Box = new QGroupBox(title, this);
    auto* ratio = new QRadioButton(Text(Tx("画面に対する比率で指定")), c.Box);
    auto* quantity = new QRadioButton(Text(Tx("移動量で指定")), c.Box);
    c.Kind = new QButtonGroup(c.Box);
    c.Kind->addButton(ratio, 1);
    c.Kind->addButton(quantity, 0);
    ratio->setObjectName(name + "ByRatio");
    quantity->setObjectName(name + "ByQuantity");
    c.Ratio = NewSpin(c.Box, 1, 100, " %", name + "Ratio");
    c.Quantity = NewSpin(c.Box, 1, 1000, Tx(" ピクセル"), name + "Quantity");
    c.Move = new QCheckBox(Text(Tx("スクロール端でファイルを移動する")), c.Box);
    c.Move->setObjectName(name + "Move");
    c.MoveCommand = new QComboBox(c.Box);
    c.MoveCommand->setObjectName(name + "MoveCommand");
    for (const char* move : MoveNames)
        c.MoveCommand->addItem(Text(Tx(move)));
    c.Opposite = new QCheckBox(Text(Tx("移動した先では反対側の端から表示する")), c.Box);
    c.Opposite->setObjectName(name + "Opposite");
    c.OverLap = NewSpin(c.Box, 0, 200, Tx(" ピクセル"), name + "OverLap");
    auto* overLap = new QLabel(Text(Tx("重ねて表示する幅")), c.Box);
    overLap->setBuddy(c.OverLap);

    auto* grid = new QGridLayout(c.Box);
    grid->addWidget(ratio, 0, 0);
    grid->addWidget(c.Ratio, 0, 1);
    grid->addWidget(quantity, 1, 0);
    grid->addWidget(c.Quantity, 1, 1);
    grid->addWidget(c.Move, 2, 0);
    grid->addWidget(c.MoveCommand, 2, 1);
    grid->addWidget(c.Opposite, 3, 0, 1, 2);
    grid->addWidget(overLap, 4, 0);
    grid->addWidget(c.OverLap, 4, 1);
    grid->setColumnStretch(2, 1);

    // Only the amount of the chosen kind, and the move's details only while
    // the move is on, can be edited.
    connect(c.Kind, &QButtonGroup::idToggled, this, [&c](int, bool) { Follow(c); });
    connect(c.Move, &QCheckBox::toggled, this, [&c](bool) { Follow(c); });
    return c.Box;
}

void TScrollOptionsPage::Follow(TRecordControls& c)
{
    c.Ratio->setEnabled(c.Kind->checkedId() == 1);
    c.Quantity->setEnabled(c.Kind->checkedId() == 0);
    c.MoveCommand->setEnabled(c.Move->isChecked());
    c.Opposite->setEnabled(c.Move->isChecked());
}

void TScrollOptionsPage::Show(TRecordControls& c, const TScrollOptions& o, const TRecordFields& f)
{
    c.Kind->button(o.*f.ByRatio ? 1 : 0)->setChecked(true);
    c.Ratio->setValue(o.*f.Ratio);
    c.Quantity->setValue(o.*f.Quantity);
    c.Move->setChecked(o.*f.Move);
    const int move = static_cast<int>(o.*f.MoveCommand);
    c.MoveCommand->setCurrentIndex(move >= 0 && move < c.MoveCommand->count() ? move : 0);
    c.Opposite->setChecked(o.*f.Opposite);
    c.OverLap->setValue(o.*f.OverLap);
    Follow(c);
}

void TScrollOptionsPage::Take(const TRecordControls& c, TScrollOptions& o, const TRecordFields& f)
{
    o.*f.ByRatio = c.Kind->checkedId() == 1;
    o.*f.Ratio = c.Ratio->value();
    o.*f.Quantity = c.Quantity->value();
    o.*f.Move = c.Move->isChecked();
    o.*f.MoveCommand = static_cast<TScrollMoveCommand>(c.MoveCommand->currentIndex());
    o.*f.Opposite = c.Opposite->isChecked();
    o.*f.OverLap = c.OverLap->value();
}

TScrollOptions TScrollOptionsPage::Options() const
{
    TScrollOptions options = fOptions;
    Take(fPage, options, PageKeys);
    Take(fLine, options, LineKeys);
    if (fDrag)
        options.DragScrollQuantity = fDrag->value();
    return options;
}

void TScrollOptionsPage::SetOptions(const TScrollOptions& options)
{
    fOptions = options;
    Show(fPage, options, PageKeys);
    Show(fLine, options, LineKeys);
    if (fDrag)
        fDrag->setValue(options.DragScrollQuantity);
}

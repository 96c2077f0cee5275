#include "imaging/ui/FilterSetDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "common/IniFile.h"
#include "common/Text.h"
#include "imaging/ui/FilterWidgets.h"
#include "base/Texts.h"

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("TFilterSetDialog", text);
}

QColor ToQColor(TColor c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

TColor FromQColor(const QColor& c)
{
    return static_cast<TColor>(c.red()) | static_cast<TColor>(c.green()) << 8 | static_cast<TColor>(c.blue()) << 16;
}

}  // namespace

TFilterSetDialog::TFilterSetDialog(const TFilterItem& item, TFilterDialogHooks hooks, QWidget* parent)
    : QDialog(parent),
      fItem(item),
      fHooks(std::move(hooks)),
      fInput(item.Levels().InBlack, item.Levels().InWhite),
      fOutput(item.Levels().OutBlack, item.Levels().OutWhite),
      fCurve(item.ToneCurve())
{
    setWindowTitle(Tr(Tx("フィルタの設定")) + QString::fromUtf8(Tx("－")) +
                   Tr(Tx(FilterKindText(item.Kind)).c_str()));
    auto* layout = new QVBoxLayout(this);
    fPages = new QStackedWidget(this);
    fPages->addWidget(MakePage(item.Kind));
    layout->addWidget(fPages);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    fInput.RegisterObserver(this);
    fOutput.RegisterObserver(this);
    fCurve.RegisterObserver(this);
    fLoading = false;
}

TFilterSetDialog::~TFilterSetDialog()
{
    // The editors watch the dialog's models: they go first.
    delete fPages;
    fInput.UnregisterObserver(this);
    fOutput.UnregisterObserver(this);
    fCurve.UnregisterObserver(this);
}

QWidget* TFilterSetDialog::Page() const
{
    return fPages->currentWidget();
}

QCheckBox* TFilterSetDialog::LuminanceBox(QWidget* page, bool perChannel)
{
    // Ticked means the luminance is corrected: the stored flag is its opposite.
    fLuminance = new QCheckBox(Tr(Tx("輝度で補正する(&L)")), page);
    fLuminance->setChecked(!perChannel);
    connect(fLuminance, &QCheckBox::toggled, this, [this] { Changed(); });
    return fLuminance;
}

QWidget* TFilterSetDialog::MakePage(FilterKind kind)
{
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    const auto value = [&](int index, const char* label, int min, int max, int current, bool bar,
                           TShownSpinBox::TShow show = {}, TShownSpinBox::TRead read = {}) {
        auto* box = new TValueBox(min, max, bar, std::move(show), std::move(read), page);
        box->SetValue(current);
        box->OnChanged = [this](int) { Changed(); };
        fValues[static_cast<size_t>(index)] = box;
        form->addRow(Tr(label), box);
    };
    switch (kind) {
    case FilterKind::Grayscale: {
        const char* texts[] = {Tx("輝度(&L)"), Tx("赤(&R)"), Tx("緑(&G)"), Tx("青(&B)")};
        for (size_t i = 0; i < 4; ++i) {
            fBase[i] = new QRadioButton(Tr(texts[i]), page);
            connect(fBase[i], &QRadioButton::toggled, this, [this] { Changed(); });
            form->addRow(fBase[i]);
        }
        fBase[static_cast<size_t>(std::clamp(fItem.Value(), 0, 3))]->setChecked(true);
        break;
    }
    case FilterKind::Levels: {
        const TLevelsParameter l = fItem.Levels();
        const char* labels[] = {Tx("入力(黒)："), Tx("入力(白)："), Tx("出力(黒)："), Tx("出力(白)：")};
        const int values[] = {l.InBlack, l.InWhite, l.OutBlack, l.OutWhite};
        for (size_t i = 0; i < 4; ++i) {
            if (i % 2 == 0)
                form->addRow(new TLevelEditor(i == 0 ? fInput : fOutput, page));
            auto* box = new TValueBox(0, 255, false, {}, {}, page);
            box->SetValue(values[i]);
            TLevelMarkers& markers = i < 2 ? fInput : fOutput;
            const bool black = i % 2 == 0;
            box->OnChanged = [&markers, black](int v) { black ? markers.SetBlack(v) : markers.SetWhite(v); };
            fLevelBoxes[i] = box;
            form->addRow(Tr(labels[i]), box);
        }
        SyncLevels();
        form->addRow(LuminanceBox(page, l.PerChannel));
        break;
    }
    case FilterKind::Gamma:
        value(0, Tx("ガンマ(&G)："), 20, 180, fItem.Correction().Value, true, ShownGamma, ParseGammaText);
        form->addRow(LuminanceBox(page, fItem.Correction().PerChannel));
        break;
    case FilterKind::Contrast:
    case FilterKind::Brightness:
        value(0, kind == FilterKind::Contrast ? Tx("コントラスト(&C)：") : Tx("明るさ(&B)："), 0, 200, fItem.Correction().Value,
              true, [](int v) { return IntToStr(ShownCorrection(v)); }, ParseCorrectionText);
        // Brightness is stored per channel always: adding to the luminance
        // would add the same to every channel anyway.
        if (kind == FilterKind::Contrast)
            form->addRow(LuminanceBox(page, fItem.Correction().PerChannel));
        break;
    case FilterKind::Equalize:
        form->addRow(LuminanceBox(page, fItem.Value() != 0));
        break;
    case FilterKind::Posterize:
        value(0, Tx("階調(&T)："), 2, 255, fItem.Value(), true);
        break;
    case FilterKind::Invert:
        break;
    case FilterKind::ToneCurve: {
        auto* row = new QHBoxLayout;
        row->addWidget(new TToneCurveEditor(fCurve, page));
        fPoints = new QListWidget(page);
        row->addWidget(fPoints);
        form->addRow(row);
        form->addRow(LuminanceBox(page, fCurve.Curve().PerChannel));
        for (const std::string& text : fCurve.PointTexts())
            fPoints->addItem(QString::fromStdString(text));
        break;
    }
    case FilterKind::Sharpen:
        value(0, Tx("強さ(&S)："), 1, 300, fItem.Value(), true);
        break;
    case FilterKind::UnsharpMask: {
        const TUnsharpMaskParameter u = fItem.UnsharpMask();
        value(0, Tx("強さ(&S)："), 1, 300, u.Amount, true);
        value(1, Tx("半径(&R)："), 1, 5, u.Radius, true);
        value(2, Tx("しきい値(&T)："), 0, 200, u.Threshold, true);
        break;
    }
    case FilterKind::Blur:
        value(0, Tx("半径(&R)："), 1, 5, fItem.Value(), true);
        break;
    case FilterKind::Trim:
    case FilterKind::AddMargin: {
        const TMarginParameter m = fItem.Margin();
        const TTrimParameter t = fItem.Trim();
        const bool trim = kind == FilterKind::Trim;
        const char* labels[] = {Tx("左(&L)："), Tx("上(&T)："), Tx("右(&R)："), Tx("下(&B)：")};
        const int sides[] = {trim ? t.Left : m.Left, trim ? t.Top : m.Top, trim ? t.Right : m.Right,
                             trim ? t.Bottom : m.Bottom};
        for (int i = 0; i < 4; ++i)
            value(i, labels[i], 0, 200, sides[i], false);
        if (!trim) {
            fColor = m.Color;
            auto* row = new QHBoxLayout;
            auto* choose = new QPushButton(Tr(Tx("色(&C)...")), page);
            fSwatch = new QFrame(page);
            fSwatch->setFixedSize(32, 20);
            fSwatch->setFrameShape(QFrame::Box);
            fSwatch->setAutoFillBackground(true);
            row->addWidget(choose);
            row->addWidget(fSwatch);
            form->addRow(row);
            connect(choose, &QPushButton::clicked, this, [this] { ChooseColor(); });
            ShowColor();
        }
        break;
    }
    }
    return page;
}

void TFilterSetDialog::SyncLevels()
{
    // A black value raises its white box's minimum, a white value lowers its
    // black box's maximum.
    const TLevelMarkers* markers[] = {&fInput, &fOutput};
    for (size_t i = 0; i < 2; ++i) {
        TValueBox* black = fLevelBoxes[i * 2];
        TValueBox* white = fLevelBoxes[i * 2 + 1];
        if (!black || !white)
            continue;
        black->SetRange(0, markers[i]->BlackMax());
        white->SetRange(markers[i]->WhiteMin(), 255);
        black->SetValue(markers[i]->Black());
        white->SetValue(markers[i]->White());
    }
}

void TFilterSetDialog::FilterEditChanged(TFilterEditChange change, TChangePhase phase)
{
    if (phase != TChangePhase::cpAfter)
        return;
    if (change == TFilterEditChange::fcMarkers)
        SyncLevels();
    if (change == TFilterEditChange::fcCurve && fPoints) {
        fPoints->clear();
        for (const std::string& text : fCurve.PointTexts())
            fPoints->addItem(QString::fromStdString(text));
    }
    Changed();
}

void TFilterSetDialog::Changed()
{
    if (!fLoading && fHooks.Preview)
        fHooks.Preview(Item());
}

TFilterItem TFilterSetDialog::Item() const
{
    TFilterItem item = fItem;
    const auto v = [this](size_t i) { return fValues[i] ? fValues[i]->Value() : 0; };
    const bool perChannel = fLuminance && !fLuminance->isChecked();
    switch (item.Kind) {
    case FilterKind::Grayscale:
        for (size_t i = 0; i < 4; ++i)
            if (fBase[i] && fBase[i]->isChecked())
                item.Parameter = static_cast<int32_t>(i);
        break;
    case FilterKind::Levels:
        item.Parameter = TLevelsParameter{static_cast<uint8_t>(fInput.Black()), static_cast<uint8_t>(fInput.White()),
                                          static_cast<uint8_t>(fOutput.Black()), static_cast<uint8_t>(fOutput.White()),
                                          perChannel};
        break;
    case FilterKind::Gamma:
    case FilterKind::Contrast:
        item.Parameter = TCorrectionParameter{v(0), perChannel};
        break;
    case FilterKind::Brightness:
        // The editor always stores brightness per channel.
        item.Parameter = TCorrectionParameter{v(0), true};
        break;
    case FilterKind::Equalize:
        item.Parameter = int32_t{perChannel ? 1 : 0};
        break;
    case FilterKind::Posterize:
    case FilterKind::Sharpen:
    case FilterKind::Blur:
        item.Parameter = int32_t{v(0)};
        break;
    case FilterKind::Invert:
        break;
    case FilterKind::ToneCurve: {
        TToneCurveInfo curve = fCurve.Curve();
        curve.PerChannel = perChannel;
        item.Parameter = std::move(curve);
        break;
    }
    case FilterKind::UnsharpMask:
        item.Parameter = TUnsharpMaskParameter{v(0), static_cast<uint8_t>(v(1)), static_cast<uint8_t>(v(2))};
        break;
    case FilterKind::Trim:
        item.Parameter = TTrimParameter{v(0), v(1), v(2), v(3)};
        break;
    case FilterKind::AddMargin:
        item.Parameter = TMarginParameter{v(0), v(1), v(2), v(3), fColor};
        break;
    }
    return item;
}

void TFilterSetDialog::ShowColor()
{
    if (!fSwatch)
        return;
    QPalette palette = fSwatch->palette();
    palette.setColor(QPalette::Window, ToQColor(fColor));
    fSwatch->setPalette(palette);
}

void TFilterSetDialog::ChooseColor()
{
    // The custom colours are shared with the options dialog.
    if (fHooks.ReadCustomColors) {
        const std::vector<std::string> colours = SplitString(fHooks.ReadCustomColors(), ',');
        for (size_t i = 0; i < colours.size() && i < static_cast<size_t>(QColorDialog::customCount()); ++i) {
            const std::optional<int64_t> c = TryStrToInt64(Trim(colours[i]));
            if (c && *c >= 0 && *c <= 0xFFFFFF)
                QColorDialog::setCustomColor(static_cast<int>(i), ToQColor(static_cast<TColor>(*c)));
        }
    }
    const QColor chosen = QColorDialog::getColor(ToQColor(fColor), this);
    if (fHooks.WriteCustomColors) {
        std::string text;
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            text += (i ? "," : "") + TIniFile::FormatColor(FromQColor(QColorDialog::customColor(i)));
        fHooks.WriteCustomColors(text);
    }
    if (!chosen.isValid())
        return;
    fColor = FromQColor(chosen);
    ShowColor();
    Changed();
}

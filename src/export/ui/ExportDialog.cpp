#include "export/ui/ExportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/Errors.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "export/FExport.h"
#include "export/ExportDialogModel.h"
#include "export/ui/NameDivideDialog.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

TFileExportDialog::TFileExportDialog(const std::string& dataFolder, const std::string& programSettings,
                                     QWidget* parent)
    : QDialog(parent), fProgramSettings(programSettings), fStore(std::make_unique<TExportSettingsStore>(dataFolder))
{
    setWindowTitle(tr(Tx("CSV形式で出力")));
    Inform = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("Mireva"), text); };
    Ask = [this](const QString& text) {
        return QMessageBox::question(this, QStringLiteral("Mireva"), text) == QMessageBox::Yes;
    };
    AskName = [this]() -> std::optional<QString> {
        bool ok = false;
        const QString name = QInputDialog::getText(this, tr(Tx("出力設定の保存")), tr(Tx("名前(&N)")), QLineEdit::Normal,
                                                   QString(), &ok);
        return ok ? std::optional<QString>(name) : std::nullopt;
    };
    ChooseFile = [this](const QString& start) -> std::optional<std::pair<QString, int>> {
        const QStringList filters = {tr(Tx("CSVファイル (*.csv)")), tr(Tx("テキストファイル (*.txt)")),
                                     tr(Tx("すべてのファイル (*)"))};
        QString chosenFilter = filters.front();
        const QString path = QFileDialog::getSaveFileName(this, QString(), start, filters.join(";;"), &chosenFilter);
        if (path.isEmpty())
            return std::nullopt;
        return std::make_pair(path, static_cast<int>(filters.indexOf(chosenFilter)) + 1);
    };
    const TExportState state = ReadExportState(TIniFile(programSettings));
    fModel = std::make_unique<TExportDialogModel>(*fStore, state);
    BuildWidgets();
    Refresh();
}

TFileExportDialog::~TFileExportDialog() = default;

QCheckBox* TFileExportDialog::Option(const char* caption, const char* name, bool TExportOptions::*option)
{
    auto* box = new QCheckBox(tr(caption), this);
    box->setObjectName(name);
    fOptions.emplace_back(box, option);
    connect(box, &QCheckBox::toggled, this, [this, option](bool on) {
        if (fRefreshing)
            return;
        fModel->SetOption(option, on);
        Refresh();
    });
    return box;
}

void TFileExportDialog::BuildWidgets()
{
    auto* layout = new QVBoxLayout(this);
    auto* settingRow = new QHBoxLayout;
    auto* settingLabel = new QLabel(tr(Tx("設定(&T)：")), this);
    fSetting = new QComboBox(this);
    fSetting->setObjectName("cbxSetting");
    settingLabel->setBuddy(fSetting);
    fSave = new QPushButton(tr(Tx("保存(&S)")), this);
    fSave->setObjectName("btnSave");
    fDelete = new QPushButton(tr(Tx("削除(&E)")), this);
    fDelete->setObjectName("btnDelete");
    settingRow->addWidget(settingLabel);
    settingRow->addWidget(fSetting, 1);
    settingRow->addWidget(fSave);
    settingRow->addWidget(fDelete);
    layout->addLayout(settingRow);
    connect(fSetting, &QComboBox::activated, this, [this](int index) {
        if (index < 0)
            return;
        fModel->Choose(fSetting->itemText(index).toStdString());
        Refresh();
    });
    connect(fSave, &QPushButton::clicked, this, [this] { SaveSetting(); });
    connect(fDelete, &QPushButton::clicked, this, [this] { DeleteSetting(); });

    auto* pages = new QTabWidget(this);
    layout->addWidget(pages, 1);

    auto* items = new QWidget(pages);
    auto* itemsLayout = new QGridLayout(items);
    auto* srcLabel = new QLabel(tr(Tx("出力可能項目(&V)")), items);
    auto* dstLabel = new QLabel(tr(Tx("出力項目(&X)")), items);
    fSrc = new QListWidget(items);
    fSrc->setObjectName("lbSrc");
    fDst = new QListWidget(items);
    fDst->setObjectName("lbDst");
    srcLabel->setBuddy(fSrc);
    dstLabel->setBuddy(fDst);
    auto* moves = new QVBoxLayout;
    auto button = [&](const char* caption, const char* name) {
        auto* b = new QPushButton(tr(caption), items);
        b->setObjectName(name);
        moves->addWidget(b);
        return b;
    };
    moves->addStretch();
    fAddItem = button(Tx("追加(&A) ->"), "bbtnAddItem");
    fDelItem = button(Tx("<- 削除(&D)"), "bbtnDelItem");
    fUpItem = button("▲", "sbtnUpItem");
    fDownItem = button("▼", "sbtnDownItem");
    moves->addStretch();
    itemsLayout->addWidget(srcLabel, 0, 0);
    itemsLayout->addWidget(dstLabel, 0, 2);
    itemsLayout->addWidget(fSrc, 1, 0);
    itemsLayout->addLayout(moves, 1, 1);
    itemsLayout->addWidget(fDst, 1, 2);
    auto* options = new QGroupBox(tr(Tx("オプション")), items);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(Option(Tx("項目名を出力する(&H)"), "ckbHeader", &TExportOptions::Header));
    optionsLayout->addWidget(Option(Tx("サイズをKB単位で表記する(&K)"), "ckbSizeKB", &TExportOptions::SizeKB));
    optionsLayout->addWidget(
        Option(Tx("使用領域/空き領域/容量をKB/MB/GB単位で表記する(&G)"), "ckbSizeGB", &TExportOptions::SizeGB));
    itemsLayout->addWidget(options, 2, 0, 1, 3);
    pages->addTab(items, tr(Tx("項目")));
    connect(fSrc, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!fRefreshing) {
            fModel->SelectAvailable(row);
            Refresh();
        }
    });
    connect(fDst, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!fRefreshing) {
            fModel->SelectOutput(row);
            Refresh();
        }
    });
    const auto edit = [this](auto step) {
        return [this, step] {
            step(*fModel);
            Refresh();
        };
    };
    connect(fAddItem, &QPushButton::clicked, this, edit([](TExportDialogModel& m) { m.AddColumn(); }));
    connect(fDelItem, &QPushButton::clicked, this, edit([](TExportDialogModel& m) { m.RemoveColumn(); }));
    connect(fUpItem, &QPushButton::clicked, this, edit([](TExportDialogModel& m) { m.MoveColumn(-1); }));
    connect(fDownItem, &QPushButton::clicked, this, edit([](TExportDialogModel& m) { m.MoveColumn(1); }));
    connect(fSrc, &QListWidget::itemDoubleClicked, this, edit([](TExportDialogModel& m) { m.AddColumn(); }));
    connect(fDst, &QListWidget::itemDoubleClicked, this, edit([](TExportDialogModel& m) { m.RemoveColumn(); }));

    auto* output = new QWidget(pages);
    auto* outputLayout = new QVBoxLayout(output);
    auto* targets = new QGroupBox(tr(Tx("対象")), output);
    auto* targetsLayout = new QVBoxLayout(targets);
    targetsLayout->addWidget(Option(Tx("フォルダは除外する(&O)"), "ckbNoFolder", &TExportOptions::NoFolder));
    targetsLayout->addWidget(Option(Tx("ファイルは除外する(&F)"), "ckbNoFile", &TExportOptions::NoFile));
    targetsLayout->addWidget(Option(Tx("一覧の選択項目のみ出力する(&L)"), "ckbSelected", &TExportOptions::Selected));
    targetsLayout->addWidget(Option(Tx("サブフォルダ内も出力する(&B)"), "ckbSubFolder", &TExportOptions::SubFolder));
    outputLayout->addWidget(targets);
    fNameDivide = Option(Tx("名前を分割する(&C)"), "ckbNameDivide", &TExportOptions::NameDivide);
    outputLayout->addWidget(fNameDivide);
    fRules = new TNameDivideRuleList(*fModel, output);
    fRules->OnEdited = [this] { Refresh(); };
    outputLayout->addWidget(fRules, 1);
    outputLayout->addWidget(new QLabel(tr(Tx("※区切り位置前後の空白は除去されます")), output));
    auto* encodingRow = new QHBoxLayout;
    auto* encodingLabel = new QLabel(tr(Tx("文字コード：")), output);
    fEncoding = new QComboBox(output);
    fEncoding->setObjectName("cbxEncoding");
    fEncoding->addItems({QStringLiteral("UTF-8"), QStringLiteral("CP932")});
    encodingLabel->setBuddy(fEncoding);
    encodingRow->addWidget(encodingLabel);
    encodingRow->addWidget(fEncoding);
    encodingRow->addStretch();
    outputLayout->addLayout(encodingRow);
    connect(fEncoding, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!fRefreshing)
            fModel->SetEncoding(index == 1 ? TExportEncoding::eeCp932 : TExportEncoding::eeUtf8);
    });
    pages->addTab(output, tr(Tx("出力設定")));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName("btnOK");
    buttons->addButton(tr(Tx("キャンセル")), QDialogButtonBox::RejectRole)->setObjectName("btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

namespace {

// The program's own columns in the interface language; a name part's
// column keeps the name the user gave it.
QString ColumnText(const TExportDialogModel& model, int column)
{
    return Q(column < FixedColumnCount ? Tx(model.Caption(column)) : model.Caption(column));
}

}  // namespace

void TFileExportDialog::Refresh()
{
    fRefreshing = true;
    const TExportDialogModel& model = *fModel;
    fSrc->clear();
    for (const int column : model.Available())
        fSrc->addItem(ColumnText(model, column));
    fDst->clear();
    for (const int column : model.Output())
        fDst->addItem(ColumnText(model, column));
    // The empty entry at the end: where an added column is appended.
    fDst->addItem(QString());
    fSrc->setCurrentRow(model.AvailableSelected());
    fDst->setCurrentRow(model.OutputSelected());
    fAddItem->setEnabled(model.CanAdd());
    fDelItem->setEnabled(model.CanRemove());
    fUpItem->setEnabled(model.CanMoveUp());
    fDownItem->setEnabled(model.CanMoveDown());
    for (const auto& [box, option] : fOptions)
        box->setChecked(model.Options().*option);
    fEncoding->setCurrentIndex(model.Encoding() == TExportEncoding::eeCp932 ? 1 : 0);
    fSetting->clear();
    int selected = -1;
    for (const std::string& name : model.Names()) {
        if (model.SelectedName() && SameText(name, *model.SelectedName()))
            selected = fSetting->count();
        fSetting->addItem(Q(name));
    }
    fSetting->setCurrentIndex(selected);
    fDelete->setEnabled(selected >= 0);
    fRules->Rebuild();
    fRules->SetActive(model.Options().NameDivide);
    fRefreshing = false;
}

void TFileExportDialog::SaveSetting()
{
    const std::optional<QString> typed = AskName();
    if (!typed)
        return;
    const std::string name = typed->toStdString();
    if (fModel->Exists(name) && !Ask(tr(Tx("同名の設定が存在します  ")) + "\r\n" + tr(Tx("上書きしますか？"))))
        return;
    try {
        fModel->SaveAs(name);
    } catch (const EMirevaError& error) {
        Inform(Q(error.what()));
    }
    Refresh();
}

void TFileExportDialog::DeleteSetting()
{
    try {
        fModel->DeleteSelected();
    } catch (const EMirevaError& error) {
        Inform(Q(error.what()));
    }
    Refresh();
}

void TFileExportDialog::accept()
{
    if (fModel->Output().empty()) {
        Inform(tr(Tx(NoColumnText)));
        return;
    }
    const std::string& last = fModel->LastFileName();
    const QString start = last.empty() ? QDir::currentPath() : Q(last);
    const std::optional<std::pair<QString, int>> chosen = ChooseFile(start);
    if (!chosen)
        return;
    fModel->SetLastFileName(WithDefaultExtension(chosen->first.toStdString(), chosen->second));
    QDialog::accept();
}

void TFileExportDialog::done(int result)
{
    if (!fClosed) {
        fClosed = true;
        try {
            const TExportState state = fModel->Close();
            TIniFile settings(fProgramSettings);
            WriteExportState(settings, state);
            settings.UpdateFile();
        } catch (const EMirevaError& error) {
            // The export still runs; only the settings for next time are lost.
            Inform(Q(error.what()));
        }
    }
    QDialog::done(result);
}

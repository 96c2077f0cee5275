#pragma once

// The export settings dialog ("CSV形式で出力"), shown before a CSV export:
// the available and the output columns, the eight options, the name-division
// rules, the named settings of "Export.ini", the text encoding and, on OK,
// the output file. It shows a TExportDialogModel and forwards every click to
// it; when it closes, by OK or Cancel, the unnamed setting is kept as the
// last one and the settings file's EXPORT section keeps the chosen name, the
// last output file and the encoding.

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "export/ExportDialogModel.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class TNameDivideRuleList;

class TFileExportDialog : public QDialog {
public:
    static constexpr char NoColumnText[] = "出力する項目を設定してください  ";

    // dataFolder holds "Export.ini"; programSettings is the data folder's
    // "Mireva.ini".
    TFileExportDialog(const std::string& dataFolder, const std::string& programSettings, QWidget* parent = nullptr);
    ~TFileExportDialog() override;

    TExportDialogModel& Model() { return *fModel; }
    TNameDivideRuleList* RuleList() const { return fRules; }
    // What the export writes with, and where.
    TExportSettings ExportSettings() const { return fModel->ExportSettings(); }
    const std::string& FileName() const { return fModel->LastFileName(); }

    // The questions the dialog asks; message boxes and the file dialog
    // unless a test replaces them.
    std::function<void(const QString& text)> Inform;
    std::function<bool(const QString& text)> Ask;
    std::function<std::optional<QString>()> AskName;
    // The output file: the path and the 1-based filter chosen; none on cancel.
    std::function<std::optional<std::pair<QString, int>>(const QString& start)> ChooseFile;

    // Shows the model again: lists, selections, boxes and buttons.
    void Refresh();
    void SaveSetting();
    void DeleteSetting();

    void accept() override;
    void done(int result) override;

private:
    void BuildWidgets();
    QCheckBox* Option(const char* caption, const char* name, bool TExportOptions::*option);

    std::string fProgramSettings;
    std::unique_ptr<TExportSettingsStore> fStore;
    std::unique_ptr<TExportDialogModel> fModel;
    QComboBox* fSetting = nullptr;
    QPushButton* fSave = nullptr;
    QPushButton* fDelete = nullptr;
    QListWidget* fSrc = nullptr;
    QListWidget* fDst = nullptr;
    QPushButton* fAddItem = nullptr;
    QPushButton* fDelItem = nullptr;
    QPushButton* fUpItem = nullptr;
    QPushButton* fDownItem = nullptr;
    QComboBox* fEncoding = nullptr;
    QCheckBox* fNameDivide = nullptr;
    std::vector<std::pair<QCheckBox*, bool TExportOptions::*>> fOptions;
    TNameDivideRuleList* fRules = nullptr;
    bool fRefreshing = false;
    bool fClosed = false;
};

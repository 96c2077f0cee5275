#pragma once

// What the export settings dialog edits, without its widgets: the available
// and the output columns with their selections, the eight options, the
// name-division rules (whose name-part columns follow every rule edit), the
// named settings kept in "Export.ini", the last output file and the text
// encoding. Any edit deselects the named setting (it is then kept as the
// last unnamed one when the dialog closes); loading a setting edits nothing.
// The dialog shows this model and forwards the user's clicks to it.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "export/ExportSettings.h"
#include "export/RuleListEditor.h"

class TExportDialogModel : public TNameDivideRuleEditor {
public:
    // Opens on the store: the setting chosen when the dialog last closed (by
    // state.Selected), or the last unnamed one.
    TExportDialogModel(TExportSettingsStore& store, const TExportState& state);

    // Told after every edit that changes the setting (never while loading).
    std::function<void()> OnChanged;

    // --- Columns -----------------------------------------------------------
    // Column numbers: 0 to 16 fixed, 17 + k the name part of rule k.
    const std::vector<int>& Available() const { return fAvailable; }
    // Without the empty entry that stands at the end of the output list.
    const std::vector<int>& Output() const { return fOutput; }
    std::string Caption(int column) const;
    // -1 for none. The output selection may be Output().size(): the empty
    // entry at the end, where an added column is appended.
    int AvailableSelected() const { return fSrcSelected; }
    int OutputSelected() const { return fDstSelected; }
    void SelectAvailable(int index);
    void SelectOutput(int index);

    bool CanAdd() const;
    bool CanRemove() const;
    bool CanMoveUp() const;
    bool CanMoveDown() const;
    // The selected available column goes into the output before the selected
    // output entry; the output selection stays on the entry it was on.
    void AddColumn();
    // The selected output column goes back to its home place among the
    // available columns (the fixed columns in number order, the name parts
    // in rule order after "名前") and is selected there.
    void RemoveColumn();
    void MoveColumn(int step);

    // --- Options and rules -------------------------------------------------
    const TExportOptions& Options() const { return fOptions; }
    // Any option but NameDivide.
    void SetOption(bool TExportOptions::*option, bool on);
    // On: one name-part column per rule joins the available columns, after
    // "名前" when it heads them, else at the top. Off: every name-part
    // column leaves both lists.
    void SetNameDivide(bool on);

    const TNameDivideRules& Rules() const override { return fRules; }
    // While names are divided, a new rule's column joins the available
    // columns before the first that is neither "名前" nor a name part.
    void AddRule(TNameDivideInfo rule) override;
    void ChangeRule(int index, TNameDivideInfo rule) override;
    // The rule's column leaves whichever list holds it.
    void DeleteRule(int index) override;
    // The columns follow their rules; in the available list a column that
    // stood next to the passed rule's column on the side moved to changes
    // place with it as well.
    void MoveRule(int index, int step) override;

    // --- Named settings ----------------------------------------------------
    std::vector<std::string> Names() const { return fStore.Names(); }
    // The named setting shown; none when the dialog holds an unnamed one.
    const std::optional<std::string>& SelectedName() const { return fSelectedName; }
    bool Exists(const std::string& name) const { return fStore.Exists(name); }
    // Loads the named setting, which becomes the selected one.
    void Choose(const std::string& name);
    // Stores the setting under name and selects it; raises EMirevaError for
    // a name the store refuses, EFileError when "Export.ini" cannot be
    // written.
    void SaveAs(const std::string& name);
    // Erases the selected setting from "Export.ini"; nothing is selected after.
    void DeleteSelected();

    // --- Output ------------------------------------------------------------
    const std::string& LastFileName() const { return fLastFileName; }
    void SetLastFileName(std::string path) { fLastFileName = std::move(path); }
    TExportEncoding Encoding() const { return fEncoding; }
    void SetEncoding(TExportEncoding encoding) { fEncoding = encoding; }
    // What the export writes with.
    TExportSettings ExportSettings() const;
    // The setting as the store keeps it.
    TExportSetting Setting() const;

    // The dialog closes (OK or Cancel alike): an unnamed setting is kept as
    // the last one; returns what the settings file's EXPORT keeps.
    TExportState Close();

private:
    void Load(const TExportSetting& setting);
    void MarkChanged();
    void RemoveFromLists(int column);
    void RenumberAbove(int removedRule);
    int HomePosition(int column) const;

    TExportSettingsStore& fStore;
    std::vector<int> fAvailable;
    std::vector<int> fOutput;
    int fSrcSelected = -1;
    int fDstSelected = 0;
    TExportOptions fOptions;
    TNameDivideRules fRules;
    std::optional<std::string> fSelectedName;
    std::string fLastFileName;
    TExportEncoding fEncoding = TExportEncoding::eeUtf8;
    bool fLoading = false;
};

// The name the save dialog gives: one without an extension gets ".txt" with
// the text filter (filter 2), ".csv" with the others.
std::string WithDefaultExtension(const std::string& path, int filterIndex);

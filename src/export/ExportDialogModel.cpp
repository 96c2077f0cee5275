#include "export/ExportDialogModel.h"

#include <algorithm>

namespace {

bool IsNamePart(int column)
{
    return column >= FixedColumnCount;
}

int IndexIn(const std::vector<int>& list, int column)
{
    const auto it = std::find(list.begin(), list.end(), column);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

}  // namespace

void TPlainRuleEditor::AddRule(TNameDivideInfo rule)
{
    fRules.push_back(std::move(rule));
    RenumberRules(fRules);
}

void TPlainRuleEditor::ChangeRule(int index, TNameDivideInfo rule)
{
    if (index < 0 || index >= static_cast<int>(fRules.size()))
        return;
    fRules[static_cast<size_t>(index)] = std::move(rule);
    RenumberRules(fRules);
}

void TPlainRuleEditor::DeleteRule(int index)
{
    if (index < 0 || index >= static_cast<int>(fRules.size()))
        return;
    fRules.erase(fRules.begin() + index);
    RenumberRules(fRules);
}

void TPlainRuleEditor::MoveRule(int index, int step)
{
    const int other = index + step;
    const int count = static_cast<int>(fRules.size());
    if (index < 0 || index >= count || other < 0 || other >= count)
        return;
    std::swap(fRules[static_cast<size_t>(index)], fRules[static_cast<size_t>(other)]);
    RenumberRules(fRules);
}

TExportDialogModel::TExportDialogModel(TExportSettingsStore& store, const TExportState& state) : fStore(store)
{
    fLastFileName = state.LastFileName;
    fEncoding = state.Encoding;
    if (!state.Selected.empty() && fStore.Exists(state.Selected))
        Choose(state.Selected);
    else
        Load(fStore.Load(std::nullopt));
}

std::string TExportDialogModel::Caption(int column) const
{
    if (!IsNamePart(column))
        return ColumnCaption(column);
    const size_t rule = static_cast<size_t>(column - FixedColumnCount);
    return rule < fRules.size() ? fRules[rule].Name : std::string();
}

void TExportDialogModel::SelectAvailable(int index)
{
    fSrcSelected = index >= 0 && index < static_cast<int>(fAvailable.size()) ? index : -1;
}

void TExportDialogModel::SelectOutput(int index)
{
    fDstSelected = std::clamp(index, 0, static_cast<int>(fOutput.size()));
}

bool TExportDialogModel::CanAdd() const
{
    return fSrcSelected >= 0 && fSrcSelected < static_cast<int>(fAvailable.size());
}

bool TExportDialogModel::CanRemove() const
{
    return fDstSelected < static_cast<int>(fOutput.size());
}

bool TExportDialogModel::CanMoveUp() const
{
    return CanRemove() && fDstSelected >= 1;
}

bool TExportDialogModel::CanMoveDown() const
{
    return fDstSelected + 1 < static_cast<int>(fOutput.size());
}

void TExportDialogModel::AddColumn()
{
    if (!CanAdd())
        return;
    const int column = fAvailable[static_cast<size_t>(fSrcSelected)];
    fOutput.insert(fOutput.begin() + fDstSelected, column);
    ++fDstSelected;
    fAvailable.erase(fAvailable.begin() + fSrcSelected);
    fSrcSelected = std::min(fSrcSelected, static_cast<int>(fAvailable.size()) - 1);
    MarkChanged();
}

int TExportDialogModel::HomePosition(int column) const
{
    for (size_t i = 0; i < fAvailable.size(); ++i) {
        const int other = fAvailable[i];
        if (column == 0) {
            if (other > 0)
                return static_cast<int>(i);
        } else if (!IsNamePart(column)) {
            if (!IsNamePart(other) && other > column)
                return static_cast<int>(i);
        } else if ((IsNamePart(other) && other > column) || (!IsNamePart(other) && other != 0)) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(fAvailable.size());
}

void TExportDialogModel::RemoveColumn()
{
    if (!CanRemove())
        return;
    const int column = fOutput[static_cast<size_t>(fDstSelected)];
    fOutput.erase(fOutput.begin() + fDstSelected);
    const int home = HomePosition(column);
    fAvailable.insert(fAvailable.begin() + home, column);
    fSrcSelected = home;
    if (fDstSelected == static_cast<int>(fOutput.size()) && fDstSelected > 0)
        --fDstSelected;
    MarkChanged();
}

void TExportDialogModel::MoveColumn(int step)
{
    if (step < 0 ? !CanMoveUp() : !CanMoveDown())
        return;
    const int other = fDstSelected + (step < 0 ? -1 : 1);
    std::swap(fOutput[static_cast<size_t>(fDstSelected)], fOutput[static_cast<size_t>(other)]);
    fDstSelected = other;
    MarkChanged();
}

void TExportDialogModel::SetOption(bool TExportOptions::*option, bool on)
{
    if (option == &TExportOptions::NameDivide) {
        SetNameDivide(on);
        return;
    }
    if (fOptions.*option == on)
        return;
    fOptions.*option = on;
    MarkChanged();
}

void TExportDialogModel::SetNameDivide(bool on)
{
    if (fOptions.NameDivide == on)
        return;
    fOptions.NameDivide = on;
    if (!fLoading) {
        if (on) {
            size_t at = !fAvailable.empty() && fAvailable.front() == 0 ? 1 : 0;
            for (size_t k = 0; k < fRules.size(); ++k) {
                const int column = FixedColumnCount + static_cast<int>(k);
                if (IndexIn(fAvailable, column) < 0 && IndexIn(fOutput, column) < 0)
                    fAvailable.insert(fAvailable.begin() + static_cast<std::ptrdiff_t>(at++), column);
            }
        } else {
            std::erase_if(fAvailable, IsNamePart);
            std::erase_if(fOutput, IsNamePart);
        }
        SelectAvailable(fAvailable.empty() ? -1 : std::clamp(fSrcSelected, 0, static_cast<int>(fAvailable.size()) - 1));
        SelectOutput(fDstSelected);
    }
    MarkChanged();
}

void TExportDialogModel::AddRule(TNameDivideInfo rule)
{
    rule.Index = static_cast<int32_t>(fRules.size());
    const int column = FixedColumnCount + rule.Index;
    fRules.push_back(std::move(rule));
    if (!fOptions.NameDivide) {
        MarkChanged();
        return;
    }
    const auto place = std::find_if(fAvailable.begin(), fAvailable.end(),
                                    [](int other) { return other != 0 && !IsNamePart(other); });
    const int at = place == fAvailable.end() ? 0 : static_cast<int>(place - fAvailable.begin());
    fAvailable.insert(fAvailable.begin() + at, column);
    if (fSrcSelected >= at)
        ++fSrcSelected;
    MarkChanged();
}

void TExportDialogModel::ChangeRule(int index, TNameDivideInfo rule)
{
    if (index < 0 || index >= static_cast<int>(fRules.size()))
        return;
    rule.Index = index;
    fRules[static_cast<size_t>(index)] = std::move(rule);
    MarkChanged();
}

void TExportDialogModel::RemoveFromLists(int column)
{
    if (const int at = IndexIn(fAvailable, column); at >= 0) {
        fAvailable.erase(fAvailable.begin() + at);
        if (fSrcSelected > at || fSrcSelected >= static_cast<int>(fAvailable.size()))
            --fSrcSelected;
    }
    if (const int at = IndexIn(fOutput, column); at >= 0) {
        fOutput.erase(fOutput.begin() + at);
        if (fDstSelected > at)
            --fDstSelected;
    }
}

void TExportDialogModel::RenumberAbove(int removedRule)
{
    const int removed = FixedColumnCount + removedRule;
    for (std::vector<int>* list : {&fAvailable, &fOutput})
        for (int& column : *list)
            if (column > removed)
                --column;
}

void TExportDialogModel::DeleteRule(int index)
{
    if (index < 0 || index >= static_cast<int>(fRules.size()))
        return;
    RemoveFromLists(FixedColumnCount + index);
    fRules.erase(fRules.begin() + index);
    RenumberRules(fRules);
    RenumberAbove(index);
    MarkChanged();
}

void TExportDialogModel::MoveRule(int index, int step)
{
    const int other = index + step;
    const int count = static_cast<int>(fRules.size());
    if (step == 0 || index < 0 || index >= count || other < 0 || other >= count)
        return;
    std::swap(fRules[static_cast<size_t>(index)], fRules[static_cast<size_t>(other)]);
    RenumberRules(fRules);
    const int moved = FixedColumnCount + index, passed = FixedColumnCount + other;
    for (std::vector<int>* list : {&fAvailable, &fOutput})
        for (int& column : *list)
            column = column == moved ? passed : column == passed ? moved : column;
    // Now the moved rule's column is numbered after its new place.
    const int movedAt = IndexIn(fAvailable, passed), passedAt = IndexIn(fAvailable, moved);
    if (movedAt >= 0 && passedAt >= 0 && passedAt == movedAt + (step < 0 ? -1 : 1))
        std::swap(fAvailable[static_cast<size_t>(movedAt)], fAvailable[static_cast<size_t>(passedAt)]);
    MarkChanged();
}

void TExportDialogModel::Choose(const std::string& name)
{
    Load(fStore.Load(name));
    fSelectedName = name;
}

void TExportDialogModel::SaveAs(const std::string& name)
{
    fStore.Save(name, Setting());
    fSelectedName = name;
}

void TExportDialogModel::DeleteSelected()
{
    if (!fSelectedName)
        return;
    fStore.Delete(*fSelectedName);
    fSelectedName.reset();
}

TExportSettings TExportDialogModel::ExportSettings() const
{
    TExportSettings settings;
    settings.Columns = fOutput;
    settings.Rules = fRules;
    settings.Options = fOptions;
    settings.Encoding = fEncoding;
    return settings;
}

TExportSetting TExportDialogModel::Setting() const
{
    TExportSetting setting;
    setting.Available = fAvailable;
    setting.Export = ExportSettings();
    return setting;
}

TExportState TExportDialogModel::Close()
{
    if (!fSelectedName)
        fStore.Save(std::nullopt, Setting());
    return {fSelectedName.value_or(std::string()), fLastFileName, fEncoding};
}

void TExportDialogModel::Load(const TExportSetting& setting)
{
    fLoading = true;
    fAvailable = setting.Available;
    fOutput = setting.Export.Columns;
    fRules = setting.Export.Rules;
    RenumberRules(fRules);
    fOptions = setting.Export.Options;
    // A name-part column stands in the lists only while names are divided.
    if (!fOptions.NameDivide) {
        std::erase_if(fAvailable, IsNamePart);
        std::erase_if(fOutput, IsNamePart);
    }
    fSrcSelected = fAvailable.empty() ? -1 : 0;
    fDstSelected = 0;
    fSelectedName.reset();
    fLoading = false;
}

void TExportDialogModel::MarkChanged()
{
    if (fLoading)
        return;
    fSelectedName.reset();
    if (OnChanged)
        OnChanged();
}

std::string WithDefaultExtension(const std::string& path, int filterIndex)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (path.empty() || (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)))
        return path;
    return path + (filterIndex == 2 ? ".txt" : ".csv");
}

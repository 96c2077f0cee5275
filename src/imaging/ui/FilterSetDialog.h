#pragma once

// The parameter dialog of one filter item: caption "フィルタの設定－" and the
// filter's list text, one page per filter kind with the others hidden. The
// dialog edits a copy; Item() is what OK hands back. While the set dialog
// previews, every change is shown on the picture at once.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "imaging/FilterEditors.h"

class QCheckBox;
class QFrame;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TLevelEditor;
class TToneCurveEditor;
class TValueBox;

struct TFilterDialogHooks {
    // Shows an item on the picture while a preview runs; empty: no preview.
    std::function<void(const TFilterItem&)> Preview;
    // The colour dialog's custom colours ("CustomColors" of the data
    // folder's settings), read when the margin page is shown and written
    // when the colour dialog closes.
    std::function<std::string()> ReadCustomColors;
    std::function<void(const std::string&)> WriteCustomColors;
};

class TFilterSetDialog : public QDialog, public TFilterEditObserver {
public:
    TFilterSetDialog(const TFilterItem& item, TFilterDialogHooks hooks, QWidget* parent = nullptr);
    ~TFilterSetDialog() override;

    // The item with the values the dialog shows now.
    TFilterItem Item() const;
    // The page of the item's kind (the one shown).
    QWidget* Page() const;

    void FilterEditChanged(TFilterEditChange change, TChangePhase phase) override;

private:
    QWidget* MakePage(FilterKind kind);
    QCheckBox* LuminanceBox(QWidget* page, bool perChannel);
    void Changed();
    void ChooseColor();
    void ShowColor();
    void SyncLevels();

    TFilterItem fItem;
    TFilterDialogHooks fHooks;
    QStackedWidget* fPages = nullptr;
    bool fLoading = true;

    std::array<QRadioButton*, 4> fBase{};
    TLevelMarkers fInput;
    TLevelMarkers fOutput;
    std::array<TValueBox*, 4> fLevelBoxes{};
    TToneCurveModel fCurve;
    QListWidget* fPoints = nullptr;
    QCheckBox* fLuminance = nullptr;
    std::array<TValueBox*, 4> fValues{};
    TColor fColor = clWhite;
    QFrame* fSwatch = nullptr;
};

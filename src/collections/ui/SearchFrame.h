#pragma once

// The search panel: the name condition with its history, the targets, the
// size and date conditions and the options, the cache switches and the
// button that starts a search. It only displays and forwards: the search
// itself is the TSearchFolder it is given, which the window also shows as
// the search results. User-interface thread.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "collections/SearchSettings.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;
class TGroupList;
class TSearchCacheStore;

class TSearchFrame : public QWidget, private TSearchObserver {
public:
    // folder, shelves and cacheStore (may be null: the cache is not kept
    // across runs) must outlive the panel.
    TSearchFrame(TSearchFolder& folder, const TGroupList* shelves, TSearchCacheStore* cacheStore,
                 QWidget* parent = nullptr);
    ~TSearchFrame() override;

    void SetSettings(const TSearchPanelSettings& settings);
    // At start: with the cache and keeping it on, the cache saved by an
    // earlier run is read back and the panel starts in cache mode. A file
    // that is not a whole cache is set aside without a message.
    void RestoreCache();
    TSearchPanelSettings Settings() const;
    // The history shown under the name, and its length limit.
    void SetHistory(const TSearchHistory& history, int maxCount);
    const TSearchHistory& History() const { return fHistory; }
    // Without fixed targets the window replaces the targets by the place it
    // shows whenever the panel opens.
    void SetTargets(const std::vector<TSearchTargetSpec>& targets);
    std::vector<TSearchTargetSpec> Targets() const;
    void SetShowHidden(bool showHidden) { fShowHidden = showHidden; }
    // Starts a search as the button does; false when nothing was searched.
    bool Search();

    // The folder a "フォルダ追加" adds; empty adds nothing. By default the
    // system's folder dialog.
    std::function<std::string()> OnChooseFolder;
    // Messages to the user ("Mireva" information boxes by default).
    std::function<void(const std::string&)> OnMessage;
    // A search was started: the window shows the results as they arrive.
    std::function<void()> OnStarted;
    // The search ended: the window refreshes the list.
    std::function<void()> OnFinished;
    // The window should keep the results when the search view is left.
    bool KeepResults() const;

    QComboBox* NameBox() const { return fName; }
    QPushButton* SearchButton() const { return fSearch; }

private:
    void SearchChanged(TSearchFolder& folder, const TSearchChange& change) override;
    void AddTarget(const TSearchTargetSpec& target);
    void AddShelfTarget();
    void DeleteTarget();
    void DiscardCache();
    void UpdateCacheMode();
    void UpdateEnabled();
    void ToggleDetail();

    TSearchFolder& fFolder;
    const TGroupList* fShelves;
    TSearchCacheStore* fCacheStore;
    TSearchHistory fHistory;
    int fHistoryMax = 50;
    bool fShowHidden = false;
    bool fHasSearched = false;

    QComboBox* fName = nullptr;
    QListWidget* fTargets = nullptr;
    QWidget* fTargetButtons = nullptr;
    QPushButton* fDiscard = nullptr;
    QLabel* fCacheLabel = nullptr;
    QPushButton* fSearch = nullptr;
    QPushButton* fDetailButton = nullptr;
    QWidget* fDetail = nullptr;
    QCheckBox* fCheckSize = nullptr;
    QSpinBox* fSize = nullptr;
    QComboBox* fSizeKind = nullptr;
    QCheckBox* fCheckDate = nullptr;
    QRadioButton* fMonthsButton = nullptr;
    QRadioButton* fDaysButton = nullptr;
    QRadioButton* fDatesButton = nullptr;
    QSpinBox* fMonths = nullptr;
    QSpinBox* fDays = nullptr;
    QComboBox* fDateKind = nullptr;
    QDateEdit* fDateFrom = nullptr;
    QDateEdit* fDateTo = nullptr;
    QCheckBox* fSubFolder = nullptr;
    QCheckBox* fNoFolder = nullptr;
    QCheckBox* fNoFile = nullptr;
    QCheckBox* fKeep = nullptr;
    QCheckBox* fFix = nullptr;
    QCheckBox* fCache = nullptr;
    QCheckBox* fSaveCache = nullptr;
};

#pragma once

// The mouse customisation dialog: which command each mouse operation runs on
// the file list (per kind of item) and in the image view (per quarter of the
// view), the scroll amounts and the wheel's play. The dialog edits copies;
// after OK the caller takes Bindings(), ScrollOptions() and MouseOptions()
// over and saves them. User-interface thread.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/Init.h"
#include "app/MusCstm.h"

class TAppCore;
class TScrollOptionsPage;
class TBrowserModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;

class TMouseCustomizeDialog : public QDialog {
public:
    // page: the page to open on (0 file list, 1 image view, 2 scroll, 3
    // details).
    TMouseCustomizeDialog(const TMouseBindings& bindings, const TScrollOptions& scroll, const TMouseOptions& mouse,
                          int page, QWidget* parent = nullptr);

    const TMouseBindings& Bindings() const { return fBindings; }
    TScrollOptions ScrollOptions() const;
    TMouseOptions MouseOptions() const;
    int Page() const;
    static constexpr int PageCount = 4;

private:
    // One of the two binding pages.
    struct TBindingPage {
        bool Image = false;
        QTreeWidget* Tree = nullptr;
        QComboBox* Category = nullptr;
        QListWidget* Commands = nullptr;
        QPushButton* Assign = nullptr;
        QCheckBox* Split = nullptr;  // by quarter or by item kind
        std::vector<QRadioButton*> Parts;
    };

    QWidget* BuildBindingPage(TBindingPage& page);
    QWidget* BuildDetailPage(const TMouseOptions& mouse);
    void FillTree(TBindingPage& page);

    int SelectedEntry(const TBindingPage& page) const;
    int SelectedPart(const TBindingPage& page) const;
    bool Split(const TBindingPage& page, int entry) const;
    int CommandAt(const TBindingPage& page, int entry, int part) const;
    void FillCommands(TBindingPage& page);
    void ShowEntry(TBindingPage& page);
    void SplitToggled(TBindingPage& page, bool on);
    void AssignCommand(TBindingPage& page);
    void UpdateAssign(TBindingPage& page);
    void Reset();

    TMouseBindings fBindings;
    TBindingPage fList;
    TBindingPage fImage;
    QCheckBox* fRightPopup = nullptr;
    TScrollOptionsPage* fScrollPage = nullptr;
    QSpinBox* fWheelCount = nullptr;
    QSpinBox* fEdgeWheelCount = nullptr;
    QTabWidget* fPages = nullptr;
    // Above zero while the widgets are filled from the bindings, so that
    // their signals are not taken for the user's doing.
    int fFilling = 0;
    // The options the dialog does not show, kept as they came.
    TMouseOptions fMouse;
};

// Runs the dialog for the window: on OK the model and the core take the
// bindings and options over, they are saved in the settings file in use,
// the view applies them, and the open page is remembered in the data
// folder's "Mireva.ini". A file that cannot be written is reported through
// report; the bindings stay in use for this run. True after OK.
bool RunMouseCustomize(QWidget* parent, TAppCore& core, TBrowserModel& model,
                       const std::function<void(const std::string&)>& report);

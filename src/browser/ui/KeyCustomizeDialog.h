#pragma once

// The key customisation dialog: the general commands and the commands of the
// image view (image, move and scroll), each page with a category filter, the
// command list, the selected command's keys and a box that takes a new
// combination; and the large and small scroll options, which the scroll
// commands use. The dialog edits copies; the caller takes Bindings() and
// ScrollOptions() over when it is accepted.

#include <QDialog>
#include <functional>
#include <optional>

#include "app/Init.h"
#include "browser/KeyBindings.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTabWidget;
class TScrollOptionsPage;

class TKeyCustomizeDialog : public QDialog {
public:
    // The pages, in order.
    enum TPageIndex { kpGeneral, kpImageView, kpScroll, kpCount };

    // page: the page to open with (another number opens the first).
    TKeyCustomizeDialog(const TKeyBindings& keys, const TScrollOptions& scroll, int page, QWidget* parent = nullptr);

    const TKeyBindings& Bindings() const { return fKeys; }
    TScrollOptions ScrollOptions() const;
    // The page shown now.
    int Page() const;
    void SetPage(int page);
    // What the reset button does: the default keys of both key pages; the
    // exchange flags and the scroll options stay.
    void ResetKeys();

    // What the Add button does with the combination of the new-key box; the
    // question before taking a key from another command is asked through
    // confirm, so tests can answer it.
    void SetNewKey(TShortCut key);
    void AddKey(const std::function<bool()>& confirm = {});
    // Selects a command of the current page by group and number.
    bool SelectCommand(TKeyOwner command);

private:
    struct TPage {
        TKeySet Set;
        QComboBox* Category = nullptr;
        QListWidget* Commands = nullptr;
        QListWidget* Keys = nullptr;
        QLabel* NewKey = nullptr;
        QLabel* Owner = nullptr;
        TShortCut Pending = 0;
    };

    QWidget* BuildPage(TPage& page, const QString& note);
    TPage& Current();
    std::optional<TKeyOwner> Selected(const TPage& page) const;
    void FillCommands(TPage& page);
    void FillKeys(TPage& page);
    void ShowNewKey(TPage& page, TShortCut key);
    bool eventFilter(QObject* watched, QEvent* event) override;

    TKeyBindings fKeys;
    QTabWidget* fTabs = nullptr;
    TPage fPages[2];
    TScrollOptionsPage* fScroll = nullptr;
};

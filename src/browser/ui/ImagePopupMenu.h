#pragma once

// The image view's context menu as a widget. It is made afresh each time it
// opens, from the menu data and what ImagePopupItemState says of each item
// where it was opened; the captions (with their keys), check marks and
// enabled states are those of the window's own actions, updated by the
// window before. Each item carries the page the menu was opened over, and
// choosing it hands the action and that page back to the window.
// User-interface thread.

#include <QMenu>
#include <functional>
#include <span>

#include "browser/CommandTarget.h"
#include "browser/MenuData.h"

class TImagePopupMenu : public QMenu {
public:
    // The window's action item for an action (never null for an action of
    // the table).
    using TItemLookup = std::function<QAction*(TActionId)>;
    using TRun = std::function<void(TActionId, TTargetPage)>;

    TImagePopupMenu(const TImagePopupContext& popup, const TActionContext& actions, TItemLookup lookup, TRun run,
                    QWidget* parent = nullptr);

    // The page the items carry.
    TTargetPage Page() const { return fPage; }

private:
    void AddItems(QMenu& menu, std::span<const TMenuItem> items, const TImagePopupContext& popup,
                  const TActionContext& actions);

    TItemLookup fLookup;
    TRun fRun;
    TTargetPage fPage = TTargetPage::tpAsk;
};

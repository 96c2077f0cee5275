#include "browser/ui/ImagePopupMenu.h"
#include "base/Texts.h"

#include <utility>

TImagePopupMenu::TImagePopupMenu(const TImagePopupContext& popup, const TActionContext& actions, TItemLookup lookup,
                                 TRun run, QWidget* parent)
    : QMenu(parent), fLookup(std::move(lookup)), fRun(std::move(run))
{
    setObjectName("ImagePopupMenu");
    if (!popup.FromKeyboard)
        fPage = popup.Page;
    AddItems(*this, ImagePopupMenu(), popup, actions);
}

void TImagePopupMenu::AddItems(QMenu& menu, std::span<const TMenuItem> items, const TImagePopupContext& popup,
                               const TActionContext& actions)
{
    for (const TMenuItem& item : items) {
        const TPopupItemState state = ImagePopupItemState(item, popup, actions);
        if (!state.Visible)
            continue;
        switch (item.Kind) {
        case TMenuItemKind::mkSeparator:
            menu.addSeparator();
            break;
        case TMenuItemKind::mkAction: {
            const TActionId id = *item.Action;
            const QAction* window = fLookup(id);
            if (!window->isVisible())
                break;
            // The menu's own items, so that hiding one here leaves the menu
            // bar's alone.
            QAction* action = menu.addAction(window->text());
            action->setObjectName(ImagePopupItemName(item));
            action->setEnabled(state.Enabled && window->isEnabled());
            action->setCheckable(window->isCheckable());
            action->setChecked(window->isChecked());
            connect(action, &QAction::triggered, this, [this, id] { fRun(id, fPage); });
            break;
        }
        case TMenuItemKind::mkSubMenu: {
            QMenu* sub = menu.addMenu(QString::fromUtf8(Tx(ItemCaption(item))));
            sub->menuAction()->setObjectName(ImagePopupItemName(item));
            AddItems(*sub, item.Items, popup, actions);
            const bool holderEnabled = !item.Action || fLookup(*item.Action)->isEnabled();
            sub->setEnabled(state.Enabled && holderEnabled && !sub->isEmpty());
            break;
        }
        case TMenuItemKind::mkCommand:
        case TMenuItemKind::mkList:
            break;
        }
    }
}

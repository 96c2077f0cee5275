#include "browser/ui/MouseRouting.h"

#include <QItemSelectionModel>

#include "browser/BrowserModel.h"
#include "browser/MouseCommands.h"
#include "shellviews/ui/FileListItemModel.h"
#include "shellviews/ui/FileListView.h"
#include "viewer/ui/ImageViewFrame.h"

namespace {

// Makes a click on row select as if Shift, Ctrl or both were held: Shift
// selects from the anchor to the row, Ctrl toggles the row, both add the
// range to what is selected.
void SelectAsIfHeld(TFileListView& view, int row, bool shift, bool ctrl)
{
    QAbstractItemModel* model = view.model();
    QItemSelectionModel* selection = view.selectionModel();
    if (!model || !selection || row < 0)
        return;
    const QModelIndex index = model->index(row, 0);
    using F = QItemSelectionModel::SelectionFlag;
    if (shift) {
        const int anchor = view.PressAnchor() >= 0 ? view.PressAnchor() : row;
        const QItemSelection range(model->index(std::min(anchor, row), 0), model->index(std::max(anchor, row), 0));
        selection->select(range, (ctrl ? F::Select : F::ClearAndSelect) | F::Rows);
    } else {
        selection->select(index, F::Toggle | F::Rows);
    }
    selection->setCurrentIndex(index, F::NoUpdate);
}

}  // namespace

TMouseHeld MouseHeldFrom(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    TMouseHeld held;
    held.Left = buttons.testFlag(Qt::LeftButton);
    held.Right = buttons.testFlag(Qt::RightButton);
    held.Wheel = buttons.testFlag(Qt::MiddleButton);
    held.X1 = buttons.testFlag(Qt::XButton1);
    held.X2 = buttons.testFlag(Qt::XButton2);
    held.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    held.Shift = modifiers.testFlag(Qt::ShiftModifier);
    return held;
}

void RouteImageMouse(TImageViewFrame& frame, TBrowserModel& model, TMouseRoutes routes)
{
    frame.SetMouseHandler([&frame, &model, routes](int code, Qt::MouseButtons buttons,
                                                     Qt::KeyboardModifiers modifiers, TPoint point) {
        if (code < 0 || code >= static_cast<int>(TMouseOperation::moDrag))
            return;
        TImageMouseCommands commands(model.Actions(), model.Viewer());
        const QWidget* area = frame.Area();
        const TImageMouseResult result = commands.Run(model.Mouse(), static_cast<TMouseOperation>(code),
                                                      MouseHeldFrom(buttons, modifiers), point, area->width(),
                                                      area->height());
        if (result.Popup && routes.ImagePopup)
            routes.ImagePopup(area->mapToGlobal(QPoint(point.X, point.Y)), result.PopupPage);
        if (result.Outcome && routes.Carry)
            routes.Carry(model.Carry(*result.Outcome));
        if (result.Action && routes.RunAction)
            routes.RunAction(*result.Action, result.Page);
    });
    frame.SetDragModeHandler(
        [&frame, &model](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, TPoint point) {
            const QWidget* area = frame.Area();
            return TImageMouseCommands::DragMode(model.Mouse(), MouseHeldFrom(buttons, modifiers), point,
                                                 area->width(), area->height());
        });
}

void RouteListMouse(TFileListView& view, TBrowserModel& model, TMouseRoutes routes)
{
    view.OnMouse = [&view, &model, routes](int code, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                          int row) {
        const TShellListModel& list = model.FileList();
        const bool isRow = row >= 0 && row < list.Count();
        const auto op = static_cast<TMouseOperation>(code);
        const TMouseHeld held = MouseHeldFrom(buttons, modifiers);
        // The kind of item matters only to an entry bound per kind; every
        // other click is spared the look at the item.
        const int entry = ListMouseEntry(op, VariantOf(op, held));
        TMouseItem kind = isRow ? TMouseItem::miOther : TMouseItem::miNone;
        if (entry != 0 && model.Mouse().ListEntry(entry).Target)
            kind = MouseItemOf(isRow ? list.Open(row) : TOpenResult{}, isRow, [&model](std::string_view ext) {
                return model.Loaders() && model.Loaders()->IsImageExtension(ext);
            });
        const TListMouseResult result =
            ListMouseCommand(model.Mouse(), op, held, modifiers.testFlag(Qt::AltModifier), kind);
        switch (result.Kind) {
        case TListMouseKind::lmNone: return false;
        case TListMouseKind::lmShiftSelect: SelectAsIfHeld(view, isRow ? row : -1, true, false); return true;
        case TListMouseKind::lmCtrlSelect: SelectAsIfHeld(view, isRow ? row : -1, false, true); return true;
        case TListMouseKind::lmShiftCtrlSelect: SelectAsIfHeld(view, isRow ? row : -1, true, true); return true;
        default: break;
        }
        // The item under the pointer becomes the only selected and focused
        // one, so the command works on it.
        if (isRow && view.model() && view.selectionModel())
            view.selectionModel()->setCurrentIndex(view.model()->index(row, 0),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        switch (result.Kind) {
        case TListMouseKind::lmOpen:
            if (isRow)
                view.OpenRow(row);
            break;
        case TListMouseKind::lmProperties:
            if (routes.RunAction)
                routes.RunAction(TActionId::actProperties, TTargetPage::tpAsk);
            break;
        case TListMouseKind::lmAction:
            if (routes.RunAction)
                routes.RunAction(result.Action, TTargetPage::tpAsk);
            break;
        default: break;
        }
        return true;
    };
}

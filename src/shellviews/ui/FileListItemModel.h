#pragma once

// The Qt table model over the file list's logic (TShellListModel): one row
// per listed item, the columns of the shown content with their captions and
// alignment, icons from the program's icon list with the desktop's generic
// icons where an item has none. It turns the list's notices into Qt's row,
// layout and reset signals, and hands the list's own selection and sort order
// to the view through two callbacks. Renaming in place goes through setData;
// a refusal reaches the user as a message. User-interface thread.

#include <QAbstractTableModel>
#include <QColor>
#include <QFileIconProvider>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shellviews/ShellList.h"

class TQtShellInfo;
class TUserNotifier;

class TFileListItemModel : public QAbstractTableModel, public TShellListObserver {
public:
    // icons and notifier may be null; both must outlive the model.
    TFileListItemModel(TShellListModel& list, TQtShellInfo* icons, TUserNotifier* notifier,
                       QObject* parent = nullptr);
    ~TFileListItemModel() override;

    TShellListModel& List() const { return fList; }

    // The list changed its selection, or its sort column or direction.
    std::function<void()> OnSelection;
    // The text colour of a row (the window's item colours); none: the
    // list's own.
    std::function<std::optional<QColor>(int row)> TextColor;
    std::function<void()> OnSortOrder;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void ListChanged(TShellListModel& list, const TFileListChange& change) override;

private:
    bool Valid(const QModelIndex& index) const;

    TShellListModel& fList;
    TQtShellInfo* fIcons;
    TUserNotifier* fNotifier;
    QFileIconProvider fProvider;
    // The columns as the view last learned them (they change with a reset).
    int fColumns = 0;
    // The persistent indexes and their rows' keys while the list reorders.
    QModelIndexList fLayoutIndexes;
    std::vector<std::string> fLayoutKeys;
};

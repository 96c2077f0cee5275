#pragma once

// The Qt table model over the archive list's logic (TArchiverListModel): a
// row per listed member or folder, the four columns with their captions,
// alignment and the sort indicator's column, texts and icons produced when
// the view asks. It turns the logic's notices into Qt's reset and
// data-changed signals and hands the logic's selection to the view through a
// callback. User-interface thread.

#include <QAbstractTableModel>
#include <QColor>
#include <QFileIconProvider>
#include <functional>
#include <optional>

#include "shellviews/ArchiverList.h"

class TQtShellInfo;

class TArchiveListItemModel : public QAbstractTableModel, public TArchiverListObserver {
public:
    // icons may be null (the desktop's generic icons only); it must outlive
    // the model, as must list.
    TArchiveListItemModel(TArchiverListModel& list, TQtShellInfo* icons, QObject* parent = nullptr);
    ~TArchiveListItemModel() override;

    TArchiverListModel& List() const { return fList; }

    // The logic's selection changed (a new listing, a re-sort); the view
    // shows it without handing it back.
    std::function<void()> OnSelectionChanged;
    // The text colour of a row (the window's item colours); none: the
    // list's own.
    std::function<std::optional<QColor>(int row)> TextColor;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void ArchiverListChanged(TArchiverListModel& list, const TArchiverListChange& change) override;

private:
    TArchiverListModel& fList;
    TQtShellInfo* fIcons;
    QFileIconProvider fProvider;
};

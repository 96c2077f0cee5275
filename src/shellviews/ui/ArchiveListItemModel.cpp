#include "shellviews/ui/ArchiveListItemModel.h"

#include "collections/ui/QtShellInfo.h"
#include "base/Texts.h"

TArchiveListItemModel::TArchiveListItemModel(TArchiverListModel& list, TQtShellInfo* icons, QObject* parent)
    : QAbstractTableModel(parent), fList(list), fIcons(icons)
{
    fList.RegisterObserver(this);
}

TArchiveListItemModel::~TArchiveListItemModel()
{
    fList.UnregisterObserver(this);
}

int TArchiveListItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : fList.Count();
}

int TArchiveListItemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ArchiverListColumnCount;
}

QVariant TArchiveListItemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= fList.Count() ||
        index.column() >= ArchiverListColumnCount)
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(fList.Text(row, column));
    case Qt::TextAlignmentRole:
        return column == static_cast<int>(TArchiverListColumn::alSize)
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::DecorationRole: {
        if (column != 0)
            return {};
        const int icon = fList.IconIndex(row);
        if (fIcons && icon >= 0)
            return fIcons->Icon(icon);
        const TArchiverListRow* item = fList.Row(row);
        return fProvider.icon(item && item->Record.IsFolder() ? QFileIconProvider::Folder : QFileIconProvider::File);
    }
    case Qt::ForegroundRole:
        if (TextColor)
            if (const std::optional<QColor> color = TextColor(row))
                return *color;
        return {};
    default:
        return {};
    }
}

QVariant TArchiveListItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ArchiverListColumnCount)
        return {};
    const std::vector<TArchiverListColumnInfo> columns = fList.Columns();
    const TArchiverListColumnInfo& column = columns[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(Tx(column.Caption));
    case Qt::TextAlignmentRole:
        return column.RightAligned ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags TArchiveListItemModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= fList.Count())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled;
}

void TArchiveListItemModel::ArchiverListChanged(TArchiverListModel&, const TArchiverListChange& change)
{
    const bool before = change.Phase == TChangePhase::cpBefore;
    switch (change.Kind) {
    case TArchiverListChangeKind::acReset:
    case TArchiverListChangeKind::acSorted:
        // A re-sort moves nearly every row; the view takes the logic's
        // selection again afterwards, so a reset loses nothing.
        if (before) {
            beginResetModel();
        } else {
            endResetModel();
            if (change.Kind == TArchiverListChangeKind::acSorted)
                emit headerDataChanged(Qt::Horizontal, 0, ArchiverListColumnCount - 1);
            if (OnSelectionChanged)
                OnSelectionChanged();
        }
        break;
    case TArchiverListChangeKind::acSelection:
        if (OnSelectionChanged)
            OnSelectionChanged();
        break;
    case TArchiverListChangeKind::acRows:
        if (change.Count > 0 && change.First >= 0 && change.First + change.Count <= fList.Count())
            emit dataChanged(index(change.First, 0), index(change.First + change.Count - 1, ArchiverListColumnCount - 1));
        break;
    }
}

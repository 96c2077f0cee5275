#include "shellviews/ui/FileListItemModel.h"

#include <QGuiApplication>
#include <QPalette>
#include <unordered_map>

#include "collections/ui/QtShellInfo.h"
#include "shellviews/ui/EditMessage.h"
#include "loading/FileLoader.h"
#include "base/Texts.h"

TFileListItemModel::TFileListItemModel(TShellListModel& list, TQtShellInfo* icons, TUserNotifier* notifier,
                                       QObject* parent)
    : QAbstractTableModel(parent), fList(list), fIcons(icons), fNotifier(notifier),
      fColumns(static_cast<int>(list.Columns().size()))
{
    fList.RegisterObserver(this);
}

TFileListItemModel::~TFileListItemModel()
{
    fList.UnregisterObserver(this);
}

bool TFileListItemModel::Valid(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() >= 0 && index.row() < fList.Count() &&
           index.column() >= 0 && index.column() < fColumns;
}

int TFileListItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : fList.Count();
}

int TFileListItemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : fColumns;
}

QVariant TFileListItemModel::data(const QModelIndex& index, int role) const
{
    if (!Valid(index))
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(fList.Text(row, index.column()));
    case Qt::EditRole:
        return QString::fromStdString(fList.EditText(row));
    case Qt::DecorationRole: {
        if (index.column() != 0)
            return {};
        const int icon = fList.IconIndex(row);
        if (fIcons && icon >= 0) {
            const QIcon result = fIcons->Icon(icon);
            if (!result.isNull())
                return result;
        }
        const TShellFolder* node = fList.Node(row);
        const bool file = node && !const_cast<TShellFolder*>(node)->IsDirectory();
        return fProvider.icon(file ? QFileIconProvider::File : QFileIconProvider::Folder);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            Qt::AlignVCenter |
            (fList.Columns()[static_cast<size_t>(index.column())].Align == TColumnAlign::caRight ? Qt::AlignRight
                                                                                                  : Qt::AlignLeft));
    case Qt::ForegroundRole:
        // Missing shelf members and hidden items are drawn dimmed.
        if (fList.IsDimmed(row))
            return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
        if (TextColor)
            if (const std::optional<QColor> color = TextColor(row))
                return *color;
        return {};
    default:
        return {};
    }
}

QVariant TFileListItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= fColumns)
        return {};
    const TListColumn& column = fList.Columns()[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole)
        return QString::fromStdString(Tx(column.Caption));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (column.Align == TColumnAlign::caRight ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

bool TFileListItemModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !Valid(index))
        return false;
    try {
        return fList.Rename(index.row(), value.toString().toStdString());
    } catch (const std::exception& e) {
        ShowAfterEdit(*this, fNotifier, e.what());
        return false;
    }
}

Qt::ItemFlags TFileListItemModel::flags(const QModelIndex& index) const
{
    if (!Valid(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled;
    if (index.column() == 0 && fList.CanRename(index.row()))
        result |= Qt::ItemIsEditable;
    return result;
}

void TFileListItemModel::ListChanged(TShellListModel&, const TFileListChange& change)
{
    const bool before = change.Phase == TChangePhase::cpBefore;
    switch (change.Kind) {
    case TFileListChangeKind::fcReset:
        if (before) {
            beginResetModel();
        } else {
            fColumns = static_cast<int>(fList.Columns().size());
            endResetModel();
            emit headerDataChanged(Qt::Horizontal, 0, fColumns - 1);
        }
        break;
    case TFileListChangeKind::fcInsert:
        if (before)
            beginInsertRows({}, change.First, change.First + change.Count - 1);
        else
            endInsertRows();
        break;
    case TFileListChangeKind::fcRemove:
        if (before)
            beginRemoveRows({}, change.First, change.First + change.Count - 1);
        else
            endRemoveRows();
        break;
    case TFileListChangeKind::fcChange:
        if (change.Count > 0 && fColumns > 0)
            emit dataChanged(index(change.First, 0), index(change.First + change.Count - 1, fColumns - 1));
        break;
    case TFileListChangeKind::fcLayout:
        if (before) {
            emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
            fLayoutIndexes = persistentIndexList();
            fLayoutKeys.clear();
            for (const QModelIndex& at : fLayoutIndexes)
                fLayoutKeys.push_back(fList.KeyOf(at.row()));
        } else {
            // Each kept index follows its row's key to the row's new place.
            std::unordered_map<std::string, int> rows;
            for (int row = 0; row < fList.Count(); ++row)
                rows.emplace(fList.KeyOf(row), row);
            QModelIndexList moved;
            for (size_t i = 0; i < fLayoutKeys.size(); ++i) {
                const auto found = rows.find(fLayoutKeys[i]);
                moved.append(found == rows.end() ? QModelIndex()
                                                 : index(found->second, fLayoutIndexes[static_cast<qsizetype>(i)].column()));
            }
            changePersistentIndexList(fLayoutIndexes, moved);
            fLayoutIndexes.clear();
            fLayoutKeys.clear();
            emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        }
        break;
    case TFileListChangeKind::fcSortOrder:
        if (OnSortOrder)
            OnSortOrder();
        break;
    case TFileListChangeKind::fcSelection:
        if (OnSelection)
            OnSelection();
        break;
    }
}

#include "shellviews/ui/ShellTreeItemModel.h"

#include <QGuiApplication>
#include <QPalette>

#include "collections/ui/QtShellInfo.h"
#include "shellviews/ui/EditMessage.h"

TShellTreeItemModel::TShellTreeItemModel(TShellTreeModel& tree, TQtShellInfo* icons, TUserNotifier* notifier,
                                         QObject* parent)
    : QAbstractItemModel(parent), fTree(tree), fIcons(icons), fNotifier(notifier)
{
    fTree.RegisterObserver(this);
}

TShellTreeItemModel::~TShellTreeItemModel()
{
    fTree.UnregisterObserver(this);
}

const TTreeNode* TShellTreeItemModel::NodeAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    const auto* node = static_cast<const TTreeNode*>(index.internalPointer());
    // An index kept past its node's removal names nothing.
    return fTree.HasNode(node) && node != &fTree.Base() ? node : nullptr;
}

QModelIndex TShellTreeItemModel::IndexOf(const TTreeNode* node) const
{
    if (!fTree.HasNode(node) || node == &fTree.Base())
        return {};
    return createIndex(node->Row(), 0, node);
}

QModelIndex TShellTreeItemModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0)
        return {};
    const TTreeNode* node = parent.isValid() ? NodeAt(parent) : &fTree.Base();
    const TTreeNode* child = node ? fTree.Child(node, row) : nullptr;
    return child ? createIndex(row, 0, child) : QModelIndex();
}

QModelIndex TShellTreeItemModel::parent(const QModelIndex& index) const
{
    const TTreeNode* node = NodeAt(index);
    if (!node || node->Parent() == &fTree.Base())
        return {};
    return IndexOf(node->Parent());
}

int TShellTreeItemModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const TTreeNode* node = parent.isValid() ? NodeAt(parent) : &fTree.Base();
    return node ? node->Count() : 0;
}

int TShellTreeItemModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TShellTreeItemModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return fTree.Base().Count() > 0;
    const TTreeNode* node = NodeAt(parent);
    return node && (node->HasButton() || node->Count() > 0);
}

bool TShellTreeItemModel::canFetchMore(const QModelIndex& parent) const
{
    // Nothing is listed while a change is being announced: the tree is in
    // the middle of it, and the rows come when the view next asks.
    const TTreeNode* node = NodeAt(parent);
    return fAnnouncing == 0 && node && !node->Filled() && node->HasButton();
}

void TShellTreeItemModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        fTree.Fill(NodeAt(parent));
}

QIcon TShellTreeItemModel::IconOf(const TTreeNode* node, bool open) const
{
    const int index = fTree.IconIndex(node, open);
    if (fIcons && index >= 0) {
        const QIcon icon = fIcons->Icon(index);
        if (!icon.isNull())
            return icon;
    }
    const bool file = node->Kind() == TTreeNodeKind::nkArchive || node->Kind() == TTreeNodeKind::nkInnerArchive;
    return fProvider.icon(file ? QFileIconProvider::File : QFileIconProvider::Folder);
}

QVariant TShellTreeItemModel::data(const QModelIndex& index, int role) const
{
    const TTreeNode* node = NodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(node->Text());
    case Qt::EditRole:
        return QString::fromStdString(fTree.EditText(node));
    case Qt::DecorationRole:
        return IconOf(node, false);
    case Qt::ForegroundRole:
        // Hidden folders are drawn dimmed, as cut items are.
        if (fTree.IsHidden(node))
            return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

bool TShellTreeItemModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const TTreeNode* node = NodeAt(index);
    if (role != Qt::EditRole || !node)
        return false;
    try {
        return fTree.Rename(node, value.toString().toStdString());
    } catch (const std::exception& e) {
        ShowAfterEdit(*this, fNotifier, e.what());
        return false;
    }
}

Qt::ItemFlags TShellTreeItemModel::flags(const QModelIndex& index) const
{
    const TTreeNode* node = NodeAt(index);
    if (!node)
        return Qt::NoItemFlags;
    // Any node may start a drag; the window decides what it carries.
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (fTree.CanRename(node))
        result |= Qt::ItemIsEditable;
    return result;
}

void TShellTreeItemModel::TreeChanged(TShellTreeModel&, const TTreeChange& change)
{
    ++fAnnouncing;
    Announce(change);
    --fAnnouncing;
}

void TShellTreeItemModel::Announce(const TTreeChange& change)
{
    const bool before = change.Phase == TChangePhase::cpBefore;
    switch (change.Kind) {
    case TTreeChangeKind::tcInsert:
        if (before)
            beginInsertRows(IndexOf(change.Node), change.First, change.First + change.Count - 1);
        else
            endInsertRows();
        break;
    case TTreeChangeKind::tcRemove:
        if (before)
            beginRemoveRows(IndexOf(change.Node), change.First, change.First + change.Count - 1);
        else
            endRemoveRows();
        break;
    case TTreeChangeKind::tcChange: {
        const QModelIndex at = IndexOf(change.Node);
        if (at.isValid())
            emit dataChanged(at, at);
        break;
    }
    case TTreeChangeKind::tcLayout: {
        const QModelIndex parent = IndexOf(change.Node);
        QList<QPersistentModelIndex> parents;
        if (parent.isValid())
            parents.append(QPersistentModelIndex(parent));
        if (before) {
            emit layoutAboutToBeChanged(parents, QAbstractItemModel::VerticalSortHint);
            fLayoutIndexes = persistentIndexList();
            fLayoutNodes.clear();
            for (const QModelIndex& index : fLayoutIndexes)
                fLayoutNodes.push_back(NodeAt(index));
        } else {
            QModelIndexList moved;
            for (const TTreeNode* node : fLayoutNodes)
                moved.append(IndexOf(node));
            changePersistentIndexList(fLayoutIndexes, moved);
            fLayoutIndexes.clear();
            fLayoutNodes.clear();
            emit layoutChanged(parents, QAbstractItemModel::VerticalSortHint);
        }
        break;
    }
    case TTreeChangeKind::tcReset:
        if (before)
            beginResetModel();
        else
            endResetModel();
        break;
    case TTreeChangeKind::tcSelect:
        if (OnSelect)
            OnSelect(IndexOf(change.Node));
        break;
    case TTreeChangeKind::tcExpand:
        if (OnExpand)
            OnExpand(IndexOf(change.Node), change.Expanded);
        break;
    }
}

#pragma once

// The Qt item model over one tree's logic (TShellTreeModel): one column, a
// row per node, children listed when the view first expands a node
// (canFetchMore / fetchMore), icons from the program's icon list with the
// desktop's folder and file icons where a node has none. It turns the tree's
// notices into Qt's row, layout and reset signals and hands the tree's own
// selection and expansion to the view through two callbacks. Renaming in
// place goes through setData; a refusal reaches the user as a message.
// User-interface thread.

#include <QAbstractItemModel>
#include <QFileIconProvider>
#include <functional>
#include <vector>

#include "shellviews/ShellTree.h"

class TQtShellInfo;

class TShellTreeItemModel : public QAbstractItemModel, public TShellTreeObserver {
public:
    // icons may be null (the desktop's generic icons only); notifier shows
    // rename failures and may be null. Both must outlive the model.
    TShellTreeItemModel(TShellTreeModel& tree, TQtShellInfo* icons, TUserNotifier* notifier,
                        QObject* parent = nullptr);
    ~TShellTreeItemModel() override;

    TShellTreeModel& Tree() const { return fTree; }
    // The node of an index; null for the invalid index and foreign indexes.
    const TTreeNode* NodeAt(const QModelIndex& index) const;
    // The index of a node; invalid for the base and unknown nodes.
    QModelIndex IndexOf(const TTreeNode* node) const;

    // The tree selected a node (invalid: none) or expanded / collapsed one.
    std::function<void(const QModelIndex&)> OnSelect;
    std::function<void(const QModelIndex&, bool)> OnExpand;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void TreeChanged(TShellTreeModel& tree, const TTreeChange& change) override;

private:
    QIcon IconOf(const TTreeNode* node, bool open) const;
    // Turns one notice of the tree into Qt's signals.
    void Announce(const TTreeChange& change);

    TShellTreeModel& fTree;
    TQtShellInfo* fIcons;
    TUserNotifier* fNotifier;
    QFileIconProvider fProvider;
    // The persistent indexes and their nodes while the tree reorders rows.
    QModelIndexList fLayoutIndexes;
    std::vector<const TTreeNode*> fLayoutNodes;
    // Above zero while a notice of the tree is turned into signals.
    int fAnnouncing = 0;
};

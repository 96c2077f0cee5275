#pragma once

// The items a thumbnail view draws, taken from the list the plain list view
// shows: the file list or the archive list. Order, selection, focus and the
// selection mark are that list's own, so switching between the plain list
// and thumbnails keeps them. Each source turns its list's rows into the
// captions' facts and the thread's work items, and its list's notices into
// three kinds of change. User-interface thread.

#include <functional>
#include <string>
#include <vector>

#include "shellviews/ArchiverList.h"
#include "shellviews/ShellList.h"
#include "shellviews/ThumbLayout.h"
#include "thumbnails/ThumbRequests.h"

enum class TThumbSourceChange : uint8_t {
    scItems,      // the rows came, went or were reordered: hand them over again and lay out
    scTexts,      // texts of rows changed: repaint
    scSelection,  // the selection or the focus changed
};

class TThumbSource {
public:
    virtual ~TThumbSource() = default;
    virtual int Count() const = 0;
    virtual TThumbItemFacts Facts(int row) const = 0;
    virtual TEnumImageInfo WorkItem(int row) const = 0;
    virtual std::string Key(int row) const = 0;
    virtual TThumbPlace Place() const = 0;
    // Whether there is a place to ask thumbnails for (not the collection lists).
    virtual bool HasThumbnails() const = 0;
    virtual const TListSelection& Selection() const = 0;
    virtual void Select(const TListSelection& selection) = 0;
    virtual bool CanRename(int row) const = 0;

    std::vector<TEnumImageInfo> WorkItems() const;
    std::vector<std::string> Keys() const;

    std::function<void(TThumbSourceChange)> OnChanged;
    // The row the selection mark (the anchor of Shift selections) is on.
    int Mark = -1;
};

class TFileThumbSource : public TThumbSource, public TShellListObserver {
public:
    explicit TFileThumbSource(TShellListModel& list);
    ~TFileThumbSource() override;
    TShellListModel& List() const { return fList; }

    int Count() const override { return fList.Count(); }
    TThumbItemFacts Facts(int row) const override;
    TEnumImageInfo WorkItem(int row) const override;
    std::string Key(int row) const override { return fList.KeyOf(row); }
    TThumbPlace Place() const override;
    bool HasThumbnails() const override;
    const TListSelection& Selection() const override { return fList.Selection(); }
    void Select(const TListSelection& selection) override;
    bool CanRename(int row) const override { return fList.CanRename(row); }

    void ListChanged(TShellListModel& list, const TFileListChange& change) override;

private:
    TShellListModel& fList;
    bool fSelecting = false;
};

class TArchiveThumbSource : public TThumbSource, public TArchiverListObserver {
public:
    explicit TArchiveThumbSource(TArchiverListModel& list);
    ~TArchiveThumbSource() override;
    TArchiverListModel& List() const { return fList; }

    int Count() const override { return fList.Count(); }
    TThumbItemFacts Facts(int row) const override;
    TEnumImageInfo WorkItem(int row) const override;
    std::string Key(int row) const override;
    TThumbPlace Place() const override;
    bool HasThumbnails() const override { return fList.Archiver() != nullptr; }
    const TListSelection& Selection() const override { return fList.Selection(); }
    void Select(const TListSelection& selection) override;
    // Members of an archive are never renamed.
    bool CanRename(int) const override { return false; }

    void ArchiverListChanged(TArchiverListModel& list, const TArchiverListChange& change) override;

private:
    TArchiverListModel& fList;
};

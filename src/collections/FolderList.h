#pragma once

// The virtual folders beside the file system (shelves, media catalogues,
// categories, search results) and the lists that own them. A list keeps its
// folders in display order, their icons, and tells every registered observer
// about each change before and after it happens; the observer that started an
// operation itself (the originator) is skipped. Lists, folders and their
// notices belong to the user-interface thread; workers never change them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "collections/FolderRecords.h"
#include "collections/IconStrip.h"
#include "common/ObserverList.h"

class TCustomFolderList;

enum class TListChangeKind : uint8_t {
    lcAdd,           // a folder was appended (after only)
    lcDelete,        // a folder is deleted (before and after)
    lcMove,          // one folder moves (before and after)
    lcMoveArray,     // several folders move (before and after)
    lcSort,          // the list is sorted (before and after)
    lcProperties,    // name, icon or comment of a folder changed (after only)
    lcUpdate,        // a medium finished loading its catalogue (after only)
    lcAddItem,       // members were added to a folder (after only)
    lcDeleteItem,    // a member is about to be removed (before only)
    lcChangeItem,    // a member's path changed (after only)
    lcChangeDevice,  // a catalogued medium was inserted or removed (after only)
};

// One notice. Pointers are valid only during the call.
struct TListChange {
    TListChangeKind Kind = TListChangeKind::lcAdd;
    TChangePhase Phase = TChangePhase::cpAfter;
    int Index = -1;           // the folder (all kinds but lcMoveArray)
    int Destination = -1;     // lcMove: where the folder goes
    int ItemIndex = -1;       // lcAddItem: the first new member; lcDeleteItem, lcChangeItem: the member
    int SortKey = 0;          // lcSort
    bool Descending = false;  // lcSort
    bool Inserted = false;    // lcChangeDevice: inserted, else removed
    const TMoveIndex* Moves = nullptr;     // lcMoveArray
    const TItemIdList* Item = nullptr;     // lcDeleteItem: the member; lcChangeItem: its old identity
    const TItemIdList* NewItem = nullptr;  // lcChangeItem
};

// A view that wants to hear about a list's changes. Called synchronously on
// the user-interface thread before the changing call returns.
class TFolderListObserver {
public:
    virtual ~TFolderListObserver() = default;
    virtual void FolderListChanged(TCustomFolderList& list, const TListChange& change) = 0;
};

// A virtual folder: a name, an icon number, a comment and its members.
class TCustomFolder {
public:
    virtual ~TCustomFolder() = default;
    TCustomFolder(const TCustomFolder&) = delete;
    TCustomFolder& operator=(const TCustomFolder&) = delete;

    TCustomFolderList* Owner() const { return fOwner; }
    // The folder's position in its list, -1 without a list.
    int Index() const;

    const std::string& Name() const { return fName; }
    int ImageIndex() const { return fImageIndex; }
    const std::string& Comment() const { return fComment; }
    // The comment on one line: every line break becomes one blank.
    const std::string& CommentLine() const { return fCommentLine; }

    // Each sends lcProperties when something changed; SetName (and
    // SetProperties with a new name) also raise the list's OnRenamed.
    void SetName(const std::string& name);
    void SetImage(int imageIndex);
    void SetComment(const std::string& comment);
    void SetProperties(const std::string& name, int imageIndex, const std::string& comment);

    virtual int Count() const = 0;
    // The first member with exactly this key (a path, or a name), -1 if none.
    virtual int IndexOf(std::string_view key) const = 0;
    virtual const std::string& Key(int index) const = 0;
    // Frees every member.
    virtual void Clear() = 0;

    // The members are complete in memory (a shelf from its creation on, a
    // medium once its catalogue was read).
    bool Loaded = false;

protected:
    TCustomFolder(TCustomFolderList* owner, std::string name) : fOwner(owner), fName(std::move(name)) {}
    // Sends a notice about this folder through the owner, if any.
    void Notify(TListChange change) const;

private:
    friend class TCustomFolderList;
    void StoreComment(const std::string& comment);

    TCustomFolderList* fOwner;
    std::string fName;
    int fImageIndex = 0;
    std::string fComment;
    std::string fCommentLine;
};

// Sets the list's originator for one operation and clears it afterwards.
class TOriginatorScope {
public:
    TOriginatorScope(TCustomFolderList& list, TFolderListObserver* observer);
    ~TOriginatorScope();
    TOriginatorScope(const TOriginatorScope&) = delete;
    TOriginatorScope& operator=(const TOriginatorScope&) = delete;

private:
    TCustomFolderList& fList;
};

class TCustomFolderList {
public:
    // Sort keys: by name, by comment then name.
    static constexpr int SortByName = 0;
    static constexpr int SortByComment = 1;

    virtual ~TCustomFolderList();
    TCustomFolderList(const TCustomFolderList&) = delete;
    TCustomFolderList& operator=(const TCustomFolderList&) = delete;

    // Appends a new folder and sends lcAdd; returns its index.
    int Add(const std::string& name, int imageIndex, const std::string& comment);
    // Sends lcDelete before and after, then raises OnDeleted. Nothing for an
    // index outside the list.
    void Delete(int index);
    void Clear();

    int Count() const { return static_cast<int>(fFolders.size()); }
    // The folder at index; null outside the list.
    TCustomFolder* Folder(int index) const;
    int IndexOf(const TCustomFolder* folder) const;
    // The first folder whose name equals name without case, or -1.
    int IndexOfName(std::string_view name) const;

    // Moves one folder (remove, then insert at to); nothing when an index is
    // outside the list.
    void Move(int from, int to);
    // Moves the folders at the ascending indices together to destination, in
    // their order. Nothing when an index is outside the list or out of order.
    void MoveItems(const std::vector<int32_t>& indices, int destination);
    // Sorts by key (SortByName, SortByComment, or a list's own keys); equal
    // keys keep their order.
    void Sort(int key, bool descending);

    void RegisterObserver(TFolderListObserver* observer);
    void UnregisterObserver(TFolderListObserver* observer);
    TFolderListObserver* Originator() const { return fObservers.Originator(); }
    void SetOriginator(TFolderListObserver* observer) { fObservers.SetOriginator(observer); }
    // Sends a notice to every observer but the originator.
    void Notify(const TListChange& change);

    // Icon strips, 16 pixels high (others are refused): frame 0 is the root's
    // icon, a folder of icon number i shows frame i + 1.
    void LoadIcons(const TBitmap& strip, TIconRegistry* registry);
    void LoadAltIcons(const TBitmap& strip, TIconRegistry* registry);
    // The registry index of icon number i's frame; -1 when there is none.
    int IconOf(int imageIndex) const;
    // The alternative frame's index when it exists, else IconOf.
    int AltIconOf(int imageIndex) const;
    // The index a view draws folder with: IconOf its icon number; a medium
    // whose disc is in a drive shows its alternative frame.
    virtual int FolderIcon(const TCustomFolder& folder) const { return IconOf(folder.ImageIndex()); }
    int RootIcon() const { return fSystemIconIndices.empty() ? -1 : fSystemIconIndices[0]; }
    // The registry index of every frame, in strip order.
    const std::vector<int>& SystemIconIndices() const { return fSystemIconIndices; }
    const std::vector<int>& AltSystemIconIndices() const { return fAltSystemIconIndices; }
    const std::vector<TIconImage>& Images() const { return fImages; }
    const std::vector<TIconImage>& AltImages() const { return fAltImages; }

    // Raised after a folder was deleted and after a folder was renamed, with
    // the list, the index and the old name.
    std::function<void(TCustomFolderList&, int, const std::string&)> OnDeleted;
    std::function<void(TCustomFolderList&, int, const std::string&)> OnRenamed;

protected:
    TCustomFolderList(std::string iconPrefix, std::string altIconPrefix);

    // The folder class of the list.
    virtual std::unique_ptr<TCustomFolder> CreateFolder(const std::string& name) = 0;
    // Shelf and category lists mark new folders loaded.
    virtual bool LoadedOnCreation() const { return false; }
    // <0, 0, >0 for the sort key; the base knows name and comment.
    virtual int CompareFolders(const TCustomFolder& a, const TCustomFolder& b, int key) const;
    // Adds a folder made elsewhere (media catalogues read from disc).
    int AddFolder(std::unique_ptr<TCustomFolder> folder);

private:
    std::vector<std::unique_ptr<TCustomFolder>> fFolders;
    TObserverList<TFolderListObserver> fObservers;
    std::string fIconPrefix;
    std::string fAltIconPrefix;
    std::vector<TIconImage> fImages;
    std::vector<TIconImage> fAltImages;
    std::vector<int> fSystemIconIndices;
    std::vector<int> fAltSystemIconIndices;
};

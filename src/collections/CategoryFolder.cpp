#include "collections/CategoryFolder.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/SearchWalker.h"
#include "platform/Threads.h"
#include "base/Texts.h"

namespace {

TCategoryList& ListOf(TCustomFolderList* owner)
{
    auto* list = dynamic_cast<TCategoryList*>(owner);
    if (!list)
        throw EMirevaError(Tx("Ownerが正しくありません"));
    return *list;
}

// A category gathers files, sub-folders included; what they are sorted by
// is the category's own business.
TSearchConditions CategoryConditions()
{
    TSearchConditions conditions;
    conditions.TakeFolders = false;
    conditions.TakeFiles = true;
    conditions.Subfolders = true;
    return conditions;
}

}  // namespace

// ---- TCategorizeThread ----

struct TCategorizeThread::TShared {
    std::atomic<bool> Stop{false};
};

TCategorizeThread::TCategorizeThread(TDispatcher& dispatcher, TCategorySettings settings,
                                     std::vector<TCategoryInput> files, TDateTime now, std::weak_ptr<void> alive,
                                     TDone done)
    : fShared(std::make_shared<TShared>())
{
    fThread = std::thread([&dispatcher, shared = fShared, settings = std::move(settings), files = std::move(files), now,
                           alive = std::move(alive), done = std::move(done)]() mutable {
        LowerThreadPriority();
        // A failure leaves the category without sub-categories rather than
        // ending the program from a worker.
        auto tree = std::make_shared<TCategoryTree>();
        try {
            *tree = Categorize(settings, files, now, &shared->Stop);
        } catch (...) {
            *tree = TCategoryTree();
        }
        if (shared->Stop.load())
            return;
        dispatcher.Post([shared, alive, tree, done = std::move(done)] {
            if (shared->Stop.load() || alive.expired())
                return;
            done(std::move(*tree));
        });
    });
}

TCategorizeThread::~TCategorizeThread()
{
    Stop();
}

void TCategorizeThread::Stop()
{
    fShared->Stop = true;
    if (fThread.joinable())
        fThread.join();
}

// ---- TCategoryFolder ----

TCategoryFolder::TCategoryFolder(TCustomFolderList* owner, std::string name)
    : TSearchFolder(owner, std::move(name), ListOf(owner).Dispatcher(), ListOf(owner).Shelves()),
      fAlive(std::make_shared<TCategoryFolder*>(this))
{
    SetConditions(CategoryConditions());
    RegisterObserver(this);
}

TCategoryFolder::TCategoryFolder(TDispatcher& dispatcher, TGroupList* shelves, std::string name)
    : TSearchFolder(nullptr, std::move(name), dispatcher, shelves), fAlive(std::make_shared<TCategoryFolder*>(this))
{
    SetConditions(CategoryConditions());
    RegisterObserver(this);
}

TCategoryFolder::~TCategoryFolder()
{
    StopCategorize();
    fAlive.reset();
    UnregisterObserver(this);
    StopSearch();
}

void TCategoryFolder::AssignFrom(const TCategoryFolder& other)
{
    SetProperties(other.Name(), other.ImageIndex(), other.Comment());
    SetTargets(other.Targets());
    SetConditions(other.Conditions());
    fSettings = other.fSettings;
    ShowSubContents = other.ShowSubContents;
}

bool TCategoryFolder::Load()
{
    if (!MediaSource) {
        if (auto* list = dynamic_cast<TCategoryList*>(Owner()))
            MediaSource = list->MediaSource;
    }
    return StartSearch();
}

void TCategoryFolder::SearchDone()
{
    const bool skip = SkipCategorize;
    SkipCategorize = false;
    if (OnSearchDone)
        OnSearchDone(*this);
    if (skip) {
        Loaded = true;
        TSearchFolder::SearchDone();
        return;
    }
    StartCategorize();
}

void TCategoryFolder::StartCategorize()
{
    StopCategorize();
    // The snapshot: the thread never reads a record the window may change.
    std::vector<TCategoryInput> files;
    files.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i) {
        const TGroupFileInfo* info = ItemInfo(i);
        files.push_back({ExtractFileName(info->Path), info->Size, info->Modified});
    }
    std::weak_ptr<TCategoryFolder*> alive = fAlive;
    fThread = std::make_unique<TCategorizeThread>(Dispatcher(), fSettings, std::move(files), Now(), alive,
                                                  [alive](TCategoryTree tree) {
                                                      if (const auto folder = alive.lock())
                                                          (*folder)->TreeDone(std::move(tree));
                                                  });
}

void TCategoryFolder::StopCategorize()
{
    if (!fThread)
        return;
    fThread->Stop();
    fThread.reset();
}

void TCategoryFolder::TreeDone(TCategoryTree tree)
{
    // The thread has posted its last task: joining it takes no time.
    StopCategorize();
    fTree = std::move(tree);
    Loaded = true;
    if (Owner())
        TCustomFolder::Notify(TListChange{.Kind = TListChangeKind::lcUpdate, .Index = Index()});
    TSearchFolder::SearchDone();
}

std::vector<int> TCategoryFolder::MembersOf(std::string_view path, bool subContents) const
{
    std::vector<int> members;
    const TCategoryNode* node = fTree.Find(path);
    if (!node)
        return members;
    const auto take = [&](const TCategoryNode& n) {
        for (int32_t m : n.Members) {
            if (m >= 0 && m < Count())
                members.push_back(m);
        }
    };
    take(*node);
    if (subContents) {
        // Descendants follow their category directly in the tree's order.
        const std::string prefix = path.empty() ? std::string() : std::string(path) + "/";
        const auto& nodes = fTree.Nodes();
        for (size_t i = static_cast<size_t>(node - nodes.data()) + 1; i < nodes.size(); ++i) {
            if (!nodes[i].Path.starts_with(prefix))
                break;
            take(nodes[i]);
        }
    }
    return members;
}

void TCategoryFolder::Clear()
{
    fInClear = true;
    StopCategorize();
    fTree = TCategoryTree();
    Loaded = false;
    TSearchFolder::Clear();
    fInClear = false;
}

void TCategoryFolder::SearchChanged(TSearchFolder&, const TSearchChange& change)
{
    // Results taken away while no search runs (a shelf that delivered some
    // was deleted) would leave the tree pointing at other files: the
    // category is sorted again.
    if (change.Kind == TSearchChangeKind::scReset && change.Phase == TChangePhase::cpAfter && !fInClear &&
        !Searching() && (!fTree.Empty() || Categorizing()))
        StartCategorize();
}

// ---- TCategoryList ----

TCategoryList::TCategoryList() : TGroupList("Cgr", "Cgr_s"), fDispatcher(&fTasks), fShelves(nullptr) {}

TCategoryList::TCategoryList(TDispatcher& dispatcher, TGroupList* shelves)
    : TGroupList("Cgr", "Cgr_s"), fDispatcher(&dispatcher), fShelves(shelves)
{
}

std::unique_ptr<TCustomFolder> TCategoryList::CreateFolder(const std::string& name)
{
    return std::make_unique<TCategoryFolder>(this, name);
}

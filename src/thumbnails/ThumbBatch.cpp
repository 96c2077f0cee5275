#include "thumbnails/ThumbBatch.h"

#include <algorithm>

#include "base/PathUtils.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

bool LessWithoutCase(const std::string& a, const std::string& b)
{
    return CompareText(a, b) < 0;
}

}  // namespace

TThumbBatchLoad::TThumbBatchLoad(TThumbnailList& list, TEnumThumbsConfig config, TDispatcher& dispatcher,
                                 TThumbBatchObserver& observer)
    : fList(list), fConfig(std::move(config)), fDispatcher(dispatcher), fObserver(observer)
{
    fConfig.Batch = true;
}

TThumbBatchLoad::~TThumbBatchLoad()
{
    *fAlive = false;
    fFolders.clear();
    fArchives.clear();
    StopThread();
}

void TThumbBatchLoad::AddArchive(const std::string& path)
{
    if (std::find(fArchives.begin(), fArchives.end(), path) == fArchives.end())
        fArchives.push_back(path);
}

void TThumbBatchLoad::AddFolder(const std::string& folder)
{
    Walk(IncludeTrailingPathDelimiter(folder));
}

void TThumbBatchLoad::AddItem(const std::string& path)
{
    const std::string plain = ExcludeTrailingPathDelimiter(path);
    const TFileStatus status = QueryFile(plain);
    if (status.Kind == TFileKind::fkFolder) {
        Walk(IncludeTrailingPathDelimiter(plain));
        return;
    }
    const std::string ext = ExtractFileExt(plain);
    if (status.Kind == TFileKind::fkFile && fMedium.empty() && fConfig.Loaders && !ext.empty() &&
        fConfig.Loaders->IsArchiveExtension(ext))
        AddArchive(plain);
}

void TThumbBatchLoad::SetMedium(const std::string& name, const std::string& root)
{
    fMedium = name;
    fMediumRoot = name.empty() ? std::string() : IncludeTrailingPathDelimiter(root);
}

void TThumbBatchLoad::AddScope(const TThumbBatchScope& scope)
{
    if (!scope.Medium.empty())
        SetMedium(scope.Medium, scope.Folder);
    if (!scope.Folder.empty())
        AddFolder(scope.Folder);
    for (const std::string& member : scope.Members)
        AddItem(member);
}

void TThumbBatchLoad::Walk(const std::string& folder)
{
    // A folder reached twice (through a link back up the tree, or named
    // twice) is walked once, so a loop of links never makes the walk endless.
    std::string real;
    try {
        real = RealPath(folder);
    } catch (const std::exception&) {
        return;
    }
    if (std::find(fWalked.begin(), fWalked.end(), real) != fWalked.end())
        return;
    fWalked.push_back(real);

    std::vector<TDirEntry> entries;
    try {
        entries = ListDirectory(folder);
    } catch (const std::exception&) {
        return;  // a folder that cannot be read has nothing to load
    }
    const TLoaderSetPtr& loaders = fConfig.Loaders;
    std::vector<std::string> subfolders;
    TQueuedFolder queued{folder, {}};
    for (const TDirEntry& entry : entries) {
        const bool isFolder = entry.Status.Kind == TFileKind::fkFolder;
        const std::string ext = ExtractFileExt(entry.Name);
        const bool archive = !isFolder && loaders && !ext.empty() && loaders->IsArchiveExtension(ext);
        const bool picture = !isFolder && loaders && !ext.empty() && loaders->IsImageExtension(ext);
        if (entry.Status.Kind != TFileKind::fkFile && !isFolder)
            continue;
        if (!isFolder && !archive && !picture)
            continue;
        TEnumImageInfo item;
        item.Id = static_cast<int32_t>(queued.Items.size());
        item.Folder = isFolder ? folder + entry.Name + "/" : folder;
        item.Name = isFolder ? std::string() : entry.Name;
        item.Size = isFolder ? 0 : entry.Status.Size;
        item.Time = UnixToDateTime(entry.Status.ModifiedSeconds, entry.Status.ModifiedNanoseconds);
        item.Medium = fMedium;
        item.MediumRoot = fMediumRoot;
        item.Online = true;
        queued.Items.push_back(std::move(item));
        if (isFolder)
            subfolders.push_back(folder + entry.Name + "/");
        // A catalogue's archives are not opened: the media store keeps no
        // archive members.
        if (archive && fMedium.empty())
            AddArchive(folder + entry.Name);
    }
    if (!queued.Items.empty())
        fFolders.push_back(std::move(queued));
    std::sort(subfolders.begin(), subfolders.end(), LessWithoutCase);
    for (const std::string& sub : subfolders)
        Walk(sub);
}

void TThumbBatchLoad::Start()
{
    std::sort(fFolders.begin(), fFolders.end(),
              [](const TQueuedFolder& a, const TQueuedFolder& b) { return LessWithoutCase(a.Folder, b.Folder); });
    std::sort(fArchives.begin(), fArchives.end(), LessWithoutCase);
    fRunning = true;
    fArchivePhase = false;
    if (fFolders.empty()) {
        // Archives alone are not loaded: the question about them comes only
        // after folders, and a run without folders has nothing to ask after.
        fArchives.clear();
        End();
        return;
    }
    if (!fMedium.empty() && fPresent && !fPresent()) {
        fFolders.clear();
        End();
        return;
    }
    Next();
}

void TThumbBatchLoad::Abort()
{
    if (!fRunning)
        return;
    fFolders.clear();
    fArchives.clear();
    StopThread();
    End();
}

void TThumbBatchLoad::ThumbProgress(const std::string& text)
{
    fObserver.BatchProgress(text);
    if (!text.empty())
        return;
    // The thread reports its empty queue from inside its own report; it is
    // stopped in a task of its own, after the report has returned.
    const TEnumThumbsThread* thread = fThread.get();
    fDispatcher.Post([this, alive = fAlive, thread] {
        if (*alive && fRunning && fThread.get() == thread)
            Next();
    });
}

void TThumbBatchLoad::StopThread()
{
    if (!fThread)
        return;
    fThread->Stop();
    const TThumbCounts counts = fThread->Counts();
    fCounts.Made += counts.Made;
    fCounts.Reused += counts.Reused;
    fCounts.Failed += counts.Failed;
    fThread.reset();  // saves the thumbnails made and settles the index
}

void TThumbBatchLoad::Next()
{
    if (fFolders.empty() && !fArchives.empty() && !fArchivePhase) {
        if (fObserver.BatchAskArchives(fArchives.size()))
            fArchivePhase = true;
        else
            fArchives.clear();
    }
    StopThread();
    if (fFolders.empty() && fArchives.empty()) {
        End();
        return;
    }
    TEnumThumbsConfig config = fConfig;
    if (fFolders.empty()) {
        const std::string path = fArchives.front();
        fArchives.erase(fArchives.begin());
        config.Place = {ExtractFilePath(path), ExtractFileName(path), false, true};
        fThread = std::make_unique<TEnumThumbsThread>(fList, config, fDispatcher, *this, this);
        return;
    }
    TQueuedFolder folder = std::move(fFolders.front());
    fFolders.erase(fFolders.begin());
    config.Place = {folder.Folder, {}, !fMedium.empty(), true};
    std::vector<int32_t> ids;
    for (const TEnumImageInfo& item : folder.Items)
        ids.push_back(item.Id);
    fThread = std::make_unique<TEnumThumbsThread>(fList, config, fDispatcher, *this, this);
    fThread->SetItems(std::move(folder.Items));
    fThread->SetQueue(std::move(ids));
}

void TThumbBatchLoad::End()
{
    fRunning = false;
    fArchivePhase = false;
    fObserver.BatchFinished(fCounts);
}

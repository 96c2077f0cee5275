#include "collections/MediaLoader.h"

#include "base/Errors.h"
#include "collections/MediaFolder.h"
#include "collections/ShellFolder.h"
#include "common/DateTime.h"

namespace {

TDateTime WalkDate(const TTreeWalkTime& time)
{
    return time.Seconds == 0 && time.Nanoseconds == 0 ? 0 : UnixToDateTime(time.Seconds, time.Nanoseconds);
}

}  // namespace

std::unique_ptr<TCtFileInfo> CatalogueRecord(const std::string& root, const TTreeWalkEntry& entry)
{
    auto record = std::make_unique<TCtFileInfo>();
    record->Path = entry.RelativePath;
    record->Item = TItemIdList::FromPath(root == "/" ? "/" + entry.RelativePath : root + "/" + entry.RelativePath);
    record->IsDirectory = entry.IsDirectory;
    if (!entry.Found) {
        record->Attributes = -1;
        return record;
    }
    const size_t slash = entry.RelativePath.rfind('/');
    const bool hidden = entry.RelativePath[slash == std::string::npos ? 0 : slash + 1] == '.';
    record->Attributes = static_cast<int32_t>((entry.IsDirectory ? faDirectory : 0) | (hidden ? faHidden : 0));
    record->Size = entry.Size;
    record->Modified = WalkDate(entry.Modified);
    record->Created = WalkDate(entry.Created);
    record->Accessed = WalkDate(entry.Accessed);
    return record;
}

TCatalogueRecords BuildCatalogue(const std::string& root, const std::function<void(const std::string&)>& progress,
                                 const std::atomic<bool>* stop, TTreeWalkStats* stats)
{
    const std::string base = root.size() > 1 && root.back() == '/' ? root.substr(0, root.size() - 1) : root;
    TCatalogueRecords records;
    const TTreeWalkStats walked = WalkTree(
        base,
        [&](const TTreeWalkEntry& entry) {
            if (progress)
                progress(entry.RelativePath);
            records.push_back(CatalogueRecord(base, entry));
        },
        stop);
    if (stats)
        *stats = walked;
    return records;
}

// ---- TMediaLoadingThread ----

TMediaLoadingThread::TMediaLoadingThread(TMediaFolder& medium, std::string rootPath, TDispatcher& dispatcher)
    : fRootPath(std::move(rootPath)), fDispatcher(dispatcher), fToken(std::make_shared<TToken>())
{
    fToken->Medium = &medium;
    fThread = std::thread([this] { Run(); });
}

TMediaLoadingThread::~TMediaLoadingThread()
{
    Stop();
}

void TMediaLoadingThread::Stop()
{
    fToken->Alive = false;
    fStop = true;
    if (fThread.joinable() && fThread.get_id() != std::this_thread::get_id())
        fThread.join();
}

void TMediaLoadingThread::Run()
{
    // The token is copied: the reports must not touch this object, which the
    // medium may free before they run.
    const std::shared_ptr<TToken> token = fToken;
    auto records = std::make_shared<TCatalogueRecords>();
    std::string error;
    try {
        int count = 0;
        *records = BuildCatalogue(
            fRootPath,
            [&](const std::string& path) {
                if (++count % ProgressEvery != 1)
                    return;
                fDispatcher.Post([token, path] {
                    if (token->Alive && token->Medium->OnLoadProgress)
                        token->Medium->OnLoadProgress(*token->Medium, path, false);
                });
            },
            &fStop);
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "unknown failure";
    }
    // Nothing is handed over after a stop: its records are discarded here.
    if (fStop)
        return;
    fDispatcher.Post([token, records, error] {
        if (!token->Alive)
            return;
        TMediaFolder& medium = *token->Medium;
        token->Alive = false;
        // The thread has posted its last report: joining it cannot wait long.
        const std::unique_ptr<TMediaLoadingThread> self = medium.DetachLoader();
        if (error.empty()) {
            if (medium.OnLoadProgress)
                medium.OnLoadProgress(medium, std::string(), true);
            medium.InstallCatalogue(std::move(*records));
        }
        medium.Reloading = false;
        if (medium.OnLoaded)
            medium.OnLoaded(medium, error);
    });
}

void StartLoading(TMediaFolder& medium, const std::string& rootPath, TDispatcher& dispatcher, bool reload)
{
    medium.StopLoading();
    if (!reload)
        medium.ClearCatalogue();
    medium.AttachLoader(std::make_unique<TMediaLoadingThread>(medium, rootPath, dispatcher));
    medium.Reloading = reload;
}

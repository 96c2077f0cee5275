#include "browser/MarkerKeeper.h"

#include "app/AppCore.h"
#include "base/Errors.h"
#include "base/PathUtils.h"

namespace {

// How a load went, as one line for the user; empty when it went well.
std::string LoadProblem(const std::string& path, const TListLoadResult& result)
{
    if (result.Unreadable)
        return path + ": " + result.Error;
    if (result.Damaged)
        return path + ": " + result.Error;
    return {};
}

}  // namespace

TMarkerKeeper::TMarkerKeeper(TBrowserModel& model, const TAppCore& core)
    : fModel(model), fCore(core), fRecent(core.Folders().DataFolder), fMarkers(core.Folders().DataFolder)
{
    fModel.RegisterObserver(this);
}

TMarkerKeeper::~TMarkerKeeper()
{
    fModel.UnregisterObserver(this);
}

std::vector<std::string> TMarkerKeeper::Load()
{
    std::vector<std::string> problems;
    const int count = fCore.Options().Recent.Count;
    if (std::string p = LoadProblem(fRecent.Store().FilePath(), fRecent.Load(count)); !p.empty())
        problems.push_back(std::move(p));
    if (std::string p = LoadProblem(fMarkers.Store().FilePath(), fMarkers.Load()); !p.empty())
        problems.push_back(std::move(p));
    const std::vector<std::string>& old = fCore.SettingsLoadResult().OldRecentEntries;
    if (!old.empty() && fRecent.AddOldEntries(old, count) > 0) {
        try {
            fRecent.Save();
        } catch (const EMirevaError& e) {
            problems.push_back(e.what());
        }
    }
    return problems;
}

bool TMarkerKeeper::ShownImage(TNotedImage& image) const
{
    const TShownPlace place = fModel.ShownPlace();
    if (fModel.ListKind() == TListKind::lkSearch)
        return false;
    if (place.Kind != TPlaceKind::pkFolder && place.Kind != TPlaceKind::pkArchive)
        return false;
    const TPageViewer& viewer = fModel.Viewer();
    const int index = viewer.Primary().Index;
    const std::vector<std::string> images = fModel.Images();
    if (!viewer.Primary().HasBitmap() || index < 0 || index >= static_cast<int>(images.size()))
        return false;
    const std::string& path = images[static_cast<size_t>(index)];
    image = TNotedImage{};
    if (place.Kind == TPlaceKind::pkArchive) {
        image.Archive = place.ArchivePath;
        image.Folder = ArchiveLevelsOf(place.ArchiveFolder);
        image.FileName = path;
    } else {
        image.Folder = IncludeTrailingPathDelimiter(place.Folder);
        image.FileName = ExtractFileName(path);
    }
    image.Index = index;
    image.Count = static_cast<int32_t>(images.size());
    const int last = image.Count - 1;
    const int partner = viewer.Partner().HasBitmap() ? viewer.Partner().Index : -1;
    image.AtEnd = index == last || partner == last;
    return true;
}

bool TMarkerKeeper::Idle()
{
    const TRecentOptions& options = fCore.Options().Recent;
    const bool recorded = fRecent.RecordNoted(options.ExceptLast, Now());
    const bool trimmed = fRecent.Trim(options.Count);
    return recorded || trimmed;
}

void TMarkerKeeper::PictureClosing()
{
    fRecent.RecordNoted(fCore.Options().Recent.ExceptLast, Now());
}

std::vector<std::string> TMarkerKeeper::Close()
{
    std::vector<std::string> failures;
    Idle();
    for (auto save : {+[](TMarkerKeeper& k) { k.fRecent.Save(); }, +[](TMarkerKeeper& k) { k.fMarkers.Save(); }}) {
        try {
            save(*this);
        } catch (const EMirevaError& e) {
            failures.push_back(e.what());
        }
    }
    return failures;
}

bool TMarkerKeeper::SetMark()
{
    TNotedImage image;
    if (!ShownImage(image))
        return false;
    return fMarkers.SetMark(image, Now());
}

bool TMarkerKeeper::NextMarker()
{
    const int current = fModel.Viewer().Primary().HasBitmap() ? fModel.Viewer().Primary().Index : -1;
    const std::optional<int> next = fMarkers.NextMarker(current);
    const std::vector<std::string> images = fModel.Images();
    if (!next || *next >= static_cast<int>(images.size()))
        return false;
    return fModel.SelectAndShow(images[static_cast<size_t>(*next)]);
}

bool TMarkerKeeper::Open(const TMarkerPath& entry)
{
    return OpenMarkerEntry(entry, fCore.Options().Archive.Folder, fModel);
}

std::string TMarkerKeeper::SaveMarkers()
{
    try {
        fMarkers.Save();
    } catch (const EMirevaError& e) {
        return e.what();
    }
    return {};
}

std::string TMarkerKeeper::ReplaceMarkers(std::vector<TMarkerPath> entries)
{
    fMarkers.Replace(std::move(entries));
    return SaveMarkers();
}

TRememberedPicture TMarkerKeeper::Remembered(const TShownPlace& place, bool sameArchive) const
{
    const std::string key = PlaceKey(place);
    const TMarkerPath* entry = nullptr;
    switch (fCore.Options().List.OpenImageType) {
    case TOpenImageType::oiLastOpened: entry = fRecent.Find(key); break;
    case TOpenImageType::oiMarker: entry = fMarkers.Find(key); break;
    case TOpenImageType::oiFirst: return {};
    }
    return FindRememberedPicture(entry, place, fCore.Options().Archive.Folder, sameArchive);
}

void TMarkerKeeper::RebuildJumps()
{
    const TShownPlace place = fModel.ShownPlace();
    if (place.Kind != TPlaceKind::pkFolder && place.Kind != TPlaceKind::pkArchive)
        return;
    fMarkers.RebuildJumps(PlaceKey(place), fModel.Images(), place.Kind == TPlaceKind::pkArchive);
}

void TMarkerKeeper::BrowserChanged(TBrowserModel&, const TBrowserChange& change)
{
    if (change.Phase != TChangePhase::cpAfter)
        return;
    switch (change.Kind) {
    case TBrowserChangeKind::bcPlace:
        RebuildJumps();
        break;
    case TBrowserChangeKind::bcShown: {
        TNotedImage image;
        if (ShownImage(image))
            fRecent.Note(image);
        break;
    }
    default:
        break;
    }
}

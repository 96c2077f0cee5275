#include "browser/ChosenFile.h"

#include "base/PathUtils.h"
#include "base/Texts.h"

namespace {

bool IsArchive(const std::string& path, const TItemClassifier& extensions)
{
    const std::string ext = ExtractFileExt(path);
    return !ext.empty() && extensions.IsArchive && extensions.IsArchive(ext);
}

// An archive that reached this point was not entered by its list. Its
// extension may also name a picture format; such a file is shown as one,
// unless a picture is shown already, which showing it would replace.
bool CannotOpen(const std::string& path, const TItemClassifier& extensions, bool pictureShown)
{
    if (!IsArchive(path, extensions))
        return false;
    const std::string ext = ExtractFileExt(path);
    return pictureShown || !extensions.IsImage || !extensions.IsImage(ext);
}

TChosenFileResult Message(std::string text, TMessageIcon icon)
{
    return TChosenFileResult{TChosenOutcome::coMessage, std::move(text), icon, {}};
}

}  // namespace

TLinkTarget ResolveLinkTarget(const std::string& link)
{
    const std::string real = RealPath(link);
    if (real.empty())
        return {};
    return TLinkTarget{QueryFile(real).Kind, real};
}

TChosenFileResult DecideChosenFile(const TChosenFile& file, const TItemClassifier& extensions, bool pictureShown,
                                   const TLinkResolver& resolve)
{
    if (!file.InArchiveList && file.IsLink) {
        const TLinkTarget target = resolve ? resolve(file.Path) : TLinkTarget{};
        if (target.Kind == TFileKind::fkNone)
            return Message("'" + file.DisplayName + Tx("' の参照先が見つかりません  "), TMessageIcon::miInformation);
        if (target.Kind == TFileKind::fkFolder || IsArchive(target.Path, extensions))
            return TChosenFileResult{TChosenOutcome::coOpenPath, {}, TMessageIcon::miInformation, target.Path};
        // Any other target is shown through the link, which the image list
        // loads from its target. The link's own name does not count: it is
        // only a name, and the target is known to be no archive.
        return {};
    }
    if (CannotOpen(file.Path, extensions, pictureShown))
        return Message("'" + ExtractFileName(file.Path) + Tx("' は開けませんでした  "), TMessageIcon::miWarning);
    return {};
}

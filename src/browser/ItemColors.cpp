#include "browser/ItemColors.h"

#include "base/PathUtils.h"
#include "common/Text.h"

namespace {

bool IsSupportedImage(const std::string& ext, const TItemClassifier& extensions)
{
    // The program reads bitmaps itself, even when no loader list names them.
    return ext == ".BMP" || (extensions.IsImage && extensions.IsImage(ext));
}

bool Applies(TColorAttribute attribute, const TItemColorFacts& item, const std::string& ext,
             const TItemClassifier& extensions)
{
    switch (attribute) {
    case TColorAttribute::caOpenedImage:
        return item.ShownPage;
    case TColorAttribute::caSystem:
        return item.System && !item.ArchiveMember;
    case TColorAttribute::caHidden:
        return item.Hidden && !item.ArchiveMember;
    case TColorAttribute::caReadOnly:
        return item.ReadOnly && !item.ArchiveMember;
    case TColorAttribute::caFolder:
        return item.Folder;
    case TColorAttribute::caArchive:
        return !ext.empty() && extensions.IsArchive && extensions.IsArchive(ext);
    case TColorAttribute::caImage:
        return !ext.empty() && IsSupportedImage(ext, extensions);
    }
    return false;
}

}  // namespace

TItemColor ItemColor(const TItemColorFacts& item, TListKind kind, const TDerivedOptions& colors,
                     const TItemClassifier& extensions, TColor listText)
{
    if (IsCollectionList(kind))
        return TItemColor{listText, false};
    // A folder named "photos.jpg" is no picture and no archive: only files
    // are coloured by their extension.
    const std::string ext = item.Folder ? std::string() : UpperCase(ExtractFileExt(item.Name));
    for (const TAttrColorItem& entry : colors.AttrColors) {
        if (Applies(entry.Attribute, item, ext, extensions))
            return TItemColor{entry.Color, entry.Attribute == TColorAttribute::caOpenedImage};
    }
    if (!ext.empty()) {
        if (const TColor* color = colors.FindExtColor(ext))
            return TItemColor{*color, false};
    }
    return TItemColor{listText, false};
}

#include "browser/CollectionIcons.h"

#include <array>

#include "base/Errors.h"
#include "collections/IconStrip.h"
#include "common/Text.h"
#include "loading/ImgLoader.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

// Icon strips are a few kilobytes; a file far beyond any strip is no strip.
constexpr int64_t MaxStripFileSize = int64_t(16) << 20;

struct TKindNames {
    const char* Name;
    const char* AltSuffix;  // empty: no alternative strip of its own
    const char* LargeAltSuffix;
};

TKindNames NamesOf(TIconCollection kind)
{
    switch (kind) {
    case TIconCollection::icShelf:
        return {"Shelf", "_s", ""};
    case TIconCollection::icMedia:
        return {"Media", "_e", "_le"};
    case TIconCollection::icCategory:
        break;
    }
    return {"Category", "", ""};
}

// The first readable file of a name: as written, then all in lower case.
std::optional<TChosenStrip> ReadName(const std::string& programFolder, const std::string& name,
                                     const TStripReader& read)
{
    const std::string relative = "Icon/" + name;
    for (const std::string& candidate : {relative, LowerCase(relative)}) {
        const std::string path = programFolder + candidate;
        if (std::optional<TBitmap> strip = read(path))
            return TChosenStrip{path, std::move(*strip)};
    }
    return std::nullopt;
}

// A strip from base + ext, or, when that file is missing, from its "$" form
// (or from the "$" form alone); taken only at the height given. fromDollar
// receives whether the strip taken came from the "$" form.
TChosenStrip ChooseStrip(const std::string& programFolder, const std::string& base, const std::string& ext,
                         TIconSize size, bool dollarOnly, const TStripReader& read, bool* fromDollar = nullptr)
{
    std::optional<TChosenStrip> found;
    bool dollar = dollarOnly;
    if (!dollarOnly)
        found = ReadName(programFolder, base + ext, read);
    if (!found) {
        found = ReadName(programFolder, "$" + base + ext, read);
        dollar = true;
    }
    if (!found || found->Strip.Height() != IconSide(size))
        return {};
    if (fromDollar)
        *fromDollar = dollar;
    return std::move(*found);
}

}  // namespace

std::optional<TBitmap> ReadStripFile(const std::string& path)
{
    const TFileStatus status = QueryFile(path);
    if (status.Kind != TFileKind::fkFile || status.Size > MaxStripFileSize)
        return std::nullopt;
    try {
        const std::string bytes = ReadWholeFile(path, MaxStripFileSize);
        return DecodeBmpFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    } catch (const EMirevaError&) {
        // Unreadable or damaged: as if the file were not there.
        return std::nullopt;
    }
}

TCollectionStrips ChooseCollectionStrips(const std::string& programFolder, TIconCollection kind,
                                         const TStripReader& read)
{
    const TKindNames names = NamesOf(kind);
    TCollectionStrips strips;
    if (!read)
        return strips;
    strips.Normal = ChooseStrip(programFolder, names.Name, ".BMP", TIconSize::isSmall, false, read,
                                &strips.FromDollar);
    if (*names.AltSuffix != '\0')
        strips.Alt = ChooseStrip(programFolder, std::string(names.Name) + names.AltSuffix, ".BMP",
                                 TIconSize::isSmall, false, read);
    return strips;
}

TLargeStrips ChooseLargeStrips(const std::string& programFolder, TIconCollection kind, bool smallFromDollar,
                               const TStripReader& read)
{
    const TKindNames names = NamesOf(kind);
    TLargeStrips strips;
    if (kind == TIconCollection::icCategory || !read)
        return strips;
    strips.Normal = ChooseStrip(programFolder, std::string(names.Name) + "_l", ".bmp", TIconSize::isLarge,
                                smallFromDollar, read);
    if (*names.LargeAltSuffix != '\0')
        strips.Alt = ChooseStrip(programFolder, std::string(names.Name) + names.LargeAltSuffix, ".bmp",
                                 TIconSize::isLarge, smallFromDollar, read);
    return strips;
}

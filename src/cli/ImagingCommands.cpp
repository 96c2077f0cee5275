// mireva-cli scale, filter and rotate: the viewer's resamplers, filter chain
// and page turns on any picture the viewer reads. A gray picture stays gray;
// others are handled as 24-bit colour, as after loading.

#include <string>
#include <vector>

#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "cli/PictureFile.h"
#include "common/Bitmap.h"
#include "common/Text.h"
#include "imaging/FilterProc.h"
#include "imaging/FilterSets.h"
#include "imaging/ImgUtils.h"
#include "imaging/Stretch.h"
#include "base/Texts.h"

namespace {

// Writes the command's result and prints its size and kind.
void WritePicture(TCliContext& context, const std::string& path, const TBitmap& bitmap)
{
    WriteCliPicture(path, bitmap);
    context.Out << bitmap.Width() << 'x' << bitmap.Height() << ' ' << (bitmap.BitsPerPixel() == 8 ? "gray" : "color")
                << '\n';
}

// count integers separated by separator; ECliUsage naming the option
// otherwise.
std::vector<int32_t> Numbers(const std::string& text, char separator, size_t count, const char* option)
{
    std::vector<int32_t> values;
    for (const std::string& part : SplitString(text, separator)) {
        const std::optional<int32_t> v = TryStrToInt(Trim(part));
        if (!v)
            break;
        values.push_back(*v);
    }
    if (values.size() != count)
        throw ECliUsage(std::string(option) + " '" + text + "' is not " + std::to_string(count) + " numbers");
    return values;
}

ResampleMethod MethodNamed(const std::string& name)
{
    if (SameText(name, "bilinear"))
        return ResampleMethod::Bilinear;
    if (SameText(name, "bicubic"))
        return ResampleMethod::Bicubic;
    if (SameText(name, "area"))
        return ResampleMethod::AreaAverage;
    if (SameText(name, "lanczos3"))
        return ResampleMethod::Lanczos3;
    throw ECliUsage("unknown method '" + name + "' (bilinear, bicubic, area, lanczos3)");
}

TRotation TurnNamed(const std::string& name)
{
    const std::pair<const char*, TRotation> turns[] = {
        {"none", TRotation::rtNone},        {"r90", TRotation::rtRight90},
        {"l90", TRotation::rtLeft90},       {"180", TRotation::rt180},
        {"flipv", TRotation::rtFlipVertical},     {"fliph", TRotation::rtFlipHorizontal},
    };
    for (const auto& [text, mode] : turns)
        if (SameText(name, text))
            return mode;
    throw ECliUsage("unknown turn '" + name + "' (none, r90, l90, 180, flipv, fliph)");
}

}  // namespace

int RunScale(TCliContext& context)
{
    const std::optional<std::string> method = context.TakeOption("--method");
    const std::optional<std::string> size = context.TakeOption("--size");
    const std::optional<std::string> rect = context.TakeOption("--rect");
    const std::optional<std::string> at = context.TakeOption("--at");
    const std::vector<std::string> files = context.Positional(2);
    if (!method || !size)
        throw ECliUsage("--method and --size are needed");
    const ResampleMethod m = MethodNamed(*method);
    const std::vector<int32_t> wh = Numbers(LowerCase(*size), 'x', 2, "--size");
    const int width = wh[0], height = wh[1];
    if (width <= 0 || height <= 0)
        throw ECliUsage("--size needs a width and a height above 0");
    TVisibleRect visible{0, 0, width, height};
    if (rect) {
        const std::vector<int32_t> r = Numbers(*rect, ',', 4, "--rect");
        visible = TVisibleRect{r[0], r[1], r[2], r[3]};
        // The dispatcher silently ignores a rectangle it cannot produce; a
        // command must say so instead of writing the picture unchanged.
        if (visible.IsEmpty() || visible.Left < 0 || visible.Top < 0 || visible.Right > width ||
            visible.Bottom > height)
            throw ECliUsage("--rect must be a non-empty rectangle inside 0,0," + std::to_string(width) + "," +
                            std::to_string(height));
    }
    int x = 0, y = 0;
    if (at) {
        const std::vector<int32_t> p = Numbers(*at, ',', 2, "--at");
        x = p[0];
        y = p[1];
        if (x < 0 || y < 0)
            throw ECliUsage("--at must not be negative");
    }
    if (!TBitmap::SizeAllowed(static_cast<int64_t>(x) + visible.Width(), static_cast<int64_t>(y) + visible.Height(),
                              24))
        throw EInvalidGraphic(Tx("画像のサイズが大きすぎます"));

    TCliSettings settings(context);
    const TCliPicture picture = ReadCliPicture(settings, files[0]);
    if (picture.Loaded.Gray)
        StretchGrayBitmap(picture.Bitmap.get(), nullptr, width, m, x, y, visible, height);
    else
        StretchBitmap(picture.Bitmap.get(), nullptr, width, m, x, y, visible, height);
    WritePicture(context, files[1], *picture.Bitmap);
    return 0;
}

int RunFilter(TCliContext& context)
{
    const std::vector<std::string> texts = context.TakeOptions("--item");
    const std::vector<std::string> files = context.Positional(2);
    if (texts.empty())
        throw ECliUsage("give at least one --item \"KIND,PARAMETERS\"");
    TFilterList items;
    for (const std::string& text : texts) {
        std::optional<TFilterItem> item = ParseFilterItem(text);
        if (!item)
            throw ECliUsage("cannot read the filter item '" + text + "'");
        items.push_back(std::move(*item));
    }
    TCliSettings settings(context);
    TCliPicture picture = ReadCliPicture(settings, files[0]);
    bool gray = picture.Loaded.Gray;
    ApplyFilters(*picture.Bitmap, items, gray);
    WritePicture(context, files[1], *picture.Bitmap);
    return 0;
}

int RunRotate(TCliContext& context)
{
    const std::optional<std::string> turn = context.TakeOption("--turn");
    const bool portraitOnly = context.TakeFlag("--portrait-only");
    const std::vector<std::string> files = context.Positional(2);
    if (!turn)
        throw ECliUsage("--turn is needed");
    const TRotation mode = TurnNamed(*turn);
    TCliSettings settings(context);
    const TCliPicture picture = ReadCliPicture(settings, files[0]);
    RotateBitmap(*picture.Bitmap, mode, portraitOnly, picture.Loaded.Gray);
    WritePicture(context, files[1], *picture.Bitmap);
    return 0;
}

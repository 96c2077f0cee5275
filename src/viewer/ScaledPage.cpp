#include "viewer/ScaledPage.h"
#include "base/Texts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Copies a block of rows between two bitmaps of the same depth.
void CopyBlock(const TBitmap& from, int fromX, int fromY, TBitmap& to, int toX, int toY, int width, int height)
{
    const size_t bpp = static_cast<size_t>(from.BytesPerPixel());
    const size_t bytes = static_cast<size_t>(width) * bpp;
    for (int row = 0; row < height; ++row)
        std::memcpy(to.ScanLine(toY + row) + static_cast<size_t>(toX) * bpp,
                    from.ScanLine(fromY + row) + static_cast<size_t>(fromX) * bpp, bytes);
}

}  // namespace

bool TScaledPage::SamePicture(const TPageRenderInput& page) const
{
    // Owner comparison: two pointers share an owner only when they are the
    // same picture, even if the old one has been freed meanwhile.
    const bool same = !fSource.owner_before(page.Source) && !page.Source.owner_before(fSource);
    return same && !fSource.expired() && fDisplay == page.Display && fRatio == page.Ratio && fExact == page.Exact;
}

void TScaledPage::Clear()
{
    fArea.Clear();
    fCache = TBitmap();
    fSource.reset();
    fDisplay = TSize{};
    fRatio = 1.0;
    fExact = false;
}

TRenderStats TScaledPage::Render(const TPageRenderInput& input, TPageScaler& scaler)
{
    TRenderStats stats;
    TPageRenderInput page = input;
    if (!page.Source || page.Source->IsEmpty() || page.Display.IsEmpty() || page.PageRect.IsEmpty()) {
        Clear();
        return stats;
    }
    // Everything from here on is in device pixels.
    if (!(page.Ratio > 0.0))
        page.Ratio = 1.0;
    if (page.Ratio != 1.0) {
        page.Display = DeviceSize(page.Display, page.Ratio);
        page.PageRect = DeviceRect(page.PageRect, page.Ratio);
        page.Client = DeviceSize(page.Client, page.Ratio);
        if (page.Display.IsEmpty() || page.PageRect.IsEmpty()) {
            Clear();
            return stats;
        }
    }
    // Only a page shown at exactly its own size can be copied.
    page.Exact = page.Exact && page.Display == TSize{page.Source->Width(), page.Source->Height()};
    if (!SamePicture(page))
        fArea.Reset();
    fSource = page.Source;
    fDisplay = page.Display;
    fRatio = page.Ratio;
    fExact = page.Exact;
    fPageLeftTop = page.PageRect.TopLeft();

    const TRenderPlan plan = fArea.Update(page.PageRect, page.Client);
    if (!plan.Visible) {
        // Nothing of the page is on screen: its cache goes, and scrolling
        // back scales the visible part afresh.
        fCache = TBitmap();
        return stats;
    }
    const TBitmap& source = *page.Source;
    EnsureCache(plan, source.BitsPerPixel());
    if (plan.Keep)
        stats.PixelsKept = static_cast<int64_t>(plan.KeepSource.Width()) * plan.KeepSource.Height();

    for (const TRect& region : plan.Regions) {
        const int x = region.Left - plan.Area.Left;
        const int y = region.Top - plan.Area.Top;
        stats.PixelsScaled += static_cast<int64_t>(region.Width()) * region.Height();
        if (page.Exact) {
            CopyBlock(source, region.Left, region.Top, fCache, x, y, region.Width(), region.Height());
            ++stats.RegionsCopied;
        } else {
            ++stats.RegionsScaled;
            scaler.Scale(source, page.Gray, fCache, page.Display.Width, page.Display.Height, x, y, region);
        }
    }
    return stats;
}

void TScaledPage::EnsureCache(const TRenderPlan& plan, int bitsPerPixel)
{
    const bool fits = !fCache.IsEmpty() && fCache.BitsPerPixel() == bitsPerPixel &&
                      fCache.Width() >= plan.CacheSize.Width && fCache.Height() >= plan.CacheSize.Height;
    if (fits) {
        if (plan.Keep)
            MoveKept(plan);
        return;
    }
    // The cache grows (it never shrinks while the page is shown); what is
    // kept moves into the new one.
    TBitmap grown(std::max(plan.CacheSize.Width, 1), std::max(plan.CacheSize.Height, 1), bitsPerPixel);
    // 8-bit pages are always gray once prepared.
    if (bitsPerPixel == 8)
        grown.SetGrayPalette();
    if (plan.Keep && fCache.BitsPerPixel() == bitsPerPixel)
        CopyBlock(fCache, plan.KeepSource.Left, plan.KeepSource.Top, grown, plan.KeepDest.X, plan.KeepDest.Y,
                  plan.KeepSource.Width(), plan.KeepSource.Height());
    fCache = std::move(grown);
}

void TScaledPage::MoveKept(const TRenderPlan& plan)
{
    const TRect& from = plan.KeepSource;
    const TPoint to = plan.KeepDest;
    if (from.Left == to.X && from.Top == to.Y)
        return;
    const size_t bpp = static_cast<size_t>(fCache.BytesPerPixel());
    const size_t bytes = static_cast<size_t>(from.Width()) * bpp;
    const int height = from.Height();
    // Rows are moved in the order that never overwrites a row still to be
    // moved; memmove takes care of the overlap within a row.
    const bool downwards = to.Y > from.Top;
    for (int i = 0; i < height; ++i) {
        const int row = downwards ? height - 1 - i : i;
        std::memmove(fCache.ScanLine(to.Y + row) + static_cast<size_t>(to.X) * bpp,
                     fCache.ScanLine(from.Top + row) + static_cast<size_t>(from.Left) * bpp, bytes);
    }
}

std::string ScaleFailedMessage(TSize picture, TSize display)
{
    char text[160];
    std::snprintf(text, sizeof text, Tx("縮小処理に失敗しました  \n\n画像: %d x %d\n表示: %d x %d"), picture.Width,
                  picture.Height, display.Width, display.Height);
    return text;
}

#include "viewer/Loupe.h"

#include <algorithm>

#include "viewer/PageLayout.h"

namespace {

// The magnification of a page along each axis: the factor, or for the
// picture's own pixels the picture's size over the displayed size.
struct TMagnify {
    double X = 1.0;
    double Y = 1.0;
};

TMagnify MagnifyOf(const TPageLayout& layout, int page, int scale)
{
    if (scale > 0)
        return TMagnify{LoupeScales[scale], LoupeScales[scale]};
    const TSize display = layout.PageSize(page);
    const TSize picture = layout.PictureSize(page);
    return TMagnify{static_cast<double>(picture.Width) / display.Width,
                    static_cast<double>(picture.Height) / display.Height};
}

TSize VirtualSize(const TPageLayout& layout, int page, int scale)
{
    if (scale == 0)
        return layout.PictureSize(page);
    const TSize display = layout.PageSize(page);
    const double k = LoupeScales[scale];
    return TSize{std::max(1, RoundHalfAway(display.Width * k)), std::max(1, RoundHalfAway(display.Height * k))};
}

}  // namespace

int StepLoupeSize(int size, int change, bool enlarge)
{
    return std::clamp(enlarge ? size + change : size - change, LoupeSizeMin, LoupeSizeMax);
}

int StepLoupeScale(int scale, bool enlarge)
{
    return std::clamp(enlarge ? scale + 1 : scale - 1, 0, LoupeScaleCount - 1);
}

int StepGridInterval(int interval, int change, bool enlarge)
{
    // The settings accept spacings down to 2; the commands stop at 5.
    return std::clamp(enlarge ? interval + change : interval - change, GridIntervalMin, GridIntervalMax);
}

TRect LoupeSquare(TPoint pointer, int size, TSize client, bool confine)
{
    TRect square = TRect::FromSize(pointer.X - size / 2, pointer.Y - size / 2, size, size);
    if (!confine)
        return square;
    // Pushed back from the right and bottom first, so that a square larger
    // than the view keeps its top-left corner in the view.
    const int dx = std::max(0, square.Right - client.Width);
    const int dy = std::max(0, square.Bottom - client.Height);
    square = square.Offset(-dx, -dy);
    return square.Offset(std::max(0, -square.Left), std::max(0, -square.Top));
}

TLoupeView LoupeGeometry(const TPageLayout& layout, TPoint pointer, const TViewLoupeOptions& options)
{
    TLoupeView view;
    if (!layout.PageShown(0) || layout.PageSize(0).IsEmpty() || layout.PictureSize(0).IsEmpty())
        return view;
    const int scale = std::clamp(options.Scale, 0, LoupeScaleCount - 1);
    const int size = std::clamp(options.Size, LoupeSizeMin, LoupeSizeMax);
    view.Square = LoupeSquare(pointer, size, layout.ClientSize(), options.Confine);
    view.Content = TRect{view.Square.Left + LoupeBorder, view.Square.Top + LoupeBorder,
                         view.Square.Right - LoupeBorder, view.Square.Bottom - LoupeBorder};
    const TSize content{view.Content.Width(), view.Content.Height()};
    // What lies under the pointer is drawn where the pointer is: the
    // content's centre, or off-centre in a square the view has confined.
    const TPoint centre{pointer.X - view.Content.Left, pointer.Y - view.Content.Top};

    const TRect box0 = layout.PageRect(0);
    const TMagnify m0 = MagnifyOf(layout, 0, scale);
    TLoupePage& page0 = view.Pages[0];
    page0.Virtual = VirtualSize(layout, 0, scale);
    const int left0 = centre.X - RoundHalfAway((pointer.X - box0.Left) * m0.X);
    const int top0 = centre.Y - RoundHalfAway((pointer.Y - box0.Top) * m0.Y);
    page0.Place = TRect::FromSize(left0, top0, page0.Virtual.Width, page0.Virtual.Height);

    if (layout.PageShown(1) && !layout.PageSize(1).IsEmpty() && !layout.PictureSize(1).IsEmpty()) {
        // Page 1 keeps its place beside page 0: the gap between them grows
        // with page 0's magnification, and their centres keep their height
        // difference, so pages of different magnification never overlap.
        const TRect box1 = layout.PageRect(1);
        TLoupePage& page1 = view.Pages[1];
        page1.Virtual = VirtualSize(layout, 1, scale);
        int left1 = 0;
        if (box1.Left >= box0.Right)
            left1 = page0.Place.Right + RoundHalfAway((box1.Left - box0.Right) * m0.X);
        else
            left1 = page0.Place.Left - RoundHalfAway((box0.Left - box1.Right) * m0.X) - page1.Virtual.Width;
        const double centreShift = ((box1.Top + box1.Bottom) - (box0.Top + box0.Bottom)) / 2.0;
        const int top1 = page0.Place.Top + RoundHalfAway((page0.Virtual.Height - page1.Virtual.Height) / 2.0 +
                                                         centreShift * m0.Y);
        page1.Place = TRect::FromSize(left1, top1, page1.Virtual.Width, page1.Virtual.Height);
    }

    const TRect contentRect{0, 0, content.Width, content.Height};
    for (int p = 0; p < 2; ++p) {
        TLoupePage& page = view.Pages[static_cast<size_t>(p)];
        if (page.Virtual.IsEmpty())
            continue;
        page.Shown = true;
        page.Exact = page.Virtual == layout.PictureSize(p);
        // Only the part of the magnified page inside the content is ever
        // read: over the gap between the pages, beyond a page's edge or
        // with a page smaller than the loupe, the rest is background.
        const TRect visible = page.Place.Intersect(contentRect);
        page.Region = visible.IsEmpty() ? TRect{} : visible.Offset(-page.Place.Left, -page.Place.Top);
    }
    return view;
}

TRenderStats TLoupeRenderer::Render(const TLoupeView& view, const std::array<TLoupeSource, 2>& sources,
                                    TPageScaler& scaler, double ratio)
{
    TRenderStats stats;
    const TSize content{view.Content.Width(), view.Content.Height()};
    for (int p = 0; p < 2; ++p) {
        const TLoupePage& page = view.Pages[static_cast<size_t>(p)];
        const TLoupeSource& source = sources[static_cast<size_t>(p)];
        TPageRenderInput input;
        if (page.Shown && source.Bitmap && !content.IsEmpty()) {
            input.Source = source.Bitmap;
            input.Gray = source.Gray;
            input.Display = page.Virtual;
            // On a scaled screen the device size decides: Render copies a
            // magnified page whose device size is its picture's.
            input.Exact = ratio == 1.0 ? page.Exact : true;
            input.PageRect = page.Place;
            input.Client = content;
            input.Ratio = ratio;
        }
        stats.Add(fPages[p].Render(input, scaler));
    }
    return stats;
}

void TLoupeRenderer::Clear()
{
    fPages[0].Clear();
    fPages[1].Clear();
}

TGridLines GridLines(int width, int height, int interval)
{
    TGridLines lines;
    lines.Center = width / 2;
    if (interval <= 0 || width <= 0 || height <= 0)
        return lines;
    const int half = width / 2;
    for (int n = 1; n <= half / interval; ++n) {
        lines.Vertical.push_back(half - n * interval);
        lines.Vertical.push_back(half + n * interval);
    }
    for (int n = 1; n <= height / interval; ++n)
        lines.Horizontal.push_back(n * interval);
    return lines;
}

// Draws the sample book the viewer opens when it is started without a path:
// a cover, portrait pages with panels, figures, lines of text and page
// numbers, and a picture spanning two pages, as numbered bitmap files.
//
//   mireva-make-sample FOLDER
//
// The pages mix the layouts a reader meets: 24-bit colour (cover, spread) and
// 8-bit with a palette (the inner pages).

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "SampleCanvas.h"
#include "common/AtomicSave.h"
#include "common/Bitmap.h"
#include "common/PathUtils.h"
#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"

namespace {

constexpr int PageWidth = 600;
constexpr int PageHeight = 848;
constexpr int PageCount = 12;
constexpr int SpreadFirstPage = 6;  // pages 6 and 7 are one picture

// Palette of the inner pages.
enum TInk : uint8_t { inBlack, inWhite, inPaper, inLightTone, inMidTone, inDarkTone, inRed, inBlue, inGreen, inSkin };

const TRGBQuad InkColors[] = {
    {0x10, 0x10, 0x10, 0}, {0xFF, 0xFF, 0xFF, 0}, {0xDD, 0xEE, 0xF4, 0}, {0xC0, 0xCC, 0xD0, 0}, {0x8C, 0x96, 0x9A, 0},
    {0x44, 0x48, 0x4A, 0}, {0x2B, 0x39, 0xC0, 0}, {0xDC, 0xA8, 0x6F, 0}, {0x3A, 0x8C, 0x5D, 0}, {0xA5, 0xC9, 0xF1, 0},
};

void Save(const std::string& folder, const std::string& name, const TBitmap& bitmap)
{
    const std::vector<uint8_t> bytes = EncodeBmpFile(bitmap);
    SaveFileAtomically(JoinPath(folder, name),
                       std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void CenteredText(TSampleCanvas& canvas, int centerX, int y, const std::string& text, int scale, uint32_t color)
{
    canvas.Text(centerX - TSampleCanvas::TextWidth(text, scale) / 2, y, text, scale, color);
}

// Lines of "text": short bars of a fixed height with ragged right ends.
void TextLines(TSampleCanvas& canvas, int left, int top, int right, int bottom, int seed, uint32_t color)
{
    int line = 0;
    for (int y = top; y + 8 <= bottom; y += 18, ++line) {
        const int ragged = ((seed * 37 + line * 53) % 5) * (right - left) / 12;
        canvas.FillRect(left, y, right - ragged, y + 8, color);
    }
}

// A figure: a head, a body and two arms, standing on baseY.
void Figure(TSampleCanvas& canvas, int centerX, int baseY, int size, uint32_t body)
{
    canvas.FillTriangle(centerX - size / 2, centerX + size / 2, baseY, centerX, baseY - size, body);
    canvas.Line(centerX - size / 2, baseY - size * 3 / 4, centerX + size / 2, baseY - size * 3 / 4, 4, inBlack);
    canvas.FillCircle(centerX, baseY - size - size / 4, size / 4 + 2, inBlack);
    canvas.FillCircle(centerX, baseY - size - size / 4, size / 4, inSkin);
}

// A speech bubble with a few short lines in it.
void Bubble(TSampleCanvas& canvas, int cx, int cy, int radius, int seed)
{
    canvas.FillCircle(cx, cy, radius + 3, inBlack);
    canvas.FillCircle(cx, cy, radius, inWhite);
    TextLines(canvas, cx - radius * 6 / 10, cy - radius / 2, cx + radius * 6 / 10, cy + radius / 2, seed, inDarkTone);
}

void Panel(TSampleCanvas& canvas, int left, int top, int right, int bottom, int seed)
{
    static const uint8_t tones[] = {inWhite, inLightTone, inWhite, inBlue};
    canvas.FillRect(left, top, right, bottom, tones[seed % 4]);
    const int width = right - left;
    const int height = bottom - top;
    if (seed % 3 == 0) {
        // Speed lines from the panel's corner.
        for (int i = 0; i < 12; ++i)
            canvas.Line(left, top, left + width * i / 11, bottom - 1, 1, inMidTone);
    }
    if (tones[seed % 4] == inBlue)
        canvas.FillRect(left, top + height * 2 / 3, right, bottom, inGreen);
    // Figures and the bubble move from panel to panel, as they do in a book.
    const int size = std::min(width, height) / 3;
    const bool bubbleLeft = seed % 2 == 0;
    const int figureX = bubbleLeft ? left + width * 2 / 3 : left + width / 3;
    Figure(canvas, figureX, bottom - 10, size, seed % 2 ? inRed : inDarkTone);
    if (width > 180 && seed % 4 != 1)
        Figure(canvas, bubbleLeft ? left + width / 4 : right - width / 5, bottom - 10, size * 4 / 5, inMidTone);
    const int radius = std::min(width, height) / 5;
    const int bubbleX = bubbleLeft ? left + radius + 20 : right - radius - 20;
    Bubble(canvas, bubbleX, top + radius + 20, radius, seed);
    canvas.Frame(left, top, right, bottom, 4, inBlack);
}

void PageNumber(TSampleCanvas& canvas, int centerX, int page, uint32_t color)
{
    CenteredText(canvas, centerX, canvas.Height() - 40, std::to_string(page), 3, color);
}

TBitmap InnerPage(int page)
{
    TBitmap bitmap(PageWidth, PageHeight, 8);
    bitmap.Palette().assign(std::begin(InkColors), std::end(InkColors));
    bitmap.SetLoadedFormat(PixelFormat::Bits8);
    TSampleCanvas canvas(bitmap);
    canvas.FillRect(0, 0, PageWidth, PageHeight, inPaper);
    const int left = 36, right = PageWidth - 36, top = 40, bottom = PageHeight - 64, gap = 14;
    const int midX = (left + right) / 2, midY = (top + bottom) / 2;
    switch (page % 4) {
    case 0:  // three tiers
        for (int tier = 0; tier < 3; ++tier) {
            const int y0 = top + (bottom - top + gap) * tier / 3;
            const int y1 = top + (bottom - top + gap) * (tier + 1) / 3 - gap;
            Panel(canvas, left, y0, right, y1, page + tier);
        }
        break;
    case 1:  // a wide panel over two
        Panel(canvas, left, top, right, midY - gap / 2, page);
        Panel(canvas, left, midY + gap / 2, midX - gap / 2, bottom, page + 1);
        Panel(canvas, midX + gap / 2, midY + gap / 2, right, bottom, page + 2);
        break;
    case 2:  // four panels
        Panel(canvas, left, top, midX - gap / 2, midY - gap / 2, page);
        Panel(canvas, midX + gap / 2, top, right, midY - gap / 2, page + 1);
        Panel(canvas, left, midY + gap / 2, midX - gap / 2, bottom, page + 2);
        Panel(canvas, midX + gap / 2, midY + gap / 2, right, bottom, page + 3);
        break;
    default:  // one large panel over a block of text
        Panel(canvas, left, top, right, top + (bottom - top) * 3 / 5, page);
        TextLines(canvas, left, top + (bottom - top) * 3 / 5 + 30, right, bottom, page, inDarkTone);
        break;
    }
    PageNumber(canvas, PageWidth / 2, page, inBlack);
    return bitmap;
}

void Landscape(TSampleCanvas& canvas, int width, int height)
{
    canvas.Gradient(0, 0, width, height * 2 / 3, 0x2B5FA8, 0xF6C28B);
    canvas.FillCircle(width * 3 / 4, height * 2 / 5, height / 10, 0xFFF1B0);
    canvas.FillTriangle(-width / 6, width / 2, height * 2 / 3, width / 6, height / 4, 0x4B5A7A);
    canvas.FillTriangle(width / 4, width, height * 2 / 3, width * 5 / 8, height / 3, 0x39465F);
    canvas.FillTriangle(width / 2, width * 7 / 6, height * 2 / 3, width * 7 / 8, height * 2 / 5, 0x57688A);
    canvas.Gradient(0, height * 2 / 3, width, height, 0x4F7F3A, 0x2E4F22);
    for (int i = 0; i < 5; ++i) {
        const int x = width / 5 + i * width / 9;
        const int y = height / 6 + (i % 2) * height / 20;
        canvas.Line(x - 14, y - 6, x, y, 3, 0x202020);
        canvas.Line(x, y, x + 14, y - 6, 3, 0x202020);
    }
}

TBitmap Cover()
{
    TBitmap bitmap(PageWidth, PageHeight, 24);
    bitmap.SetLoadedFormat(PixelFormat::Bits24);
    TSampleCanvas canvas(bitmap);
    Landscape(canvas, PageWidth, PageHeight);
    canvas.FillRect(0, 110, PageWidth, 300, 0xF7F3EA);
    canvas.FillRect(0, 110, PageWidth, 122, 0xC0392B);
    canvas.FillRect(0, 288, PageWidth, 300, 0xC0392B);
    CenteredText(canvas, PageWidth / 2, 150, "SAMPLE BOOK", 8, 0x1F2A44);
    CenteredText(canvas, PageWidth / 2, 232, "MIREVA", 5, 0xC0392B);
    CenteredText(canvas, PageWidth / 2, PageHeight - 80, "VOLUME 1", 4, 0xF7F3EA);
    return bitmap;
}

TBitmap Spread()
{
    TBitmap bitmap(PageWidth * 2, PageHeight, 24);
    bitmap.SetLoadedFormat(PixelFormat::Bits24);
    TSampleCanvas canvas(bitmap);
    Landscape(canvas, PageWidth * 2, PageHeight);
    CenteredText(canvas, PageWidth, 60, "TWO-PAGE SPREAD", 6, 0xF7F3EA);
    PageNumber(canvas, PageWidth / 2, SpreadFirstPage, 0xF7F3EA);
    PageNumber(canvas, PageWidth * 3 / 2, SpreadFirstPage + 1, 0xF7F3EA);
    return bitmap;
}

std::string PageName(int page)
{
    char name[32];
    std::snprintf(name, sizeof name, "%02d.bmp", page);
    return name;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mireva-make-sample FOLDER\n");
        return 2;
    }
    try {
        const std::string folder = IncludeTrailingPathDelimiter(argv[1]);
        ForceDirectories(folder);
        Save(folder, PageName(1), Cover());
        for (int page = 2; page <= PageCount; ++page) {
            if (page == SpreadFirstPage) {
                char name[32];
                std::snprintf(name, sizeof name, "%02d-%02d.bmp", page, page + 1);
                Save(folder, name, Spread());
                ++page;
                continue;
            }
            Save(folder, PageName(page), InnerPage(page));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mireva-make-sample: %s\n", e.what());
        return 1;
    }
    return 0;
}

// Draws the sample book: a cover, portrait pages with panels, figures, lines
// of text and page numbers, and a picture spanning two pages, as numbered
// bitmap files in a folder and, as a reader gets a comic, as JPEG pages in a
// ".cbz" (a zip archive with one folder). The book reads right to left: the
// spread's right half is its first page. Beside the archive goes a settings
// file that shows the cover alone, as a printed book does; the viewer opens
// the archive with it when it is started without a path.
//
//   mireva-make-sample FOLDER [ARCHIVE.cbz]
//
// The bitmap pages mix the layouts a reader meets: 24-bit colour (cover,
// spread) and 8-bit with a palette (the inner pages).

#include <cstdio>
#include <stdexcept>
#include <exception>
#include <string>
#include <vector>

#include <archive.h>
#include <archive_entry.h>

#include "SampleCanvas.h"
#include "common/AtomicSave.h"
#include "common/Bitmap.h"
#include "base/PathUtils.h"
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
    // Read right to left: the first page of the spread is its right half.
    PageNumber(canvas, PageWidth * 3 / 2, SpreadFirstPage, 0xF7F3EA);
    PageNumber(canvas, PageWidth / 2, SpreadFirstPage + 1, 0xF7F3EA);
    return bitmap;
}

// "01", or "06-07" for the spread.
std::string PageStem(int page)
{
    char name[32];
    if (page == SpreadFirstPage)
        std::snprintf(name, sizeof name, "%02d-%02d", page, page + 1);
    else
        std::snprintf(name, sizeof name, "%02d", page);
    return name;
}

// The pages in reading order, each drawn once.
struct TPage {
    std::string Stem;
    TBitmap Bitmap;
};

std::vector<TPage> DrawBook()
{
    std::vector<TPage> pages;
    pages.push_back(TPage{PageStem(1), Cover()});
    for (int page = 2; page <= PageCount; ++page) {
        if (page == SpreadFirstPage) {
            pages.push_back(TPage{PageStem(page), Spread()});
            ++page;
            continue;
        }
        pages.push_back(TPage{PageStem(page), InnerPage(page)});
    }
    return pages;
}

// A zip archive built in memory, so the file is written whole or not at all.
class TZipWriter {
public:
    TZipWriter()
        : fArchive(archive_write_new())
    {
        if (!fArchive || archive_write_set_format_zip(fArchive) != ARCHIVE_OK ||
            // JPEG pages do not shrink; readers open stored members fastest.
            archive_write_set_options(fArchive, "zip:compression=store") != ARCHIVE_OK ||
            archive_write_open(fArchive, &fBytes, nullptr, Append, nullptr) != ARCHIVE_OK)
            Fail();
    }
    ~TZipWriter() { archive_write_free(fArchive); }
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    void AddFolder(const std::string& name) { Add(name, nullptr, 0, AE_IFDIR, 0755); }
    void AddFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        Add(name, bytes.data(), bytes.size(), AE_IFREG, 0644);
    }
    const std::string& Finish()
    {
        if (archive_write_close(fArchive) != ARCHIVE_OK)
            Fail();
        return fBytes;
    }

private:
    static la_ssize_t Append(struct archive*, void* data, const void* buffer, size_t length)
    {
        static_cast<std::string*>(data)->append(static_cast<const char*>(buffer), length);
        return static_cast<la_ssize_t>(length);
    }
    void Add(const std::string& name, const uint8_t* bytes, size_t size, unsigned type, int mode)
    {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, type);
        archive_entry_set_perm(entry, static_cast<mode_t>(mode));
        archive_entry_set_size(entry, static_cast<la_int64_t>(size));
        // A fixed time keeps the archive the same from build to build.
        archive_entry_set_mtime(entry, 1735689600, 0);
        const bool ok = archive_write_header(fArchive, entry) == ARCHIVE_OK &&
                        (size == 0 || archive_write_data(fArchive, bytes, size) == static_cast<la_ssize_t>(size));
        archive_entry_free(entry);
        if (!ok)
            Fail();
    }
    [[noreturn]] void Fail()
    {
        const char* text = fArchive ? archive_error_string(fArchive) : nullptr;
        throw std::runtime_error(std::string("the archive could not be written: ") + (text ? text : "no memory"));
    }

    struct archive* fArchive;
    std::string fBytes;
};

void WriteArchive(const std::string& path, const std::vector<TPage>& pages)
{
    // One folder inside, as comics usually come; the viewer enters it.
    const std::string folder = "Sample Book/";
    TZipWriter zip;
    zip.AddFolder(folder);
    for (const TPage& page : pages)
        zip.AddFile(folder + page.Stem + ".jpg", EncodeJpeg(page.Bitmap));
    const std::string& bytes = zip.Finish();
    SaveFileAtomically(path, bytes);
    // A cover stands alone, then the pages pair up as the printed book's do.
    SaveFileAtomically(JoinPath(ExtractFilePath(path), "Sample.lys"), "[PICTURE]\nFirstImage=1\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: mireva-make-sample FOLDER [ARCHIVE.cbz]\n");
        return 2;
    }
    try {
        const std::string folder = IncludeTrailingPathDelimiter(argv[1]);
        ForceDirectories(folder);
        const std::vector<TPage> pages = DrawBook();
        for (const TPage& page : pages)
            Save(folder, page.Stem + ".bmp", page.Bitmap);
        if (argc == 3)
            WriteArchive(argv[2], pages);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mireva-make-sample: %s\n", e.what());
        return 1;
    }
    return 0;
}

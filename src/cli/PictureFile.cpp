#include "cli/PictureFile.h"

#include <png.h>

#include <new>

#include "base/Errors.h"
#include "cli/ArchiveCommands.h"
#include "cli/CliSettings.h"
#include "common/AtomicSave.h"
#include "common/Text.h"
#include "loading/ImgLoader.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

// Keeps the message the viewer would show, so that the command can print it.
class TCliNotifier : public TUserNotifier {
public:
    void ShowMessage(const std::string& text, TMessageIcon) override { Message = text; }
    std::string Message;
};

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool full = false;
    try {
        bytes->insert(bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        full = true;
    }
    // Outside the handler: libpng leaves by a long jump.
    if (full)
        png_error(png, "out of memory");
}

void FlushPngBytes(png_structp)
{
}

void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp)
{
}

// libpng reports a failure by a long jump back into this function, so it
// holds nothing that has a destructor.
bool EncodeRows(std::vector<uint8_t>* bytes, const png_bytep* rows, uint32_t width, uint32_t height, bool gray)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, bytes, AppendPngBytes, FlushPngBytes);
    png_set_IHDR(png, info, width, height, 8, gray ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The program's colour pixels are blue, green, red.
    if (!gray)
        png_set_bgr(png);
    png_write_image(png, const_cast<png_bytepp>(rows));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

void RequireReadableFile(const std::string& path)
{
    const TFileStream probe(path, TFileMode::fmOpenRead);
}

TCliPicture ReadCliPicture(TCliSettings& settings, const std::string& path)
{
    TCliNotifier notifier;
    // A path that names nothing may lead into an archive ("book.zip/p/01.jpg").
    TCliPicture picture;
    picture.Bitmap = PathExists(path) ? LoadPicture(*settings.Loaders(), path, nullptr, &notifier)
                                      : LoadPictureInArchive(settings, path, &notifier);
    // The viewer stays silent for an empty file or an unknown extension; a
    // command asked to read a picture must say why it has none.
    if (!picture.Bitmap)
        throw EInvalidGraphic(notifier.Message.empty() ? NotReadMessage(path) : notifier.Message);
    if (picture.Bitmap->IsEmpty())
        throw EInvalidGraphic("'" + path + "' has no pixels");
    picture.Loaded = PrepareLoadedBitmap(*picture.Bitmap);
    return picture;
}

std::vector<uint8_t> EncodePngFile(const TBitmap& source)
{
    if (source.IsEmpty())
        throw EInvalidGraphic("an empty picture cannot be written");
    const bool gray = source.BitsPerPixel() == 8 && source.IsGray();
    TBitmap converted;
    const TBitmap* bitmap = &source;
    if (!gray && source.BitsPerPixel() != 24) {
        converted = source.Clone();
        converted.ConvertTo24();
        bitmap = &converted;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(bitmap->Height()));
    for (int y = 0; y < bitmap->Height(); ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(bitmap->ScanLine(y));
    std::vector<uint8_t> bytes;
    if (!EncodeRows(&bytes, rows.data(), static_cast<uint32_t>(bitmap->Width()),
                    static_cast<uint32_t>(bitmap->Height()), gray))
        throw EInvalidGraphic("the picture could not be written as PNG");
    return bytes;
}

void WriteCliPicture(const std::string& path, const TBitmap& bitmap)
{
    const std::vector<uint8_t> bytes = EndsText(".png", path) ? EncodePngFile(bitmap) : EncodeBmpFile(bitmap);
    SaveFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

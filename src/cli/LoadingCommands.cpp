// mireva-cli detect and load: which loader takes a file, and the picture as
// the viewer would get it, written out as a bitmap file.

#include <cerrno>
#include <string>

#include "cli/ArchiveCommands.h"
#include "cli/CliRegistry.h"
#include "cli/Commands.h"
#include "common/AtomicSave.h"
#include "base/PathUtils.h"
#include "loading/FileLoader.h"
#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"

namespace {

const char* FormatName(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Device:
        return "Device";
    case PixelFormat::Bits1:
        return "Bits1";
    case PixelFormat::Bits4:
        return "Bits4";
    case PixelFormat::Bits8:
        return "Bits8";
    case PixelFormat::Bits15:
        return "Bits15";
    case PixelFormat::Bits16:
        return "Bits16";
    case PixelFormat::Bits24:
        return "Bits24";
    case PixelFormat::Bits32:
        return "Bits32";
    case PixelFormat::Custom:
        break;
    }
    return "Custom";
}

void RequireFile(const std::string& path)
{
    if (!FileExists(path))
        throw EFileError(SystemErrorText(path, DirectoryExists(path) ? EISDIR : ENOENT));
}

// Keeps the message the viewer would show, so that the command can print it.
class TCliNotifier : public TUserNotifier {
public:
    void ShowMessage(const std::string& text, TMessageIcon) override { Message = text; }
    std::string Message;
};

const char* ExtensionKind(const TFileLoaderList& loaders, const std::string& path)
{
    const std::string ext = ExtractFileExt(path);
    if (loaders.IsImageExtension(ext))
        return "picture";
    if (loaders.IsArchiveExtension(ext))
        return "archive";
    return "none";
}

}  // namespace

int RunDetect(TCliContext& context)
{
    const std::string path = context.Positional(1)[0];
    RequireFile(path);
    const TLoaderSetPtr loaders = MakeCliLoaders(context);
    int64_t offset = 0;
    const TFileLoader* loader = loaders->FindImageLoaderFor(path, &offset);
    const char* kind = "picture";
    if (!loader) {
        loader = loaders->FindArchiveLoaderFor(path, &offset);
        kind = "archive";
    }
    if (!loader) {
        context.Out << "Loader=none\nKind=none\nExtension=" << ExtensionKind(*loaders, path) << '\n';
        context.Err << "mireva-cli detect: no loader accepts '" << path << "'\n";
        return 1;
    }
    context.Out << "Loader=" << loader->Name() << (loader->IsPlugin() ? "" : " (built-in)") << '\n'
                << "Offset=" << offset << '\n'
                << "Kind=" << kind << '\n'
                << "Extension=" << ExtensionKind(*loaders, path) << '\n';
    return 0;
}

int RunLoad(TCliContext& context)
{
    const std::vector<std::string>& args = context.Positional(2);
    const std::string path = args[0];
    const std::string out = args[1];
    // A path that is no file may lead into an archive ("book.zip/p/01.jpg").
    const bool inArchive = !PathExists(path);
    if (!inArchive)
        RequireFile(path);
    const TLoaderSetPtr loaders = MakeCliLoaders(context);
    TCliNotifier notifier;
    const std::unique_ptr<TBitmap> bitmap = inArchive ? LoadPictureInArchive(loaders, path, &notifier)
                                                      : LoadPicture(*loaders, path, nullptr, &notifier);
    if (!bitmap) {
        // The viewer stays silent for an empty file or an unknown extension;
        // a command asked to load must say why it wrote nothing.
        throw EInvalidGraphic(notifier.Message.empty() ? NotReadMessage(path) : notifier.Message);
    }
    const TPreparedInfo info = PrepareLoadedBitmap(*bitmap);
    const std::vector<uint8_t> bytes = EncodeBmpFile(*bitmap);
    SaveFileAtomically(out, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    context.Out << info.Width << 'x' << info.Height << ' ' << FormatName(info.Format) << ' '
                << (info.Gray ? "gray" : "color") << '\n';
    return 0;
}

// mireva-cli detect and load: which loader takes a file, and the picture as
// the viewer would get it, written out as a bitmap or PNG file.

#include <string>

#include "base/PathUtils.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "cli/PictureFile.h"
#include "common/Text.h"
#include "loading/FileLoader.h"

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

const char* ExtensionKind(const TFileLoaderList& registry, const std::string& path)
{
    const std::string ext = ExtractFileExt(path);
    if (registry.IsImageExtension(ext))
        return "picture";
    if (registry.IsArchiveExtension(ext))
        return "archive";
    return "none";
}

}  // namespace

int RunDetect(TCliContext& context)
{
    const std::string path = context.Positional(1)[0];
    // Detection counts a file it cannot open as one no loader accepts; the
    // user is told why it cannot be opened instead.
    RequireReadableFile(path);
    TCliSettings settings(context);
    const TFileLoaderList& registry = *settings.Loaders();
    int64_t offset = 0;
    const TFileLoader* loader = registry.FindImageLoaderFor(path, &offset);
    const char* kind = "picture";
    if (!loader) {
        loader = registry.FindArchiveLoaderFor(path, &offset);
        kind = "archive";
    }
    if (!loader) {
        context.Out << "Loader=none\nKind=none\nExtension=" << ExtensionKind(registry, path) << '\n';
        context.Err << "mireva-cli detect: no loader accepts '" << EscapeControls(path) << "'\n";
        return 1;
    }
    context.Out << "Loader=" << EscapeControls(loader->Name()) << (loader->IsPlugin() ? "" : " (built-in)") << '\n'
                << "Offset=" << offset << '\n'
                << "Kind=" << kind << '\n'
                << "Extension=" << ExtensionKind(registry, path) << '\n';
    return 0;
}

int RunLoad(TCliContext& context)
{
    const std::vector<std::string>& args = context.Positional(2);
    const std::string path = args[0];
    const std::string out = args[1];
    TCliSettings settings(context);
    const TCliPicture picture = ReadCliPicture(settings, path);
    WriteCliPicture(out, *picture.Bitmap);
    context.Out << picture.Loaded.Width << 'x' << picture.Loaded.Height << ' ' << FormatName(picture.Loaded.Format)
                << ' ' << (picture.Loaded.Gray ? "gray" : "color") << '\n';
    return 0;
}

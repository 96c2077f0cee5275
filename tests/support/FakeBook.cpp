#include "support/FakeBook.h"

#include <archive.h>
#include <archive_entry.h>
#include <stdexcept>

#include "loading/SPIs.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

std::string FakePicture(int width, int height, TFakeKind kind, uint8_t blue, uint8_t green, uint8_t red)
{
    std::string bytes = "FAKE";
    for (int value : {width, height}) {
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8);
    }
    bytes += static_cast<char>(kind);
    bytes += static_cast<char>(blue);
    bytes += static_cast<char>(green);
    bytes += static_cast<char>(red);
    return bytes;
}

TFakeColour PageColour(int i)
{
    return TFakeColour{static_cast<uint8_t>(60 + (i % 3) * 60), static_cast<uint8_t>(200 - i * 20),
                       static_cast<uint8_t>(40 + i * 20)};
}

std::string FakePage(int i, int width, int height)
{
    const TFakeColour c = PageColour(i);
    return FakePicture(width, height, fkColor, c.Blue, c.Green, c.Red);
}

std::unique_ptr<TBitmap> DecodeFake(const std::string& bytes)
{
    if (bytes.size() < 12 || bytes.compare(0, 4, "FAKE") != 0)
        return nullptr;
    const auto at = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    const int width = at(4) | at(5) << 8;
    const int height = at(6) | at(7) << 8;
    const auto kind = static_cast<TFakeKind>(at(8));
    if (width == 0 || height == 0)
        return nullptr;
    auto bitmap = std::make_unique<TBitmap>(width, height, kind == fkColor ? 24 : 8);
    if (kind == fkGray)
        bitmap->SetGrayPalette();
    if (kind == fkPalette)
        bitmap->Palette() = {TRGBQuad{at(9), at(10), at(11), 0}};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (kind == fkColor) {
                row[x * 3] = at(9);
                row[x * 3 + 1] = at(10);
                row[x * 3 + 2] = at(11);
            } else {
                row[x] = kind == fkGray ? at(9) : 0;
            }
        }
    }
    return bitmap;
}

TFakeLoader::TFakeLoader()
{
    Extensions = {"*.fake"};
    Descriptions = {"Fake (*.fake)"};
}

bool TFakeLoader::IsSupported(const std::string&, const uint8_t* header)
{
    return std::string_view(reinterpret_cast<const char*>(header), 4) == "FAKE";
}

std::unique_ptr<TBitmap> TFakeLoader::LoadFromFile(const std::string& fileName, int64_t, bool)
{
    return DecodeFake(ReadWholeFile(fileName));
}

std::unique_ptr<TBitmap> TFakeLoader::LoadFromStream(TMemoryStream& stream, int64_t, bool)
{
    return DecodeFake(std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size())));
}

void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files)
{
    archive* zip = archive_write_new();
    const auto check = [zip](int status) {
        if (status != ARCHIVE_OK)
            throw std::runtime_error(archive_error_string(zip) ? archive_error_string(zip) : "libarchive failed");
    };
    check(archive_write_set_format_zip(zip));
    check(archive_write_set_options(zip, "zip:compression=store"));
    check(archive_write_open_filename(zip, path.c_str()));
    for (const auto& [name, bytes] : files) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
        check(archive_write_header(zip, entry));
        if (archive_write_data(zip, bytes.data(), bytes.size()) != static_cast<la_ssize_t>(bytes.size()))
            check(ARCHIVE_FATAL);
        archive_entry_free(entry);
    }
    check(archive_write_close(zip));
    archive_write_free(zip);
}

std::unique_ptr<TAppCore> TFakeProgram::Start(const std::vector<std::string>& args, TLoaders loaders) const
{
    TAppFolders folders;
    folders.ProgramFolder = Tree.Path();
    folders.DataFolder = Tree.File("data/");
    folders.WorkingFolder = Tree.File("work/");
    folders.TemporaryBase = Tree.Path();
    folders.TemporaryName = "Mireva";
    ForceDirectories(folders.DataFolder);
    ForceDirectories(folders.WorkingFolder);
    TPluginScanner scanner;
    if (loaders == TLoaders::ldShipped)
        scanner = PluginFolderScanner(TPluginFolders{MIREVA_BIN_DIR "/", ""});
    auto core = std::make_unique<TAppCore>(folders, args, scanner);
    if (loaders == TLoaders::ldFake) {
        core->Registry().SetBuiltinFactory([]() -> std::unique_ptr<TImageLoader> { return std::make_unique<TFakeLoader>(); });
        core->Registry().Reload();
    }
    return core;
}

void TFakeProgram::WriteBook(int count) const
{
    for (int i = 0; i < count; ++i)
        Tree.Write("work/book/" + std::to_string(i) + ".fake", FakePage(i));
}

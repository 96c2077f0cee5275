#include "PluginTestSupport.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/FileStream.h"
#include "platform/FileSystem.h"

std::string FakePluginPath(const std::string& name)
{
    return std::string(MIREVA_FAKES_DIR) + "/" + name + ".spi";
}

std::string ShippedPluginFolder()
{
    return std::string(MIREVA_BIN_DIR) + "/";
}

void CopyFileTo(const std::string& from, const std::string& to)
{
    const std::string bytes = ReadWholeFile(from);
    TFileStream out(to, TFileMode::fmCreate);
    out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    out.Close();
}

TTestRegistry::TTestRegistry(const std::string& programFolder, const std::string& susieFolder)
    : Folders{programFolder, susieFolder}, Registry(PluginFolderScanner(Folders))
{
}

std::string FakeImageBytes(int width, int height, int bits, const std::vector<uint8_t>& pixels)
{
    std::string bytes = "FAKEIMG1";
    bytes += static_cast<char>(width & 0xFF);
    bytes += static_cast<char>(width >> 8);
    bytes += static_cast<char>(height & 0xFF);
    bytes += static_cast<char>(height >> 8);
    bytes += static_cast<char>(bits);
    bytes.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    return bytes;
}

std::string FakeGradientImage(int width, int height)
{
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(static_cast<uint8_t>(x * 10));
            pixels.push_back(static_cast<uint8_t>(y * 10));
            pixels.push_back(static_cast<uint8_t>(x + y));
        }
    }
    return FakeImageBytes(width, height, 24, pixels);
}

namespace {

template <typename T>
void Append(std::string& bytes, T value)
{
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

std::string FakeArchiveBytes(const std::vector<TFakeMember>& members, int variant)
{
    std::string bytes = "FAKEARC" + std::to_string(variant);
    Append<uint32_t>(bytes, static_cast<uint32_t>(members.size()));
    for (const TFakeMember& member : members) {
        Append<uint8_t>(bytes, member.Flags);
        Append<int32_t>(bytes, member.Time);
        Append<uint16_t>(bytes, static_cast<uint16_t>(member.Path.size()));
        bytes += member.Path;
        Append<uint16_t>(bytes, static_cast<uint16_t>(member.Name.size()));
        bytes += member.Name;
        Append<uint32_t>(bytes, static_cast<uint32_t>(member.Data.size()));
        bytes += member.Data;
    }
    return bytes;
}

std::vector<std::string> FilesBelow(const std::string& folder)
{
    std::vector<std::string> files;
    for (const TDirEntry& entry : ListDirectory(folder)) {
        const std::string path = folder + entry.Name;
        const TFileStatus own = QueryFile(path, false);
        if (own.Kind == TFileKind::fkFolder) {
            for (const std::string& below : FilesBelow(path + "/"))
                files.push_back(entry.Name + "/" + below);
        } else {
            files.push_back(entry.Name);
        }
    }
    return files;
}

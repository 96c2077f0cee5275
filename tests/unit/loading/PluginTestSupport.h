#pragma once

// Helpers of the plug-in and archive tests: where the fake and the shipped
// plug-ins lie, a registry set up over a folder of plug-ins, and writers for
// the fake formats the fake plug-ins read.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "loading/AcvUnit.h"
#include "loading/FileLoader.h"
#include "loading/SPIs.h"

// The built fake plug-in of that name ("fakeimage") and a shipped one
// ("mvarchive").
std::string FakePluginPath(const std::string& name);
std::string ShippedPluginFolder();

void CopyFileTo(const std::string& from, const std::string& to);

// A registry whose plug-ins come from programFolder (and the other folders
// given); nothing else is loaded, so tests see only their own plug-ins.
struct TTestRegistry {
    explicit TTestRegistry(const std::string& programFolder, const std::string& susieFolder = {});
    TPluginFolders Folders;
    TLoaderRegistry Registry;
};

// "FAKEIMG1" pictures: bits 8 (gray) or 24 (BGR), pixels top-down unpadded.
std::string FakeImageBytes(int width, int height, int bits, const std::vector<uint8_t>& pixels);
// A picture whose pixel (x, y) is (x * 10, y * 10, x + y) as blue, green, red.
std::string FakeGradientImage(int width, int height);

// Members of the fake archive format.
struct TFakeMember {
    std::string Path;
    std::string Name;
    std::string Data;
    int32_t Time = 0;
    uint8_t Flags = 0;  // 1: folder extraction claims success, 2: it fails, 4: unterminated name, 8: memory fails
};
std::string FakeArchiveBytes(const std::vector<TFakeMember>& members, int variant = 1);

// Every regular file and link below folder, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& folder);

#pragma once

// Books for the browser's tests without any plug-in: a picture format only
// the tests read ("FAKE", width and height as 16-bit little-endian, a kind and
// one colour that fills the whole picture), its loader, a started program core
// over a temporary tree that reads it, and zip archives written with
// libarchive. Nothing here needs a display.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/AppCore.h"
#include "loading/FileLoader.h"
#include "support/TempFolder.h"

enum TFakeKind : uint8_t { fkColor, fkGray, fkPalette };

struct TFakeColour {
    uint8_t Blue = 0, Green = 0, Red = 0;
    bool operator==(const TFakeColour&) const = default;
};

std::string FakePicture(int width, int height, TFakeKind kind, uint8_t blue, uint8_t green, uint8_t red);
// Page i of a test book: a colour of its own.
TFakeColour PageColour(int i);
std::string FakePage(int i, int width = 20, int height = 30);
// The picture, or null for bytes that are no fake picture.
std::unique_ptr<TBitmap> DecodeFake(const std::string& bytes);

class TFakeLoader : public TImageLoader {
public:
    TFakeLoader();
    bool IsSupported(const std::string&, const uint8_t* header) override;
    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, int64_t, bool) override;
    std::unique_ptr<TBitmap> LoadFromStream(TMemoryStream& stream, int64_t, bool) override;
    std::unique_ptr<TLoadImage> LoadImage(TMemoryStream&) override { return nullptr; }
};

// Writes a zip archive (members stored); throws when libarchive fails.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files);

enum class TLoaders { ldFake, ldProgram, ldShipped };

// A temporary tree (work/ the working folder, data/ the data folder) and the
// program core started over it with the chosen loaders: the fake loader
// alone, the program's own, or the shipped plug-ins beside the built program.
class TFakeProgram {
public:
    std::unique_ptr<TAppCore> Start(const std::vector<std::string>& args, TLoaders loaders = TLoaders::ldFake) const;
    // A book of count pages of 20 x 30 in work/book.
    void WriteBook(int count) const;

    TTempFolder Tree;
};

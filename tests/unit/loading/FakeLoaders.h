#pragma once

// Small stand-ins for image and archive plug-ins: each accepts data that
// starts with its magic bytes, counts how often it was asked (and, when given
// a counter, when it was freed, as a plug-in's library is unloaded), and
// hands back a 1x1 picture whose pixel carries its mark, so a test can tell
// which loader read a file.

#include <atomic>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "loading/FileLoader.h"

class TFakeImageLoader : public TImageLoader {
public:
    TFakeImageLoader(std::string magic, std::vector<std::string> extensions, uint8_t mark, bool plugin = true)
        : Mark(mark), fMagic(std::move(magic)), fPlugin(plugin)
    {
        Extensions = std::move(extensions);
        for (const std::string& e : Extensions)
            Descriptions.push_back("Fake (" + e + ")");
    }
    ~TFakeImageLoader() override
    {
        if (Unloads)
            ++*Unloads;
    }

    bool IsSupported(const std::string& fileName, const uint8_t* header) override
    {
        ++Asked;
        if (ThrowOnDetect)
            throw std::runtime_error("plug-in fault");
        return std::memcmp(header, fMagic.data(), fMagic.size()) == 0;
    }
    bool IsPlugin() const override { return fPlugin; }

    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, int64_t offset, bool preview) override
    {
        LastOffset = offset;
        LastPreview = preview;
        ++Loads;
        return Result();
    }
    std::unique_ptr<TBitmap> LoadFromStream(TMemoryStream& stream, int64_t offset, bool preview) override
    {
        LastOffset = offset;
        LastPreview = preview;
        ++Loads;
        return Result();
    }
    std::unique_ptr<TLoadImage> LoadImage(TMemoryStream& stream) override { return nullptr; }

    uint8_t Mark;
    int Asked = 0;
    int Loads = 0;
    int64_t LastOffset = -1;
    bool LastPreview = false;
    bool ThrowOnDetect = false;
    bool ThrowOnLoad = false;
    bool ReturnNothing = false;
    std::atomic<int>* Unloads = nullptr;

private:
    std::unique_ptr<TBitmap> Result()
    {
        if (ThrowOnLoad)
            throw EInvalidGraphic("fake failure");
        if (ReturnNothing)
            return nullptr;
        auto bitmap = std::make_unique<TBitmap>(1, 1, 24);
        bitmap->ScanLine(0)[0] = Mark;
        return bitmap;
    }

    std::string fMagic;
    bool fPlugin;
};

// An archive loader whose members are given by the test: ExtractToStream
// writes the bytes of the member at that position, nothing for an unknown
// position, or raises when asked to.
class TFakeArchiveLoader : public TArchiveLoader {
public:
    TFakeArchiveLoader(std::string magic, std::vector<std::string> extensions) : fMagic(std::move(magic))
    {
        Extensions = std::move(extensions);
    }

    bool IsSupported(const std::string& fileName, const uint8_t* header) override
    {
        return std::memcmp(header, fMagic.data(), fMagic.size()) == 0;
    }
    bool IsPlugin() const override { return true; }
    bool ExtractToFolder(const std::string&, uint32_t, const std::string&) override { return false; }
    void GetArchiveInfo(const std::string&, int64_t, TArchiveFileList&) override {}
    void ExtractToStream(const std::string& archiveName, uint32_t position, TMemoryStream& stream) override
    {
        if (ThrowOnExtract)
            throw EFileError("extraction failed");
        if (position < Members.size()) {
            stream.WriteBuffer(Members[position].data(), static_cast<int64_t>(Members[position].size()));
            // Leave the stream at its end, as a careless plug-in might.
        }
    }

    std::vector<std::vector<uint8_t>> Members;
    bool ThrowOnExtract = false;

private:
    std::string fMagic;
};

// Records what the program would show in message boxes.
class TRecordingNotifier : public TUserNotifier {
public:
    struct TMessage {
        std::string Text;
        TMessageIcon Icon;
    };
    void ShowMessage(const std::string& text, TMessageIcon icon) override { Messages.push_back({text, icon}); }
    std::vector<TMessage> Messages;
};

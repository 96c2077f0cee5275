#pragma once

// Stand-ins for the picture loaders in the viewer's tests: a cache decoder
// and a direct picture source that make tiny bitmaps, record what they were
// asked for and can be told to fail, block or report media as absent.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "viewer/Cache.h"
#include "viewer/PageViewer.h"

using namespace std::chrono_literals;
inline constexpr auto Wait = std::chrono::milliseconds(10s);  // every wait in these tests gives up after this

// Pictures are tiny bitmaps; portrait unless listed as landscape. The bytes
// of a "file" name the picture they belong to, so a decode from the wrong
// record is caught.
class FakeDecoder : public TCacheDecoder {
public:
    TImageSlot Decode(const TCacheItem& item) override
    {
        Gate();
        if (OnDecode)
            OnDecode();
        std::lock_guard lock(fMutex);
        Decoded.push_back(item.Index);
        DecodedPaths.push_back(item.Path);
        return Make(item.Index);
    }

    TImageSlot DecodeBytes(const TCacheItem& item, TMemoryStream& bytes) override
    {
        Gate();
        std::lock_guard lock(fMutex);
        FromBytes.push_back(item.Index);
        const std::string expected = "picture " + std::to_string(item.Index);
        if (bytes.Size() < static_cast<int64_t>(expected.size()) ||
            std::memcmp(bytes.Memory(), expected.data(), expected.size()) != 0) {
            WrongBytes = true;
            return TImageSlot{};
        }
        return Make(item.Index);
    }

    TReadResult ReadBytes(const TCacheItem& item, int64_t maxBytes, TMemoryStream& out) override
    {
        std::lock_guard lock(fMutex);
        LargestAllowed = std::max(LargestAllowed, maxBytes);
        if (Unreadable.count(item.Index))
            return TReadResult::rrFailed;
        if (FileSize > maxBytes)
            return TReadResult::rrTooLarge;  // checked before reading, as the real reader does
        Read.push_back(item.Index);
        std::string bytes = "picture " + std::to_string(item.Index);
        bytes.resize(static_cast<size_t>(FileSize), '.');
        out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        return TReadResult::rrRead;
    }

    bool IsOnline(const TCacheItem& item) override
    {
        std::lock_guard lock(fMutex);
        return Offline.count(item.Index) == 0;
    }

    std::shared_ptr<TBitmap> Prescale(const TBitmap& picture, bool, int width, int height, TStretchMode stretch) override
    {
        std::lock_guard lock(fMutex);
        Prescaled.push_back(std::to_string(picture.Width()) + "x" + std::to_string(picture.Height()) + ">" +
                            std::to_string(width) + "x" + std::to_string(height) + "/" + std::to_string(static_cast<int>(stretch)));
        if (PrescaleFails)
            return nullptr;
        return std::make_shared<TBitmap>(width, height, 24);
    }
    std::vector<std::string> PrescaledCopy()
    {
        std::lock_guard lock(fMutex);
        return Prescaled;
    }

    // Holds every decode until Open (for tests that act while decoding runs).
    void Close()
    {
        std::lock_guard lock(fGateMutex);
        fOpen = false;
    }
    void Open()
    {
        {
            std::lock_guard lock(fGateMutex);
            fOpen = true;
        }
        fGate.notify_all();
    }
    bool WaitUntilBlocked()
    {
        std::unique_lock lock(fGateMutex);
        return fGate.wait_for(lock, Wait, [&] { return fBlocked > 0; });
    }

    std::vector<int> DecodedCopy()
    {
        std::lock_guard lock(fMutex);
        return Decoded;
    }
    std::vector<std::string> DecodedPathsCopy()
    {
        std::lock_guard lock(fMutex);
        return DecodedPaths;
    }
    std::vector<int> FromBytesCopy()
    {
        std::lock_guard lock(fMutex);
        return FromBytes;
    }

    std::function<void()> OnDecode;
    int Width = 4;  // portrait pictures; landscape ones are turned
    int Height = 6;
    std::set<int> Landscape;
    std::set<int> Broken;
    std::set<int> Offline;
    std::set<int> Unreadable;
    int64_t FileSize = 1000;
    int64_t LargestAllowed = 0;
    bool WrongBytes = false;
    bool PrescaleFails = false;
    std::vector<std::string> Prescaled;  // "4x6>2x3/4": picture, size, method
    std::vector<int> Decoded;
    std::vector<std::string> DecodedPaths;
    std::vector<int> FromBytes;
    std::vector<int> Read;

private:
    TImageSlot Make(int index) const
    {
        TImageSlot slot;
        slot.Index = index;
        if (Broken.count(index))
            return slot;
        const bool wide = Landscape.count(index) > 0;
        slot.Bitmap = std::make_shared<TBitmap>(wide ? Height : Width, wide ? Width : Height, 24);
        slot.LoadedWidth = slot.Bitmap->Width();
        slot.LoadedHeight = slot.Bitmap->Height();
        return slot;
    }
    void Gate()
    {
        std::unique_lock lock(fGateMutex);
        ++fBlocked;
        fGate.notify_all();
        fGate.wait_for(lock, Wait, [&] { return fOpen; });
        --fBlocked;
    }

    std::mutex fMutex;
    std::mutex fGateMutex;
    std::condition_variable fGate;
    bool fOpen = true;
    int fBlocked = 0;
};


// The direct loads of the shown pages, with their own record. With Parallel
// it hands out load jobs as well; a job's load is recorded in Loaded when it
// is finished, on the viewer's thread, and the pages whose jobs ran on
// another thread than the one that prepared them in OnWorker.
class FakeSource : public TPictureSource {
public:
    TImageSlot Load(const TCacheItem& item) override
    {
        Loaded.push_back(item.Index);
        return Make(item);
    }

    std::unique_ptr<TPictureLoadJob> PrepareLoad(const TCacheItem& item) override
    {
        if (!Parallel)
            return nullptr;
        return std::make_unique<Job>(*this, item);
    }

    // The picture in full: recorded as prepared, in FullLoads.
    std::unique_ptr<TPictureLoadJob> PrepareFullLoad(const TCacheItem& item) override
    {
        if (!Parallel)
            return nullptr;
        FullLoads.push_back(item.Index);
        return std::make_unique<Job>(*this, item, true);
    }

    // Scaling ahead, on the viewer's worker: recorded; a blank bitmap of the
    // size asked when Scales, an exception when ScaleThrows.
    std::shared_ptr<TBitmap> Prescale(const TBitmap& picture, bool, int width, int height, TStretchMode stretch) override
    {
        std::lock_guard<std::mutex> lock(fScaleLock);
        ScaleRequests.push_back(TPrescaleTarget{picture.Width(), picture.Height(), width, height, stretch});
        if (ScaleThrows)
            throw std::runtime_error("no memory for the scaled page");
        return Scales ? std::make_shared<TBitmap>(width, height, 24, true) : nullptr;
    }

    std::set<int> OnWorker() const
    {
        std::lock_guard<std::mutex> lock(fJobLock);
        return fOnWorker;
    }

    int Width = 600;
    int Height = 800;
    std::set<int> Landscape;
    std::set<int> Broken;
    // Pictures loaded reduced (a quarter of each side) but for a full load;
    // FullBroken: those whose full load fails.
    std::set<int> Reduced;
    std::set<int> FullBroken;
    std::vector<int> FullLoads;
    std::vector<int> Loaded;
    bool Scales = false;
    bool ScaleThrows = false;
    bool Parallel = false;
    // Called as a job starts running, on its thread (a slow or gated decode).
    std::function<void(int index)> OnRun;
    std::vector<TPrescaleTarget> ScaleRequests;

private:
    class Job : public TPictureLoadJob {
    public:
        Job(FakeSource& source, TCacheItem item, bool full = false)
            : fSource(source), fItem(std::move(item)), fFull(full), fPreparedOn(std::this_thread::get_id())
        {
        }
        void Run() override
        {
            if (fSource.OnRun)
                fSource.OnRun(fItem.Index);
            fSlot = fSource.Make(fItem, fFull);
            if (std::this_thread::get_id() != fPreparedOn) {
                std::lock_guard<std::mutex> lock(fSource.fJobLock);
                fSource.fOnWorker.insert(fItem.Index);
            }
        }
        const TImageSlot& Loaded() const override { return fSlot; }
        TImageSlot Finish() override
        {
            fSource.Loaded.push_back(fItem.Index);
            return std::move(fSlot);
        }

    private:
        FakeSource& fSource;
        TCacheItem fItem;
        bool fFull;
        std::thread::id fPreparedOn;
        TImageSlot fSlot;
    };

    // Reads nothing but the settings above, which tests set before loading.
    TImageSlot Make(const TCacheItem& item, bool full = false) const
    {
        TImageSlot slot;
        slot.Index = item.Index;
        if (Broken.count(item.Index) || (full && FullBroken.count(item.Index)))
            return slot;
        const bool wide = Landscape.count(item.Index) > 0;
        const int width = wide ? Height : Width;
        const int height = wide ? Width : Height;
        const bool reduced = !full && Reduced.count(item.Index) > 0;
        slot.Bitmap = reduced ? std::make_shared<TBitmap>(width / 4, height / 4, 24)
                              : std::make_shared<TBitmap>(width, height, 24);
        slot.LoadedWidth = width;
        slot.LoadedHeight = height;
        if (reduced) {
            slot.Reduced = true;
            slot.FullWidth = width;
            slot.FullHeight = height;
        }
        return slot;
    }

    std::mutex fScaleLock;
    mutable std::mutex fJobLock;
    std::set<int> fOnWorker;
};

// The drive watcher: which mounts are drives, what changed between two
// readings of the mount table, and the views told on the dispatcher's thread.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <sstream>
#include <thread>

#include "base/QueueDispatcher.h"
#include "shellviews/ShlNotify.h"

namespace {

using namespace std::chrono_literals;

// Mounts in short form: "PATH TYPE DEVICE" separated by ';'. Devices on
// "/dev/sdb" count as removable.
std::vector<TMountPoint> Mounts(const std::string& text)
{
    std::vector<TMountPoint> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line, ';')) {
        std::istringstream fields(line);
        TMountPoint mount;
        if (fields >> mount.Path >> mount.FsType >> mount.Device)
            mounts.push_back(mount);
    }
    return mounts;
}

bool Removable(const std::string& device)
{
    return device.rfind("/dev/sdb", 0) == 0;
}

std::string TypeName(TDriveType type)
{
    switch (type) {
    case TDriveType::dtFixed:
        return "fixed";
    case TDriveType::dtNetwork:
        return "network";
    case TDriveType::dtRemovable:
        return "removable";
    case TDriveType::dtCdRom:
        return "cd";
    case TDriveType::dtRamDisk:
        return "ram";
    default:
        return "other";
    }
}

std::string Format(const std::vector<TDriveEvent>& events)
{
    std::string text;
    for (const TDriveEvent& event : events) {
        text += text.empty() ? "" : "; ";
        text += (event.Change == TDriveChange::dcAdded ? "+" : "-") + event.Drive.Path + " " + TypeName(event.Drive.Type);
    }
    return text;
}

struct TDiffCase {
    const char* Name;
    const char* Before;
    const char* After;
    const char* Expected;
};

class DriveDiffTest : public ::testing::TestWithParam<TDiffCase> {};

TEST_P(DriveDiffTest, ReportsAddedAndRemovedDrives)
{
    const auto before = DrivesOfMounts(Mounts(GetParam().Before), Removable);
    const auto after = DrivesOfMounts(Mounts(GetParam().After), Removable);
    EXPECT_EQ(Format(DiffDrives(before, after)), GetParam().Expected);
}

constexpr const char* Base = "/ ext4 /dev/sda1;/proc proc proc;/run/user/1000 tmpfs tmpfs";

const TDiffCase DiffCases[] = {
    {"StickPluggedIn", Base, "/ ext4 /dev/sda1;/media/u/STICK vfat /dev/sdb1", "+/media/u/STICK/ removable"},
    {"StickPulledOut", "/ ext4 /dev/sda1;/media/u/STICK vfat /dev/sdb1", Base, "-/media/u/STICK/ removable"},
    {"DiscAndShare", Base,
     "/ ext4 /dev/sda1;/run/media/u/DISC iso9660 /dev/sr0;/mnt/nas nfs4 server:/export",
     "+/mnt/nas/ network; +/run/media/u/DISC/ cd"},
    {"SystemMountsAreNoDrives", Base, "/ ext4 /dev/sda1;/sys sysfs sysfs;/snap/core/1 squashfs /dev/loop0", ""},
    {"MountedOverWithTheSameKind", "/ ext4 /dev/sda1;/mnt/data ext4 /dev/sda2",
     "/ ext4 /dev/sda1;/mnt/data ext4 /dev/sda2;/mnt/data ext4 /dev/sda3", ""},
    {"MountedOverWithAnotherKind", "/ ext4 /dev/sda1;/mnt/data ext4 /dev/sda2",
     "/ ext4 /dev/sda1;/mnt/data ext4 /dev/sda2;/mnt/data nfs server:/x", "-/mnt/data/ fixed; +/mnt/data/ network"},
};

INSTANTIATE_TEST_SUITE_P(Readings, DriveDiffTest, ::testing::ValuesIn(DiffCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A mount table the test changes; the notifier's worker waits on it.
class TFakeMonitor : public TMountMonitor {
public:
    explicit TFakeMonitor(std::vector<TMountPoint> mounts) : fMounts(std::move(mounts)) {}

    std::vector<TMountPoint> Read() override
    {
        std::lock_guard<std::mutex> lock(fMutex);
        return fMounts;
    }
    bool Wait() override
    {
        std::unique_lock<std::mutex> lock(fMutex);
        fSignal.wait(lock, [&] { return fChanged || fWoken; });
        const bool changed = fChanged;
        fChanged = fWoken = false;
        return changed;
    }
    void Wake() override
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fWoken = true;
        fSignal.notify_all();
    }
    bool IsRemovable(const std::string& device) override { return Removable(device); }

    void Change(std::vector<TMountPoint> mounts)
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fMounts = std::move(mounts);
        fChanged = true;
        fSignal.notify_all();
    }

private:
    std::mutex fMutex;  // guards everything below
    std::condition_variable fSignal;
    std::vector<TMountPoint> fMounts;
    bool fChanged = false;
    bool fWoken = false;
};

std::string Paths(const std::vector<TDriveInfo>& drives)
{
    std::string text;
    for (const TDriveInfo& drive : drives)
        text += (text.empty() ? "" : " ") + drive.Path;
    return text;
}

TEST(ShellChangeNotifier, TellsTheViewsOnTheirOwnThread)
{
    TQueueDispatcher dispatcher;
    auto owned = std::make_unique<TFakeMonitor>(Mounts("/ ext4 /dev/sda1;/mnt/data ext4 /dev/sda2"));
    TFakeMonitor& monitor = *owned;
    TShellChangeNotifier notifier(dispatcher, std::move(owned));
    EXPECT_EQ(Paths(notifier.Drives()), "/ /mnt/data/");

    std::vector<TDriveEvent> seen;
    std::vector<std::thread::id> threads;
    int second = 0;
    notifier.AddHandler(&seen, [&](const TDriveEvent& event) {
        seen.push_back(event);
        threads.push_back(std::this_thread::get_id());
        // A view may leave while it is told; the one after it is not told.
        notifier.RemoveHandler(&second);
    });
    notifier.AddHandler(&second, [&](const TDriveEvent&) { ++second; });

    monitor.Change(Mounts("/ ext4 /dev/sda1;/media/u/S vfat /dev/sdb1;/mnt/nas nfs s:/x"));
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (seen.size() < 3 && dispatcher.RunOne(deadline)) {
    }
    EXPECT_EQ(Format(seen), "-/mnt/data/ fixed; +/media/u/S/ removable; +/mnt/nas/ network");
    EXPECT_EQ(threads, std::vector<std::thread::id>(3, std::this_thread::get_id()));
    EXPECT_EQ(second, 0);
    // The list holds fixed and network drives only.
    EXPECT_EQ(Paths(notifier.Drives()), "/ /mnt/nas/");
}

// The system's own table: the worker starts, waits and is stopped.
TEST(ShellChangeNotifier, WatchesTheSystemTable)
{
    TQueueDispatcher dispatcher;
    TShellChangeNotifier notifier(dispatcher);
    for (const TDriveInfo& drive : notifier.Drives())
        EXPECT_EQ(drive.Path.back(), '/') << drive.Path;
}

}  // namespace

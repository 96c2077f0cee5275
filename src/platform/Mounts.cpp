#include "platform/Mounts.h"

#include <sstream>

#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

// mountinfo writes blanks, tabs, newlines and backslashes as "\ooo".
std::string Unescape(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' &&
            field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

}  // namespace

std::vector<TMountPoint> ParseMountInfo(const std::string& text)
{
    std::vector<TMountPoint> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> parts;
        std::string field;
        while (fields >> field)
            parts.push_back(field);
        // id parent major:minor root mount-point options [optional...] - type source super-options
        size_t dash = 6;
        while (dash < parts.size() && parts[dash] != "-")
            ++dash;
        if (parts.size() < 5 || dash + 2 >= parts.size())
            continue;
        TMountPoint mount;
        mount.Path = Unescape(parts[4]);
        mount.FsType = Unescape(parts[dash + 1]);
        mount.Device = Unescape(parts[dash + 2]);
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

std::vector<TMountPoint> ReadMountPoints()
{
    try {
        // The file reports a size of 0: it is read until it ends.
        TFileStream file("/proc/self/mountinfo", TFileMode::fmOpenRead);
        std::string text;
        char chunk[16384];
        for (int64_t got; (got = file.Read(chunk, sizeof chunk)) > 0 && text.size() < (16u << 20);)
            text.append(chunk, static_cast<size_t>(got));
        return ParseMountInfo(text);
    } catch (const EMirevaError&) {
        return {};
    }
}

bool IsRemovableDevice(const std::string& device)
{
    if (device.rfind("/dev/", 0) != 0)
        return false;
    std::string name = device.substr(5);
    if (name.empty() || name.find('/') != std::string::npos)
        return false;
    // A partition ("sdb1", "mmcblk0p1") has its disk as the parent folder in
    // /sys/class/block; the flag lives with the disk.
    std::string disk = name;
    const std::string link = RealPath("/sys/class/block/" + name);
    if (!link.empty() && FileExists(link + "/partition")) {
        const size_t slash = link.rfind('/', link.size() - 1);
        const std::string parent = link.substr(0, slash);
        disk = parent.substr(parent.rfind('/') + 1);
    }
    try {
        const std::string flag = ReadWholeFile("/sys/block/" + disk + "/removable", 16);
        return !flag.empty() && flag[0] == '1';
    } catch (const EMirevaError&) {
        return false;
    }
}

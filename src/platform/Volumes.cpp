#include "platform/Volumes.h"

#include <sys/statvfs.h>

#include <cctype>

#include "base/Errors.h"
#include "platform/FileSystem.h"

namespace {

uint32_t Fnv1a32(std::string_view text)
{
    uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

// The value of exactly count hexadecimal digits; false for anything else.
bool ParseHex(std::string_view digits, size_t count, uint64_t& value)
{
    if (digits.size() != count)
        return false;
    value = 0;
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 16 + static_cast<uint64_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                           : std::tolower(c) - 'a' + 10);
    }
    return true;
}

// udev writes blanks and other unsafe bytes of a label as "\xHH".
std::string DecodeUdevName(const std::string& name)
{
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        uint64_t value = 0;
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && ParseHex(name.substr(i + 2, 2), 2, value)) {
            out += static_cast<char>(value);
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

// The name of the link in folder that leads to device; empty when none does.
std::string LinkTo(const std::string& folder, const std::string& device)
{
    if (!DirectoryExists(folder))
        return {};
    try {
        for (const TDirEntry& entry : ListDirectory(folder, TListDetail::ldKinds)) {
            if (RealPath(folder + "/" + entry.Name) == device)
                return DecodeUdevName(entry.Name);
        }
    } catch (const EMirevaError&) {
    }
    return {};
}

}  // namespace

uint32_t SerialFromUuid(std::string_view fsType, std::string_view uuid)
{
    if (uuid.empty())
        return 0;
    uint64_t value = 0;
    if (fsType == "vfat" || fsType == "msdos" || fsType == "exfat") {
        if (uuid.size() == 9 && uuid[4] == '-') {
            std::string digits(uuid.substr(0, 4));
            digits += uuid.substr(5);
            if (ParseHex(digits, 8, value))
                return static_cast<uint32_t>(value);
        }
    } else if (fsType == "ntfs" || fsType == "ntfs3") {
        if (ParseHex(uuid, 16, value))
            return static_cast<uint32_t>(value);
    }
    return Fnv1a32(uuid);
}

TVolumeInfo ReadVolumeInfo(const TMountPoint& mount, const std::string& diskFolder)
{
    TVolumeInfo info;
    info.MountPath = mount.Path;
    info.Device = mount.Device;
    info.FsType = mount.FsType;
    if (mount.Device.rfind("/", 0) == 0) {
        const std::string device = RealPath(mount.Device);
        if (!device.empty()) {
            info.Label = LinkTo(diskFolder + "/by-label", device);
            info.Uuid = LinkTo(diskFolder + "/by-uuid", device);
            info.Optical = device.rfind("/dev/sr", 0) == 0;
        }
        info.Removable = info.Optical || IsRemovableDevice(device.empty() ? mount.Device : device);
    }
    info.Serial = SerialFromUuid(info.FsType, info.Uuid);
    struct statvfs st;
    if (statvfs(mount.Path.c_str(), &st) == 0) {
        info.Capacity = static_cast<int64_t>(st.f_blocks) * static_cast<int64_t>(st.f_frsize);
        info.FreeSpace = static_cast<int64_t>(st.f_bavail) * static_cast<int64_t>(st.f_frsize);
    }
    return info;
}

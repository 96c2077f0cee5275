#pragma once

// What identifies the volume behind a mount, so that a catalogued disc is
// recognised when it is mounted again: its label and serial number as the
// udev links in /dev/disk name them, its sizes from statvfs, and whether its
// disk is removable.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Mounts.h"

struct TVolumeInfo {
    std::string MountPath;
    std::string Device;
    std::string FsType;
    std::string Label;   // empty when the volume has none
    std::string Uuid;    // as udev names it ("1A2B-3C4D", "0123456789ABCDEF", a UUID)
    uint32_t Serial = 0;
    bool Removable = false;
    bool Optical = false;  // a CD or DVD drive (/dev/sr*)
    int64_t Capacity = 0;  // total bytes
    int64_t FreeSpace = 0; // bytes available to us
};

// The serial number of a volume from its udev UUID: the FAT and exFAT volume
// serial ("XXXX-XXXX") as its 32-bit value, for NTFS the low 32 bits of its
// 64-bit serial, for every other file system (and any UUID that does not have
// the form its file system promises) the FNV-1a-32 hash of the UUID text.
// 0 for an empty UUID.
uint32_t SerialFromUuid(std::string_view fsType, std::string_view uuid);

// The volume behind a mount. diskFolder holds udev's "by-label" and "by-uuid"
// links (tests pass their own). Missing facts stay empty or 0.
TVolumeInfo ReadVolumeInfo(const TMountPoint& mount, const std::string& diskFolder = "/dev/disk");

#pragma once

// The mounted file systems, as /proc/self/mountinfo lists them, and what kind
// of drive lies behind one. The folder model shows user mounts beside the
// home folder and "/", and tells drive kinds apart by these facts.

#include <string>
#include <vector>

struct TMountPoint {
    std::string Path;    // where it is mounted, without trailing '/' ("/" for the root)
    std::string Device;  // the mount source ("/dev/sdb1", "server:/export", "tmpfs")
    std::string FsType;  // "ext4", "vfat", "nfs4", "fuse.sshfs", ...
};

// The mount table of this process; empty when it cannot be read.
std::vector<TMountPoint> ReadMountPoints();
// Parses the text of a mountinfo file (octal escapes such as "\040" decoded).
std::vector<TMountPoint> ParseMountInfo(const std::string& text);

// The block device's "removable" flag in /sys/block (partitions look at their
// disk); false when unknown.
bool IsRemovableDevice(const std::string& device);

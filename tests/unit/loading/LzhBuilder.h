#pragma once

// Builds LHA archives byte by byte for the archive tests and the fuzz seeds:
// no free tool writes the format, and old Japanese books come in it. Members
// are stored ("-lh0-"); paths are given with '/' (never a byte of a CP932
// character) and written as each header level keeps them. Level 0 keeps the
// whole name in the base header, '\' between folders; level 1 keeps the file
// name there and the folders in a directory extension (type 2, 0xFF after
// each folder); level 2 keeps the whole name, with '\', in a file-name
// extension (type 1). Levels 0 and 1 check their header by a byte sum, level
// 2 by a CRC-16 of the whole header (extension type 0).

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lzhbuilder {

inline void PutLE(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The CRC-16 of LHA (reflected polynomial 0xA001), over data and headers.
inline uint16_t Crc16(const std::string& bytes, uint16_t crc = 0)
{
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

// A header of level 0 or 1: its size and byte sum in front of it.
inline std::string WithSum(const std::string& header)
{
    uint8_t sum = 0;
    for (unsigned char b : header)
        sum = static_cast<uint8_t>(sum + b);
    return std::string(1, static_cast<char>(header.size())) + static_cast<char>(sum) + header;
}

}  // namespace lzhbuilder

// One member; unixTime is written by level 2, levels 0 and 1 hold the MS-DOS
// time 2020-09-13 12:26:40.
inline std::string BuildLzhMember(int level, const std::string& path, const std::string& data, int64_t unixTime)
{
    using namespace lzhbuilder;
    std::string name = path;
    std::replace(name.begin(), name.end(), '/', '\\');
    const uint32_t dosTime = ((2020 - 1980) << 25) | (9 << 21) | (13 << 16) | (12 << 11) | (26 << 5) | (40 / 2);
    std::string header = "-lh0-";
    if (level == 0) {
        PutLE(header, data.size(), 4);  // packed
        PutLE(header, data.size(), 4);  // original
        PutLE(header, dosTime, 4);
        header += std::string("\x20\x00", 2);  // attribute, level
        header += static_cast<char>(name.size()) + name;
        PutLE(header, Crc16(data), 2);
        return WithSum(header) + data;
    }
    if (level == 1) {
        const size_t cut = path.rfind('/');
        const std::string file = cut == std::string::npos ? path : path.substr(cut + 1);
        std::string folders = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
        std::replace(folders.begin(), folders.end(), '/', '\xFF');
        // Each extension: type, data, then the size of the next one (0: none).
        const std::string extension = folders.empty() ? std::string() : "\x02" + folders;
        const size_t extensionSize = extension.empty() ? 0 : extension.size() + 2;
        PutLE(header, data.size() + extensionSize, 4);  // the extensions count as packed bytes
        PutLE(header, data.size(), 4);
        PutLE(header, dosTime, 4);
        header += std::string("\x20\x01", 2);
        header += static_cast<char>(file.size()) + file;
        PutLE(header, Crc16(data), 2);
        header += 'M';  // made on MS-DOS
        PutLE(header, extensionSize, 2);
        std::string out = WithSum(header);
        if (!extension.empty()) {
            out += extension;
            PutLE(out, 0, 2);
        }
        return out + data;
    }
    // Level 2: extensions are "size (2), type, data", ended by a size of 0.
    const std::string crcExtension = std::string("\x05\x00\x00\x00\x00", 5);
    std::string nameExtension;
    PutLE(nameExtension, name.size() + 3, 2);
    nameExtension += "\x01" + name;
    const size_t total = 24 + crcExtension.size() + nameExtension.size() + 2;
    std::string out;
    PutLE(out, total, 2);
    out += header;
    PutLE(out, data.size(), 4);
    PutLE(out, data.size(), 4);
    PutLE(out, static_cast<uint64_t>(unixTime), 4);
    out += std::string("\x20\x02", 2);
    PutLE(out, Crc16(data), 2);
    out += 'U';  // made on Unix
    const size_t crcAt = out.size() + 3;
    out += crcExtension + nameExtension;
    PutLE(out, 0, 2);
    const uint16_t crc = Crc16(out);
    out[crcAt] = static_cast<char>(crc & 0xFF);
    out[crcAt + 1] = static_cast<char>(crc >> 8);
    return out + data;
}

// A whole archive of (path, bytes) members, ended by a zero byte.
inline std::string BuildLzh(int level, const std::vector<std::pair<std::string, std::string>>& members,
                            int64_t unixTime = 1600000000)
{
    std::string out;
    for (const auto& [path, data] : members)
        out += BuildLzhMember(level, path, data, unixTime);
    return out + '\0';
}

#pragma once

// File sizes as the program shows them. FormatByteSize is the desktop's way
// (status bar, properties, the file list's "best unit"): decimal units with
// one decimal ("6.0 kB", "1.5 MB"), whole bytes below a kilobyte ("999 バイト").
// The file list's size column may instead show whole kilobytes or whole
// bytes. One function per way, so every place shows the same text for the
// same size.

#include <cstdint>
#include <string>

// Units of 1000 (kB, MB, GB, TB, PB, EB), rounded half up to one decimal; a
// value that rounds to 1000.0 of a unit is shown in the next unit instead
// ("1.0 MB", never "1000.0 kB"). A negative size (which no file has) shows as
// zero bytes.
std::string FormatByteSize(int64_t bytes);

// Whole kilobytes of 1024 bytes, rounded up so that a file of one byte does
// not read as empty, with thousands grouped: "0 KB", "1 KB", "1,234 KB".
std::string FormatKBSize(int64_t bytes);
// The byte count with thousands grouped: "1,234,567".
std::string FormatByteCount(int64_t bytes);

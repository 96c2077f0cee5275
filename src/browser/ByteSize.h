#pragma once

// File sizes as the desktop's file managers show them in the status bar and
// in properties: decimal units with one decimal ("6.0 kB", "1.5 MB"), whole
// bytes below a kilobyte ("999 バイト"). One function, so every place that
// shows a size in these words shows the same text for the same size.

#include <cstdint>
#include <string>

// Units of 1000 (kB, MB, GB, TB, PB, EB), rounded half up to one decimal; a
// value that rounds to 1000.0 of a unit is shown in the next unit instead
// ("1.0 MB", never "1000.0 kB"). A negative size (which no file has) shows as
// zero bytes.
std::string FormatByteSize(int64_t bytes);

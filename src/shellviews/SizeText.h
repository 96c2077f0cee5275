#pragma once

// The size column of the browser's lists in the three units the user can
// choose (FILERVIEW SizeUnit): whole kilobytes rounded up ("1,234 KB"), bytes
// with thousands separators ("1,263,616"), or the desktop's best unit
// ("1.2 MB", "999 バイト"). One function, so the file list and the archive
// list show the same text for the same size.

#include <cstdint>
#include <string>

#include "app/Init.h"

std::string FormatSizeColumn(int64_t bytes, TSizeUnit unit);

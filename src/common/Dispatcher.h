#pragma once

// The dispatcher interface lives in base/, so that the Qt dispatcher of the
// platform layer can implement it; this name stays for the code that already
// includes it.

#include "base/Dispatcher.h"

#pragma once

// What the running copy does with the command line a later start handed
// over: come to the front always, and for the arguments switch the settings
// file, enter full screen and open a path. The window carries the request
// out in that order.

#include <string>

#include "app/PathInfo.h"
#include "platform/SingleInstance.h"

struct THandOverRequest {
    // False when the later start had no arguments: only come to the front.
    bool HasArguments = false;
    // "-f" while full screen is off; "-f" never leaves full screen.
    bool EnterFullScreen = false;
    // An existing ".ini" or ".lys" file named after "-s"; empty otherwise.
    std::string SettingsPath;
    // The first argument that leads somewhere, absolute; empty when none.
    std::string OpenPath;
};

// message.Args holds the program path first; relative arguments are taken
// against the sender's working folder (context.WorkingFolder is replaced).
THandOverRequest ParseHandOver(const THandOver& message, bool fullScreen, TResolveContext context);

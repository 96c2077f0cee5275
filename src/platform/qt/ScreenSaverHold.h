#pragma once

// Holds the desktop's screen saver off while the slideshow runs or full
// screen asks for it, through the freedesktop ScreenSaver service on the
// session bus. Where the build has no D-Bus support, or no such service
// answers, holding does nothing: the program works the same, the screen
// saver may simply start. User-interface thread.

#include <cstdint>

class TScreenSaverHold {
public:
    TScreenSaverHold() = default;
    ~TScreenSaverHold();
    TScreenSaverHold(const TScreenSaverHold&) = delete;
    TScreenSaverHold& operator=(const TScreenSaverHold&) = delete;

    // Asks for (true) or gives back (false) the hold; repeated calls with
    // the same value ask the service nothing, so one hold is taken at most.
    void SetHeld(bool held);
    bool Held() const { return fHeld; }

private:
    bool fHeld = false;
    // The service's cookie for the hold; 0 when it gave none.
    uint32_t fCookie = 0;
};

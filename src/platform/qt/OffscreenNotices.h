#pragma once

// Keeps Qt's notices about what the offscreen platform cannot do ("This
// plugin does not support propagateSizeHints()", raise(), grabbing the
// keyboard, ...) out of the output. The snapshot mode runs on that platform
// when there is no display, and such a notice on every run would bury the
// messages that matter. Every other message, and these on a real display,
// go on to the handler installed before.

class TOffscreenNotices {
public:
    // Needs the QGuiApplication; user-interface thread. Only one may exist
    // at a time; it puts the previous message handler back when destroyed.
    TOffscreenNotices();
    ~TOffscreenNotices();
    TOffscreenNotices(const TOffscreenNotices&) = delete;
    TOffscreenNotices& operator=(const TOffscreenNotices&) = delete;
};

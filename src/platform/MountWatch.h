#pragma once

// A wait for the next change of the mount table: the system marks
// /proc/self/mountinfo with an exceptional condition whenever something is
// mounted or unmounted. The drive notifier of the views
// (shellviews/ShlNotify.h) waits here on its worker thread and reads the table
// again (platform/Mounts.h) after each change.

class TMountTableWatch {
public:
    // Raises EFileError when the table cannot be opened.
    TMountTableWatch();
    ~TMountTableWatch();
    TMountTableWatch(const TMountTableWatch&) = delete;
    TMountTableWatch& operator=(const TMountTableWatch&) = delete;

    // Waits until the table changes, Wake is called or timeoutMs passes
    // (negative: no limit); true when the table changed. Each change is
    // reported once; changes made before the object existed are not.
    bool Wait(int timeoutMs);
    // Any thread. Ends the current or next Wait at once.
    void Wake();

private:
    int fTable = -1;
    int fWake = -1;
};

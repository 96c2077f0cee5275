#pragma once

// The loader lock: held around every call into a plug-in library that has
// not declared itself thread-safe (SpiThreadSafe in the plug-in interface),
// around the header read of detection on a file over a list that holds such
// a plug-in (detection asks every plug-in), and around loading and unloading
// any plug-in library. Such libraries are not re-entrant, and the same
// library may be held by two loader sets at once (the current one and an
// older one a worker still uses), or by two registries in one process, which
// the system loads only once: so it is one lock for the whole process, not
// one per set. A plug-in that declared itself thread-safe is called without
// it, by as many threads as call it.
//
// Only the loading code takes it (its tests watch it); callers outside never
// do, since every plug-in call takes it itself. No other lock is ever taken
// while it is held. It is recursive because detection on a file holds it
// while each plug-in's IsSupported takes it again.

#include <mutex>

std::recursive_mutex& LoaderLock();

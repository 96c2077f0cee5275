#pragma once

// Thread settings of the operating system for the program's workers.

// Lowers the calling thread's scheduling priority below normal, so that
// background work (prefetching pictures, making thumbnails) never slows the
// windows down. Failure is ignored: the thread simply runs at normal priority.
void LowerThreadPriority();

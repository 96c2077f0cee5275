#include "platform/Threads.h"

#include <sys/resource.h>
#include <unistd.h>

void LowerThreadPriority()
{
    // On Linux the nice value belongs to the thread, so this leaves the rest
    // of the program alone.
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}

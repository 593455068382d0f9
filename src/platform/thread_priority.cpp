#include "platform/thread_priority.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace quixo {

bool LowerThisThreadsPriority() {
#ifdef _WIN32
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL) != 0;
#else
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10) == 0;
#endif
}

}  // namespace quixo

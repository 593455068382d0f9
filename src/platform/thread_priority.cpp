#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace quixo {

bool LowerThisThreadsPriority() {
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10) == 0;
}

}  // namespace quixo

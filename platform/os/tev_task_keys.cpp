#include "platform/os/tev_task_keys.h"

#include "tevdll.h"

namespace platform {

int TevTaskKeys::disableTaskKeys(int first, int second) {
    return ::DisableTaskKeys(first, second);
}

} // namespace platform

// Task-key blocking through our own libTEVDLL.so, bound when the program is loaded.
#pragma once

#include "platform/os/task_keys.h"

namespace platform {

class TevTaskKeys final : public TaskKeys {
public:
    int disableTaskKeys(int first, int second) override;
};

} // namespace platform

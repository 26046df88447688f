// Blocking the keys that switch away from the full-screen program.
#pragma once

namespace platform {

class TaskKeys {
public:
    virtual ~TaskKeys() = default;
    virtual int disableTaskKeys(int first, int second) = 0;
};

} // namespace platform

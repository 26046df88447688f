// The state folder of the desktop: "K_Vorne" in the user's data folder (beside drive C), with
// flock(2) locks.
#pragma once

#include "platform/os/state_folder.h"

namespace platform {

class QtStateFolder final : public StateFolder {
public:
    QString path() override;
    std::unique_ptr<FileLock> lockFile(const QString& path) override;
};

} // namespace platform

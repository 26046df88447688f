#include "platform/widgets/shell.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
Shell* current = nullptr;
}

void installShell(Shell* shell) {
    current = shell;
}

Shell& shell() {
    if (current == nullptr) {
        std::fprintf(stderr, "K_Vorne: the shell used before it was installed\n");
        std::abort();
    }
    return *current;
}

} // namespace platform

// The process's backend.
#include <cstdio>
#include <cstdlib>

#include "backend/backend.h"

namespace platform {
namespace {
std::unique_ptr<Backend>& Installed() {
    static std::unique_ptr<Backend> backend;
    return backend;
}
}  // namespace

void InstallBackend(std::unique_ptr<Backend> backend) { Installed() = std::move(backend); }

bool HasBackend() { return Installed() != nullptr; }

Backend& CurrentBackend() {
    if (!Installed()) {
        std::fputs("platform: no backend installed\n", stderr);
        std::abort();
    }
    return *Installed();
}
}  // namespace platform

// The modules the process has loaded through LoadLibraryW, and the executable itself.
#pragma once

#include <string>

#include "win32/types.h"

struct ModuleObject {
    void* library = nullptr;  // the loader's handle
    std::string hostPath;     // absolute
    int loadCount = 0;
    bool isExecutable = false;
};

// The executable's module object (GetModuleHandleW(nullptr)).
HMODULE ExecutableModule();

// True for the executable's handle and for null, which Windows also takes as the executable
// in the resource calls.
bool IsExecutableModule(HMODULE module);

// The host path of a module, or nullopt-like empty string when the handle is unknown.
std::string ModuleHostPath(HMODULE module);

// The absolute host path of the running executable.
std::string ExecutableHostPath();

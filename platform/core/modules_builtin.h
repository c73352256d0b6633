// System libraries that the layer provides itself, found by LoadLibraryW before any file:
// "Shell32.dll" with its control-panel entry point Control_RunDLLW.
#pragma once

#include "win32/types.h"

namespace platform {

// The built-in module of that name (a bare file name, any case, ".dll" optional), or null.
HMODULE FindBuiltInModule(LPCWSTR name);
bool IsBuiltInModule(HMODULE module);
// An export of a built-in module by its narrow name, or null.
FARPROC BuiltInProcAddress(HMODULE module, LPCSTR name);

}  // namespace platform

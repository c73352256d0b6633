// The shell's helper object (window.external), a system component of every process. The
// class table of com_runtime.cpp names it, which also keeps it in every program that links
// the layer (a self-registering object file of a static library would be left out).
#pragma once

#include "com/com.h"

namespace platform {
HRESULT CreateShellUIHelper(REFIID iid, void** out);
}

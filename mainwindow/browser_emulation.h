// The document mode of the browser engine: the FEATURE_BROWSER_EMULATION value named after
// the executable, read under HKEY_CURRENT_USER and then HKEY_LOCAL_MACHINE, written under
// HKEY_CURRENT_USER only (and only when the key already exists).
#pragma once

#include "win32/types.h"

// 0 when no value was found.
DWORD ReadBrowserEmulation();
void WriteBrowserEmulation(DWORD value);

// The Compatibility command of a mode value (0 for a value outside the table), and back.
UINT CompatibilityCommandOf(DWORD value);
DWORD EmulationValueOf(UINT command);

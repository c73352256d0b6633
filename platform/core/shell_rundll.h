// What the shell runs itself instead of starting rundll32.exe: the entries of the system's
// control-panel libraries that have a counterpart in this layer.
#pragma once

#include <optional>
#include <string_view>

#include "win32/types.h"

namespace platform {

// True when file names rundll32.exe (by file name, any case, with or without a folder).
bool IsRunDllProgram(std::u16string_view file);

// The WebsiteData kinds that "InetCpl.cpl,ClearMyTracksByProcess <flags>" asks to clear:
// flag 2 the cookies, flag 8 the temporary Internet files. Other flags (history, form data,
// passwords) have no counterpart and are ignored. nullopt when the parameters are not that
// entry or its flags are not a decimal number.
std::optional<unsigned> ClearTracksKinds(std::u16string_view parameters);

// Control_RunDLLW of the built-in shell library: "inetcpl.cpl" (with its optional ",<name>,
// <page>" tail) shows the desktop's Internet Options; any other applet is not available and
// nothing happens.
void RunControlPanelApplet(HWND window, std::u16string_view command);

}  // namespace platform

// Hands an address or a file to the desktop's default application through "xdg-open",
// found on PATH (so that a test can put a recording one first).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::desktop {

// What xdg-open is given for a target: an address with a scheme as it is, a Windows path
// as the host path it names. Nothing for an empty target or a path with no host
// equivalent.
std::optional<std::string> DesktopArgumentFor(std::u16string_view target);

// Starts "xdg-open <argument>" without waiting for it; false when it could not be started.
bool LaunchWithDesktop(const std::string& argument);

}  // namespace platform::desktop

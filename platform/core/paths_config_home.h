// The user's configuration folder of the XDG base-directory rules: $XDG_CONFIG_HOME when it
// is an absolute path, else $HOME/.config; nullopt when neither is known. Both the roaming
// application-data folder and the per-user registry hive live there.
#pragma once

#include <optional>
#include <string>

std::optional<std::string> UserConfigHome();

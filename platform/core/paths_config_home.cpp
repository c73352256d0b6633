#include "paths_config_home.h"

#include <cstdlib>

std::optional<std::string> UserConfigHome() {
    // The base-directory rules ignore a relative value: it would depend on the working folder.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') return std::string(configHome);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        std::string path = home;
        if (path.back() != '/') path += '/';
        return path + ".config";
    }
    return std::nullopt;
}

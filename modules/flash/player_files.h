// The player's files beside the module: the folder "flash-player" holds them and a list,
// "player-files.txt", that names each of them on a line of its own, the loader script first.
#pragma once

#include <optional>
#include <string>

namespace flash_module {

inline constexpr char kPlayerFolderName[] = "flash-player";
inline constexpr char kPlayerListName[] = "player-files.txt";

struct PlayerFiles {
    std::string folder;  // host path
    std::string loader;  // file name inside folder
};

// The player in moduleFolder's player folder when its list can be read and every file it
// names is a plain file name, present and readable; nullopt otherwise.
std::optional<PlayerFiles> FindPlayerFiles(const std::string& moduleFolder);

}  // namespace flash_module

#include "player_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <vector>

namespace flash_module {
namespace {

// A name inside the folder itself: no separator, no way up, nothing hidden.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find('\0') == std::string::npos;
}

// Present, a regular file, and its first byte can be read.
bool IsReadableFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    char first = 0;
    const bool readable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::read(fd, &first, 1) == 1;
    ::close(fd);
    return readable;
}

}  // namespace

std::optional<PlayerFiles> FindPlayerFiles(const std::string& moduleFolder) {
    if (moduleFolder.empty()) return std::nullopt;
    const std::string folder = moduleFolder + "/" + kPlayerFolderName;
    std::ifstream list(folder + "/" + kPlayerListName);
    if (!list) return std::nullopt;
    std::vector<std::string> names;
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (!IsPlainFileName(line)) return std::nullopt;
        names.push_back(line);
    }
    if (list.bad() || names.empty()) return std::nullopt;
    for (const std::string& name : names)
        if (!IsReadableFile(folder + "/" + name)) return std::nullopt;
    return PlayerFiles{folder, names.front()};
}

}  // namespace flash_module

#include "registry_hive_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "atomic_write.h"
#include "files_descriptor.h"
#include "paths_config_home.h"
#include "win32/api.h"

namespace {

constexpr const char* kMachineFolder = "/var/lib/pelmarin-platform";

enum class FileState { Missing, Read, Unreadable };

struct HiveText {
    FileState state = FileState::Missing;
    std::string bytes;
};

HiveText ReadFileBytes(const std::string& path) {
    HiveText result;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsValid()) {
        result.state = errno == ENOENT ? FileState::Missing : FileState::Unreadable;
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            result.state = FileState::Unreadable;
            result.bytes.clear();
            return result;
        }
        if (n == 0) break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    result.state = FileState::Read;
    return result;
}

// Keeps the file that did not read back whole, before it is replaced.
bool KeepUnreadable(const std::string& file, const HiveText& old) {
    const std::string kept = file + ".unreadable";
    if (old.state == FileState::Read) return ReplaceFileAtomically(kept, old.bytes);
    return ::rename(file.c_str(), kept.c_str()) == 0;
}

}  // namespace

bool IsSupportedPredefinedKey(HKEY key) {
    return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT;
}

std::optional<HiveLocation> LocateHive(HKEY key) {
    HiveLocation hive;
    if (key == HKEY_CURRENT_USER) {
        const auto configHome = UserConfigHome();
        if (!configHome) return std::nullopt;
        hive.name = u"HKEY_CURRENT_USER";
        hive.folder = *configHome + "/pelmarin-platform";
    } else if (key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT) {
        const char* machine = std::getenv("PELMARIN_MACHINE_REGISTRY");
        hive.name = key == HKEY_LOCAL_MACHINE ? u"HKEY_LOCAL_MACHINE" : u"HKEY_CLASSES_ROOT";
        hive.folder = (machine != nullptr && machine[0] != '\0') ? machine : kMachineFolder;
    } else {
        return std::nullopt;
    }
    hive.file = hive.folder + "/" + std::string(hive.name.begin(), hive.name.end()) + ".reg";
    return hive;
}

RegistryDocument ReadHive(const HiveLocation& hive) {
    const HiveText text = ReadFileBytes(hive.file);
    if (text.state != FileState::Read) return {};
    return ParseRegistryText(text.bytes).document;
}

LONG ModifyHive(const HiveLocation& hive, const std::function<LONG(RegistryDocument&, bool&)>& change) {
    std::error_code error;
    std::filesystem::create_directories(hive.folder, error);
    // Serialises the writers of all processes; under it no other writer is half-way through.
    const FolderWriteLock lock(hive.folder);
    if (!lock.Held()) return ERROR_PATH_NOT_FOUND;

    const HiveText old = ReadFileBytes(hive.file);
    ParsedRegistryDocument parsed;
    if (old.state == FileState::Read) parsed = ParseRegistryText(old.bytes);

    bool changed = false;
    const LONG result = change(parsed.document, changed);
    if (result != ERROR_SUCCESS || !changed) return result;

    const bool lossy = old.state == FileState::Unreadable || (old.state == FileState::Read && !parsed.complete);
    RemoveLeftoverTemporaries(hive.file);
    RemoveLeftoverTemporaries(hive.file + ".unreadable");
    if (lossy && !KeepUnreadable(hive.file, old)) return ERROR_ACCESS_DENIED;
    if (!ReplaceFileAtomically(hive.file, SerializeRegistryText(parsed.document))) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

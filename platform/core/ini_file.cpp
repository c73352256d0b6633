#include "ini_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "atomic_write.h"
#include "files_descriptor.h"
#include "paths.h"

namespace ini {
namespace {

LoadedFile LoadHostFile(const std::string& hostPath) {
    LoadedFile result;
    // Without O_NONBLOCK a named pipe in the file's place would hang the read forever.
    FileDescriptor file(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        result.status = errno == ENOENT ? LoadStatus::Missing : LoadStatus::Unreadable;
        return result;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        result.status = LoadStatus::Unreadable;
        return result;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            result.status = LoadStatus::Unreadable;
            return result;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    result.status = LoadStatus::Loaded;
    result.document = IniDocument::Parse(bytes);
    return result;
}

enum class Edit { Refused, Unchanged, Changed };

std::string FolderOf(const std::string& hostPath) {
    const std::size_t slash = hostPath.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : hostPath.substr(0, slash);
}

// Reads the file, lets edit change the document, and writes the result back in one piece.
// The folder's lock makes the read-modify-write of two processes follow one another, so
// neither loses the other's change; a file system that cannot lock still gets atomic writes.
bool EditIniFile(std::u16string_view path, const std::function<Edit(IniDocument&)>& edit) {
    const std::optional<std::string> hostPath = ToHostPath(path);
    if (!hostPath || hostPath->empty()) return false;
    const FolderWriteLock lock(FolderOf(*hostPath));
    LoadedFile loaded = LoadHostFile(*hostPath);
    if (loaded.status == LoadStatus::Unreadable) return false;
    switch (edit(loaded.document)) {
    case Edit::Refused: return false;
    case Edit::Unchanged: return true;
    case Edit::Changed: break;
    }
    if (lock.Held()) RemoveLeftoverTemporaries(*hostPath);
    return ReplaceFileAtomically(*hostPath, loaded.document.Serialize());
}

}  // namespace

LoadedFile LoadIniFile(std::u16string_view path) {
    const std::optional<std::string> hostPath = ToHostPath(path);
    if (!hostPath || hostPath->empty()) return LoadedFile{LoadStatus::Unreadable, {}};
    return LoadHostFile(*hostPath);
}

std::optional<std::u16string> ReadIniValue(std::u16string_view path, std::u16string_view section,
                                           std::u16string_view key) {
    const LoadedFile loaded = LoadIniFile(path);
    if (loaded.status != LoadStatus::Loaded) return std::nullopt;
    return loaded.document.Find(section, key);
}

bool WriteIniValue(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                   const char16_t* value) {
    return EditIniFile(path, [&](IniDocument& document) {
        if (value == nullptr) {
            // Removing an absent key is no failure, and there is nothing to write.
            return document.RemoveKey(section, key) ? Edit::Changed : Edit::Unchanged;
        }
        return document.Set(section, key, value) ? Edit::Changed : Edit::Refused;
    });
}

bool RemoveIniSection(std::u16string_view path, std::u16string_view section) {
    return EditIniFile(path, [&](IniDocument& document) {
        return document.RemoveSection(section) ? Edit::Changed : Edit::Unchanged;
    });
}

}  // namespace ini

#include "atomic_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <random>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Every temporary file of a target starts with this, so that leftovers can be found.
std::string TemporaryPrefix(const std::string& hostPath) { return "." + NameOf(hostPath) + ".tmp-"; }

// A fresh file next to the target, created exclusively (the umask applies to its mode).
FileDescriptor CreateTemporary(const std::string& hostPath, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    std::random_device entropy;
    const std::string stem =
        FolderOf(hostPath) + "/" + TemporaryPrefix(hostPath) + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporaryPath = stem + std::to_string(counter.fetch_add(1)) + "-" + std::to_string(entropy());
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return FileDescriptor(fd);
        if (errno != EEXIST) break;
    }
    temporaryPath.clear();
    return FileDescriptor();
}

// Removes the temporary file unless the rename took it.
class TemporaryFileGuard {
public:
    explicit TemporaryFileGuard(const std::string& path) : path_(path) {}
    ~TemporaryFileGuard() {
        if (!released_) ::unlink(path_.c_str());
    }
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
    void Release() { released_ = true; }

private:
    const std::string& path_;
    bool released_ = false;
};

}  // namespace

bool ReplaceFileAtomically(const std::string& hostPath, std::string_view bytes) {
    if (hostPath.empty() || hostPath.back() == '/') return false;

    std::string temporaryPath;
    FileDescriptor file = CreateTemporary(hostPath, temporaryPath);
    if (!file.IsValid()) return false;
    TemporaryFileGuard guard(temporaryPath);

    struct stat old {};
    if (::stat(hostPath.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) return false;  // never replace a folder or a device
        ::fchmod(file.Get(), old.st_mode & 07777);
    }
    if (!WriteAll(file.Get(), bytes)) return false;
    if (::fsync(file.Get()) != 0) return false;
    if (!file.Close()) return false;
    if (::rename(temporaryPath.c_str(), hostPath.c_str()) != 0) return false;
    guard.Release();

    // Without this the rename itself may not survive a crash. Its failure is reported,
    // although the new content is already in place.
    FileDescriptor folder(::open(FolderOf(hostPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsValid()) return false;
    return ::fsync(folder.Get()) == 0;
}

FolderWriteLock::FolderWriteLock(const std::string& folder)
    : folder_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (!folder_.IsValid()) return;
    int result = 0;
    while ((result = ::flock(folder_.Get(), LOCK_EX)) != 0 && errno == EINTR) {
    }
    held_ = result == 0;
}

void RemoveLeftoverTemporaries(const std::string& hostPath) {
    const std::string folder = FolderOf(hostPath);
    const std::string prefix = TemporaryPrefix(hostPath);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) return;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view name(entry->d_name);
        if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix) {
            ::unlinkat(::dirfd(listing.get()), entry->d_name, 0);
        }
    }
}

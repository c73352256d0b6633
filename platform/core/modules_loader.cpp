// LoadLibraryW, GetProcAddress, FreeLibrary, GetModuleHandleW and GetModuleFileNameW over
// the host's dynamic loader. Each LoadLibraryW takes one reference of the loader, which the
// matching FreeLibrary gives back, so the counts are the loader's own.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "crt/crt.h"
#include "modules_builtin.h"
#include "modules_table.h"
#include "paths.h"
#include "win32/api.h"
#include "win32/module_diagnostics.h"

namespace {

thread_local std::string lastLoadError;

struct LoadedModules {
    std::mutex lock;
    std::map<void*, std::unique_ptr<ModuleObject>> byLibrary;
};

LoadedModules& Modules() {
    static LoadedModules modules;
    return modules;
}

ModuleObject* Find(LoadedModules& modules, HMODULE module) {
    for (auto& [library, object] : modules.byLibrary) {
        if (object.get() == module) return object.get();
    }
    return nullptr;
}

std::string AbsolutePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;
}

std::string LoadedPathOf(void* library, const std::string& requested) {
    link_map* map = nullptr;
    if (::dlinfo(library, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr &&
        map->l_name[0] != '\0') {
        return AbsolutePath(map->l_name);
    }
    return AbsolutePath(requested);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A bare module name is looked for in the executable's folder, then in the working folder,
// as Windows does for a desktop program; the host loader's own search is not used.
std::string Locate(const std::string& hostPath) {
    if (hostPath.find('/') != std::string::npos) return hostPath;
    const std::string besideExecutable = FolderOf(ExecutableHostPath()) + "/" + hostPath;
    if (::access(besideExecutable.c_str(), F_OK) == 0) return besideExecutable;
    return "./" + hostPath;
}

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::string GetLastModuleLoadErrorText() {
    return lastLoadError;
}

std::string ExecutableHostPath() {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0) return {};
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

HMODULE ExecutableModule() {
    static ModuleObject executable{::dlopen(nullptr, RTLD_NOW), {}, 1, true};
    return &executable;
}

bool IsExecutableModule(HMODULE module) {
    return module == nullptr || module == ExecutableModule();
}

std::string ModuleHostPath(HMODULE module) {
    if (IsExecutableModule(module)) return ExecutableHostPath();
    LoadedModules& modules = Modules();
    std::lock_guard<std::mutex> guard(modules.lock);
    ModuleObject* object = Find(modules, module);
    return object ? object->hostPath : std::string();
}

HMODULE LoadLibraryW(LPCWSTR path) {
    lastLoadError.clear();
    // The system libraries the layer provides come before any file of the same name.
    if (HMODULE builtIn = platform::FindBuiltInModule(path)) return builtIn;
    const auto hostPath = path ? ToHostPath(path) : std::nullopt;
    if (!hostPath) {
        lastLoadError = "not a path of this system";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const std::string located = Locate(*hostPath);
    void* library = ::dlopen(located.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = ::dlerror();
        lastLoadError = reason ? reason : "the module could not be loaded";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }

    LoadedModules& modules = Modules();
    std::lock_guard<std::mutex> guard(modules.lock);
    auto& object = modules.byLibrary[library];
    if (!object) {
        object = std::make_unique<ModuleObject>();
        object->library = library;
        object->hostPath = LoadedPathOf(library, located);
    }
    ++object->loadCount;
    return object.get();
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    // Exports by ordinal have no equivalent in the host's loader.
    if (name == nullptr || (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (platform::IsBuiltInModule(module)) {
        FARPROC function = platform::BuiltInProcAddress(module, name);
        if (function == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
        return function;
    }
    void* library = nullptr;
    if (IsExecutableModule(module)) {
        library = ExecutableModule()->library;
    } else {
        LoadedModules& modules = Modules();
        std::lock_guard<std::mutex> guard(modules.lock);
        ModuleObject* object = Find(modules, module);
        if (object == nullptr) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        library = object->library;
    }
    ::dlerror();
    void* symbol = ::dlsym(library, name);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    FARPROC function = nullptr;
    static_assert(sizeof function == sizeof symbol);
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

BOOL FreeLibrary(HMODULE module) {
    if (module != nullptr && (module == ExecutableModule() || platform::IsBuiltInModule(module))) return TRUE;
    LoadedModules& modules = Modules();
    std::lock_guard<std::mutex> guard(modules.lock);
    ModuleObject* object = module ? Find(modules, module) : nullptr;
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    void* library = object->library;
    if (--object->loadCount == 0) modules.byLibrary.erase(library);
    ::dlclose(library);
    return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR name) {
    if (name == nullptr) return ExecutableModule();
    // A module is named by its full path or by its file name, in any case.
    const std::u16string wanted = name;
    const bool byPath = wanted.find_first_of(u"\\/") != std::u16string::npos;
    auto matches = [&](const std::string& hostPath) {
        const std::u16string candidate = byPath ? FromHostPath(hostPath) : text::FromUtf8(NameOf(hostPath));
        const auto wantedHost = byPath ? ToHostPath(wanted) : std::nullopt;
        if (byPath && wantedHost) return SameNameIgnoringCase(FromHostPath(AbsolutePath(*wantedHost)), candidate);
        return SameNameIgnoringCase(wanted, candidate);
    };
    if (matches(ExecutableHostPath())) return ExecutableModule();
    LoadedModules& modules = Modules();
    std::lock_guard<std::mutex> guard(modules.lock);
    for (auto& [library, object] : modules.byLibrary) {
        if (matches(object->hostPath)) return object.get();
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    const std::string hostPath = ModuleHostPath(module);
    if (hostPath.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (buffer == nullptr && size > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string path = FromHostPath(hostPath);
    if (path.size() < size) {
        path.copy(buffer, path.size());
        buffer[path.size()] = u'\0';
        return static_cast<DWORD>(path.size());
    }
    // As documented: cut to size characters with the terminator, return size.
    if (size > 0) {
        path.copy(buffer, size - 1);
        buffer[size - 1] = u'\0';
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

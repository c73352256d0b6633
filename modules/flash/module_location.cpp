#include "module_location.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include "crt/crt.h"

namespace flash_module {

std::string ModuleHostPath() {
    Dl_info info{};
    // Any address inside this module names it.
    if (::dladdr(reinterpret_cast<void*>(&ModuleHostPath), &info) == 0 || info.dli_fname == nullptr) return {};
    char resolved[PATH_MAX];
    if (::realpath(info.dli_fname, resolved) == nullptr) return {};
    return resolved;
}

std::string FolderOf(const std::string& hostPath) {
    const auto slash = hostPath.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : hostPath.substr(0, slash);
}

std::u16string WindowsPath(const std::string& hostPath) {
    std::u16string path = text::FromUtf8(hostPath);
    for (char16_t& c : path)
        if (c == u'/') c = u'\\';
    return !path.empty() && path[0] == u'\\' ? u"Z:" + path : path;
}

}  // namespace flash_module

// The built-in system libraries.
#include "modules_builtin.h"

#include <cstring>
#include <string>

#include "crt/crt.h"
#include "modules_table.h"
#include "shell_rundll.h"

namespace platform {
namespace {

// Control_RunDLLW(window, instance, command, show): runs a control-panel applet and returns
// when it has closed.
void ControlRunDllW(HWND window, HINSTANCE, LPCWSTR command, int) {
    RunControlPanelApplet(window, command ? std::u16string_view(command) : std::u16string_view());
}

struct BuiltInExport {
    const char* name;
    FARPROC function;
};

struct BuiltInModule {
    ModuleObject object;  // never loaded from a file: no library, no path
    const char16_t* name;
    BuiltInExport exports[1];
};

BuiltInModule& Shell32() {
    static BuiltInModule module{{nullptr, {}, 1, false},
                                u"shell32.dll",
                                {{"Control_RunDLLW", reinterpret_cast<FARPROC>(&ControlRunDllW)}}};
    return module;
}

bool NamesModule(std::u16string name, const char16_t* moduleName) {
    if (name.find_first_of(u"\\/") != std::u16string::npos) return false;
    if (name.find(u'.') == std::u16string::npos) name += u".dll";  // as the loader appends it
    return _wcsicmp(name.c_str(), moduleName) == 0;
}

}  // namespace

HMODULE FindBuiltInModule(LPCWSTR name) {
    if (!name) return nullptr;
    BuiltInModule& shell = Shell32();
    return NamesModule(name, shell.name) ? &shell.object : nullptr;
}

bool IsBuiltInModule(HMODULE module) { return module && module == &Shell32().object; }

FARPROC BuiltInProcAddress(HMODULE module, LPCSTR name) {
    if (!IsBuiltInModule(module) || !name) return nullptr;
    for (const BuiltInExport& entry : Shell32().exports)
        if (std::strcmp(entry.name, name) == 0) return entry.function;
    return nullptr;
}

}  // namespace platform

// The document-mode value in the registry.
#include "mainwindow/browser_emulation.h"

#include <string>

#include "win32/api.h"

namespace {
constexpr const char16_t* kFeatureKey =
    u"SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

struct Mode {
    UINT command;
    DWORD value;
};
constexpr Mode kModes[] = {
    {32779, 11001}, {32780, 11000}, {32781, 10001}, {32782, 10000}, {32783, 9999},
    {32784, 9000},  {32785, 8888},  {32786, 8000},  {32787, 7777},  {32788, 7000},
};

// The running executable's file name, extension included; empty when it cannot be had.
bool ExecutableValueName(std::u16string* name) {
    char16_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return false;
    std::u16string full(path);
    auto slash = full.find_last_of(u'\\');
    *name = slash == std::u16string::npos ? full : full.substr(slash + 1);
    return true;
}

DWORD QueryValue(HKEY root, const std::u16string& name) {
    HKEY key = nullptr;
    DWORD value = 0;
    if (RegOpenKeyExW(root, kFeatureKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof(value);
        RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
    }
    return value;
}
}  // namespace

DWORD ReadBrowserEmulation() {
    std::u16string name;
    if (!ExecutableValueName(&name)) return 0;
    DWORD value = QueryValue(HKEY_CURRENT_USER, name);
    if (value == 0) value = QueryValue(HKEY_LOCAL_MACHINE, name);
    return value;
}

void WriteBrowserEmulation(DWORD value) {
    std::u16string name;
    if (!ExecutableValueName(&name)) return;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kFeatureKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

UINT CompatibilityCommandOf(DWORD value) {
    for (const Mode& m : kModes)
        if (m.value == value) return m.command;
    return 0;
}

DWORD EmulationValueOf(UINT command) {
    for (const Mode& m : kModes)
        if (m.command == command) return m.value;
    return 0;
}

// The module's two entry points. The program resolves them by name; the calls they make
// (COM and the registry) are the host program's own, found when the module is loaded.
#include <cstdint>

#include "crt/crt.h"
#include "flash_control.h"
#include "module_location.h"
#include "player_files.h"
#include "win32/api.h"
#include "win32/constants.h"

namespace {

constexpr char16_t kClassKey[] = u"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

// The registration this module made in this process: 0 while it has made none.
DWORD registrationCookie = 0;

HRESULT FromWin32(LONG error) {
    return error <= 0 ? static_cast<HRESULT>(error)
                      : static_cast<HRESULT>((static_cast<std::uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

LONG SetString(HKEY key, const char16_t* name, const std::u16string& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

}  // namespace

// Makes the Flash control class available to this process while the player's files are
// there and readable: 1 when the class can be created, 0 otherwise. Once made available it
// stays so; a later call finds the files again or takes the class back.
extern "C" __attribute__((visibility("default"))) std::int32_t DllLocalRegister(std::int32_t) {
    const std::string modulePath = flash_module::ModuleHostPath();
    const auto player = flash_module::FindPlayerFiles(flash_module::FolderOf(modulePath));
    if (!player) {
        if (registrationCookie != 0 && SUCCEEDED(CoRevokeClassObject(registrationCookie))) registrationCookie = 0;
        return 0;
    }
    if (registrationCookie != 0) return 1;
    IClassFactory* classObject =
        flash_module::NewFlashClassObject(flash_module::WindowsPath(player->folder), text::FromUtf8(player->loader));
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(CLSID_FlashControl, classObject, CLSCTX_INPROC_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie);
    // The layer holds its own reference while the class is registered.
    classObject->Release();
    if (FAILED(hr)) return 0;
    registrationCookie = cookie;
    return 1;
}

// Registers the Flash control class system-wide: the class key's default value names this
// module. S_OK once written; the registry's error as an HRESULT when it cannot be written.
extern "C" __attribute__((visibility("default"))) std::int32_t DllRegisterServer(void) {
    const std::string modulePath = flash_module::ModuleHostPath();
    if (modulePath.empty()) return E_UNEXPECTED;
    HKEY key = nullptr;
    LONG error = RegCreateKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS) return FromWin32(error);
    error = SetString(key, nullptr, flash_module::WindowsPath(modulePath));
    if (error == ERROR_SUCCESS) error = SetString(key, u"ThreadingModel", u"Apartment");
    RegCloseKey(key);
    return error == ERROR_SUCCESS ? S_OK : FromWin32(error);
}

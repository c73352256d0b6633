#include "app/version_info.h"

#include <cstring>

#include "crt/crt.h"
#include "win32/api.h"

namespace {

constexpr std::size_t kQueryPathSize = 256;
constexpr WORD kVersionResourceId = 1;
constexpr DWORD kOneTranslationEntry = sizeof(DWORD);

// The block name comes from the one translation entry when there is exactly one (its low word
// the language, its high word the code page); otherwise from the user's language with the
// Unicode code page.
bool BuildStringPath(const void* block, const std::u16string& name, char16_t (&path)[kQueryPathSize]) {
    char16_t translationPath[kQueryPathSize];
    if (swprintf_s(translationPath, kQueryPathSize, u"\\VarFileInfo\\Translation") < 0) return false;
    void* translation = nullptr;
    UINT translationLength = 0;
    if (VerQueryValueW(block, translationPath, &translation, &translationLength) && translation != nullptr &&
        translationLength == kOneTranslationEntry) {
        DWORD entry = 0;
        std::memcpy(&entry, translation, sizeof entry);  // the entry need not be aligned
        const WORD language = LOWORD(entry);
        const WORD codePage = HIWORD(entry);
        return swprintf_s(path, kQueryPathSize, u"\\StringFileInfo\\%02X%02X%02X%02X\\%s", HIBYTE(language),
                          LOBYTE(language), HIBYTE(codePage), LOBYTE(codePage), name.c_str()) >= 0;
    }
    return swprintf_s(path, kQueryPathSize, u"\\StringFileInfo\\%04X04B0\\%s",
                      static_cast<unsigned>(GetUserDefaultLangID()), name.c_str()) >= 0;
}

}  // namespace

std::u16string GetVersionString(const std::u16string& name) {
    std::u16string result;
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(kVersionResourceId), RT_VERSION);
    if (resource == nullptr) return result;
    const HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr) return result;
    const void* block = LockResource(loaded);
    if (block == nullptr) return result;
    const DWORD blockSize = SizeofResource(module, resource);

    // A name too long for the path buffer finds nothing rather than being cut to another name.
    char16_t path[kQueryPathSize];
    if (!BuildStringPath(block, name, path)) return result;

    void* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueW(block, path, &value, &valueLength) || value == nullptr) return result;

    // The value's length is taken from its terminator, but the search for it never leaves the
    // resource: a block whose last string lacks its terminator must not be read beyond its end.
    const auto* blockStart = static_cast<const unsigned char*>(block);
    const auto* valueStart = static_cast<const unsigned char*>(value);
    if (valueStart < blockStart || valueStart >= blockStart + blockSize) return result;
    const std::size_t available = static_cast<std::size_t>(blockStart + blockSize - valueStart) / sizeof(char16_t);
    for (std::size_t i = 0; i < available; ++i) {
        char16_t unit = 0;
        std::memcpy(&unit, valueStart + i * sizeof unit, sizeof unit);
        if (unit == u'\0') break;
        result.push_back(unit);
    }
    return result;
}

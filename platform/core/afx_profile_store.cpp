// The application object's profile: an INI file (m_pszProfileName) or, after SetRegistryKey,
// the registry under HKEY_CURRENT_USER\Software\<key>\<application name>\<section>. The two
// are exclusive: whichever of SetProfileName and SetRegistryKey was called last decides.
// With neither, reads give their defaults and writes fail.
#include <vector>

#include "afx/app.h"
#include "ini_file.h"
#include "ini_integer.h"

namespace {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::u16string SectionKeyPath(const CWinApp& app, LPCWSTR section) {
    return std::u16string(u"Software\\") + app.m_pszRegistryKey + u"\\" + app.m_pszAppName + u"\\" + section;
}

bool CanUseRegistry(const CWinApp& app, LPCWSTR section) {
    return app.m_pszRegistryKey != nullptr && app.m_pszAppName != nullptr && *app.m_pszAppName != u'\0' &&
           section != nullptr && *section != u'\0';
}

// Opens the section for reading; reading never creates keys.
bool OpenSectionForReading(const CWinApp& app, LPCWSTR section, RegistryKey& key) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(app, section).c_str(), 0, KEY_READ, key.out()) ==
           static_cast<LONG>(ERROR_SUCCESS);
}

bool CreateSection(const CWinApp& app, LPCWSTR section, RegistryKey& key) {
    DWORD disposition = 0;
    return RegCreateKeyExW(HKEY_CURRENT_USER, SectionKeyPath(app, section).c_str(), 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr, key.out(),
                           &disposition) == static_cast<LONG>(ERROR_SUCCESS);
}

std::optional<DWORD> ReadRegistryDword(const CWinApp& app, LPCWSTR section, LPCWSTR entry) {
    RegistryKey key;
    if (!OpenSectionForReading(app, section, key)) return std::nullopt;
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            static_cast<LONG>(ERROR_SUCCESS) ||
        type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

// Strings come back exactly as stored: no blanks stripped, no length limit.
std::optional<std::u16string> ReadRegistryString(const CWinApp& app, LPCWSTR section, LPCWSTR entry) {
    RegistryKey key;
    if (!OpenSectionForReading(app, section, key)) return std::nullopt;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), entry, nullptr, &type, nullptr, &size) != static_cast<LONG>(ERROR_SUCCESS) ||
        type != REG_SZ) {
        return std::nullopt;
    }
    // The value may change between the two queries (another process); ask again while it grows.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char16_t> buffer(size / sizeof(char16_t) + 1, u'\0');
        DWORD bufferSize = static_cast<DWORD>((buffer.size() - 1) * sizeof(char16_t));
        const LONG status =
            RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bufferSize);
        if (status == static_cast<LONG>(ERROR_MORE_DATA)) {
            size = bufferSize;
            continue;
        }
        if (status != static_cast<LONG>(ERROR_SUCCESS) || type != REG_SZ) return std::nullopt;
        const std::size_t units = std::min<std::size_t>(bufferSize / sizeof(char16_t), buffer.size() - 1);
        std::u16string text(buffer.data(), units);
        if (const std::size_t end = text.find(u'\0'); end != std::u16string::npos) text.resize(end);
        return text;
    }
    return std::nullopt;
}

bool WriteRegistryValue(const CWinApp& app, LPCWSTR section, LPCWSTR entry, DWORD type, const BYTE* data,
                        DWORD size) {
    RegistryKey key;
    if (!CreateSection(app, section, key)) return false;
    return RegSetValueExW(key.get(), entry, 0, type, data, size) == static_cast<LONG>(ERROR_SUCCESS);
}

bool DeleteRegistryValue(const CWinApp& app, LPCWSTR section, LPCWSTR entry) {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(app, section).c_str(), 0, KEY_WRITE, key.out()) !=
        static_cast<LONG>(ERROR_SUCCESS)) {
        return true;  // no section, so no value either
    }
    const LONG status = RegDeleteValueW(key.get(), entry);
    return status == static_cast<LONG>(ERROR_SUCCESS) || status == static_cast<LONG>(ERROR_FILE_NOT_FOUND);
}

bool UsesIniFile(const CWinApp& app) {
    return app.m_pszRegistryKey == nullptr && app.m_pszProfileName != nullptr && *app.m_pszProfileName != u'\0';
}

}  // namespace

void CWinApp::SetRegistryKey(LPCWSTR key) {
    registryKey_ = key != nullptr ? key : u"";
    m_pszRegistryKey = key != nullptr ? registryKey_.c_str() : nullptr;
    profileName_.clear();
    m_pszProfileName = nullptr;
}

void CWinApp::SetProfileName(LPCWSTR path) {
    profileName_ = path != nullptr ? path : u"";
    m_pszProfileName = path != nullptr ? profileName_.c_str() : nullptr;
    registryKey_.clear();
    m_pszRegistryKey = nullptr;
}

UINT CWinApp::GetProfileIntW(LPCWSTR section, LPCWSTR entry, int defaultValue) {
    if (section == nullptr || entry == nullptr) return static_cast<UINT>(defaultValue);
    if (CanUseRegistry(*this, section)) {
        return ReadRegistryDword(*this, section, entry).value_or(static_cast<UINT>(defaultValue));
    }
    if (!UsesIniFile(*this)) return static_cast<UINT>(defaultValue);
    const std::optional<std::u16string> text = ini::ReadIniValue(m_pszProfileName, section, entry);
    if (!text) return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(ini::ParseProfileInteger(*text).value_or(defaultValue));
}

BOOL CWinApp::WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value) {
    if (section == nullptr || entry == nullptr) return FALSE;
    if (CanUseRegistry(*this, section)) {
        const DWORD data = static_cast<DWORD>(value);
        return WriteRegistryValue(*this, section, entry, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                  sizeof data)
                   ? TRUE
                   : FALSE;
    }
    if (!UsesIniFile(*this)) return FALSE;
    const std::u16string text = ini::FormatProfileInteger(value);
    return ini::WriteIniValue(m_pszProfileName, section, entry, text.c_str()) ? TRUE : FALSE;
}

std::u16string CWinApp::GetProfileStringW(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue) {
    const std::u16string fallback = defaultValue != nullptr ? defaultValue : u"";
    if (section == nullptr || entry == nullptr) return fallback;
    if (CanUseRegistry(*this, section)) return ReadRegistryString(*this, section, entry).value_or(fallback);
    if (!UsesIniFile(*this)) return fallback;
    return ini::ReadIniValue(m_pszProfileName, section, entry).value_or(fallback);
}

BOOL CWinApp::WriteProfileStringW(LPCWSTR section, LPCWSTR entry, LPCWSTR value) {
    if (section == nullptr) return FALSE;
    if (CanUseRegistry(*this, section)) {
        // Removing a whole section is not offered by the registry calls this layer has.
        if (entry == nullptr) return FALSE;
        if (value == nullptr) return DeleteRegistryValue(*this, section, entry) ? TRUE : FALSE;
        const std::u16string_view text(value);
        return WriteRegistryValue(*this, section, entry, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)))
                   ? TRUE
                   : FALSE;
    }
    if (!UsesIniFile(*this)) return FALSE;
    if (entry == nullptr) return ini::RemoveIniSection(m_pszProfileName, section) ? TRUE : FALSE;
    return ini::WriteIniValue(m_pszProfileName, section, entry, value) ? TRUE : FALSE;
}

// The registry calls over the hive files. An open key holds its hive and path; nothing of
// the hive is cached, so each call sees what other processes wrote.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>

#include "registry_hive_files.h"
#include "registry_text_format.h"
#include "win32/api.h"

struct RegistryKeyObject {
    HKEY root = nullptr;   // the predefined key of the hive
    std::u16string path;   // below the hive, "" for the hive's root
    REGSAM access = 0;
};

namespace {

constexpr LONG ERROR_KEY_DELETED_CODE = 1018;
constexpr REGSAM kMaximumAllowed = 0x02000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericRead = 0x80000000;

struct OpenKeys {
    std::mutex lock;
    std::set<RegistryKeyObject*> live;
};

OpenKeys& Keys() {
    static OpenKeys keys;
    return keys;
}

// What a handle stands for: its hive's predefined key, its path and its rights.
bool Resolve(HKEY key, RegistryKeyObject& out) {
    if (IsSupportedPredefinedKey(key)) {
        out = {key, u"", KEY_ALL_ACCESS};
        return true;
    }
    OpenKeys& keys = Keys();
    std::lock_guard<std::mutex> guard(keys.lock);
    if (keys.live.count(key) == 0) return false;
    out = *key;
    return true;
}

bool MayQuery(REGSAM access) {
    return (access & (KEY_QUERY_VALUE | kMaximumAllowed | kGenericAll | kGenericRead)) != 0;
}

bool MaySet(REGSAM access) {
    return (access & (KEY_SET_VALUE | kMaximumAllowed | kGenericAll | kGenericWrite)) != 0;
}

// Joins a sub key to a path; false for names the files cannot hold (control characters).
bool JoinPath(const std::u16string& base, LPCWSTR subKey, std::u16string& out) {
    out = base;
    if (subKey == nullptr) return true;
    std::u16string part;
    auto flush = [&] {
        if (part.empty()) return;
        if (!out.empty()) out += u'\\';
        out += part;
        part.clear();
    };
    for (const char16_t* p = subKey; *p != u'\0'; ++p) {
        if (*p < 0x20) return false;
        if (*p == u'\\') {
            flush();
        } else {
            part += *p;
        }
    }
    flush();
    return true;
}

std::u16string FullPath(const HiveLocation& hive, const std::u16string& path) {
    return path.empty() ? hive.name : hive.name + u"\\" + path;
}

bool StartsWithKey(const std::u16string& candidate, const std::u16string& key) {
    return candidate.size() > key.size() && candidate[key.size()] == u'\\' &&
           SameRegistryName(std::u16string_view(candidate).substr(0, key.size()), key);
}

// A key exists when its section, or a section below it, does; a hive's root always exists.
bool KeyExists(const RegistryDocument& document, const HiveLocation& hive, const std::u16string& path) {
    if (path.empty()) return true;
    const std::u16string full = FullPath(hive, path);
    return std::any_of(document.sections.begin(), document.sections.end(), [&](const RegistrySection& s) {
        return SameRegistryName(s.path, full) || StartsWithKey(s.path, full);
    });
}

RegistrySection* FindSection(RegistryDocument& document, const std::u16string& full) {
    for (auto& section : document.sections) {
        if (SameRegistryName(section.path, full)) return &section;
    }
    return nullptr;
}

RegistrySection& EnsureSection(RegistryDocument& document, const std::u16string& full) {
    if (RegistrySection* section = FindSection(document, full)) return *section;
    document.sections.push_back({full, {}});
    return document.sections.back();
}

HKEY NewHandle(HKEY root, std::u16string path, REGSAM access) {
    auto object = std::make_unique<RegistryKeyObject>();
    object->root = root;
    object->path = std::move(path);
    object->access = access;
    OpenKeys& keys = Keys();
    std::lock_guard<std::mutex> guard(keys.lock);
    keys.live.insert(object.get());
    return object.release();
}

std::u16string ValueName(LPCWSTR name) {
    return name ? std::u16string(name) : std::u16string();
}

}  // namespace

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    RegistryKeyObject parent;
    if (!Resolve(key, parent)) return ERROR_INVALID_HANDLE;
    std::u16string path;
    if (!JoinPath(parent.path, subKey, path)) return ERROR_FILE_NOT_FOUND;
    if (!path.empty()) {
        const auto hive = LocateHive(parent.root);
        if (!hive || !KeyExists(ReadHive(*hive), *hive, path)) return ERROR_FILE_NOT_FOUND;
    }
    *result = NewHandle(parent.root, std::move(path), access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES,
                     PHKEY result, DWORD* disposition) {
    if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    RegistryKeyObject parent;
    if (!Resolve(key, parent)) return ERROR_INVALID_HANDLE;
    std::u16string path;
    if (!JoinPath(parent.path, subKey, path)) return ERROR_INVALID_PARAMETER;
    const auto hive = LocateHive(parent.root);
    if (!hive) return ERROR_PATH_NOT_FOUND;

    bool created = false;
    if (!path.empty() && !KeyExists(ReadHive(*hive), *hive, path)) {
        const LONG written = ModifyHive(*hive, [&](RegistryDocument& document, bool& changed) -> LONG {
            if (KeyExists(document, *hive, path)) return ERROR_SUCCESS;  // made meanwhile
            // Every missing key on the way gets its section, as an export lists them.
            std::size_t at = 0;
            while (at != std::u16string::npos) {
                at = path.find(u'\\', at + 1);
                const std::u16string prefix = path.substr(0, at);
                if (!KeyExists(document, *hive, prefix)) EnsureSection(document, FullPath(*hive, prefix));
            }
            changed = created = true;
            return ERROR_SUCCESS;
        });
        if (written != ERROR_SUCCESS) return written;
    }
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(parent.root, std::move(path), access);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) return ERROR_INVALID_PARAMETER;
    RegistryKeyObject self;
    if (!Resolve(key, self)) return ERROR_INVALID_HANDLE;
    if (!MayQuery(self.access)) return ERROR_ACCESS_DENIED;
    const auto hive = LocateHive(self.root);
    if (!hive) return ERROR_FILE_NOT_FOUND;

    RegistryDocument document = ReadHive(*hive);
    if (!KeyExists(document, *hive, self.path)) return ERROR_KEY_DELETED_CODE;
    const RegistrySection* section = FindSection(document, FullPath(*hive, self.path));
    const std::u16string name = ValueName(valueName);
    const RegistryValue* value = nullptr;
    if (section) {
        for (const auto& v : section->values) {
            if (SameRegistryName(v.name, name)) value = &v;
        }
    }
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;

    if (type) *type = value->type;
    const DWORD needed = static_cast<DWORD>(value->data.size());
    if (data == nullptr) {
        if (dataSize) *dataSize = needed;
        return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (needed > 0) std::memcpy(data, value->data.data(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    if (data == nullptr && dataSize > 0) return ERROR_INVALID_PARAMETER;
    RegistryKeyObject self;
    if (!Resolve(key, self)) return ERROR_INVALID_HANDLE;
    if (!MaySet(self.access)) return ERROR_ACCESS_DENIED;
    const auto hive = LocateHive(self.root);
    if (!hive) return ERROR_PATH_NOT_FOUND;

    RegistryValue value;
    value.name = ValueName(valueName);
    value.type = type;
    if (type == REG_SZ) {
        // The text up to its first terminator; a value always keeps one.
        std::u16string text;
        for (DWORD i = 0; i + 1 < dataSize; i += 2) {
            const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
            if (c == u'\0') break;
            text += c;
        }
        value.data = RegistryStringData(text);
    } else if (type == REG_DWORD) {
        if (dataSize != 4) return ERROR_INVALID_PARAMETER;
        value.data.assign(data, data + 4);
    } else {
        value.data.assign(data, data + dataSize);
    }

    return ModifyHive(*hive, [&](RegistryDocument& document, bool& changed) -> LONG {
        if (!KeyExists(document, *hive, self.path)) return ERROR_KEY_DELETED_CODE;
        RegistrySection& section = EnsureSection(document, FullPath(*hive, self.path));
        auto existing = std::find_if(section.values.begin(), section.values.end(),
                                     [&](const RegistryValue& v) { return SameRegistryName(v.name, value.name); });
        if (existing != section.values.end()) {
            existing->type = value.type;
            existing->data = value.data;  // the stored name keeps its case
        } else {
            section.values.push_back(value);
        }
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    RegistryKeyObject self;
    if (!Resolve(key, self)) return ERROR_INVALID_HANDLE;
    if (!MaySet(self.access)) return ERROR_ACCESS_DENIED;
    const auto hive = LocateHive(self.root);
    if (!hive) return ERROR_FILE_NOT_FOUND;
    const std::u16string name = ValueName(valueName);

    return ModifyHive(*hive, [&](RegistryDocument& document, bool& changed) -> LONG {
        if (!KeyExists(document, *hive, self.path)) return ERROR_KEY_DELETED_CODE;
        RegistrySection* section = FindSection(document, FullPath(*hive, self.path));
        if (section == nullptr) return ERROR_FILE_NOT_FOUND;
        auto existing = std::find_if(section->values.begin(), section->values.end(),
                                     [&](const RegistryValue& v) { return SameRegistryName(v.name, name); });
        if (existing == section->values.end()) return ERROR_FILE_NOT_FOUND;
        section->values.erase(existing);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key) {
    if (IsSupportedPredefinedKey(key)) return ERROR_SUCCESS;
    OpenKeys& keys = Keys();
    std::lock_guard<std::mutex> guard(keys.lock);
    if (keys.live.erase(key) == 0) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

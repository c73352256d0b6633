#include "resource_address.h"

#include "crt/crt.h"
#include "win32/api.h"
#include "win32/constants.h"

namespace platform {
namespace {

constexpr std::u16string_view kScheme = u"res://";
constexpr WORD kHtmlType = 23;

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// %XX sequences are UTF-8 bytes; other characters stay as they are.
std::u16string PercentDecoded(std::u16string_view text) {
    std::u16string out;
    std::string bytes;
    auto flush = [&] {
        if (!bytes.empty()) out += text::FromUtf8(bytes);
        bytes.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
            continue;
        }
        flush();
        out += text[i];
    }
    flush();
    return out;
}

// "142" or "#142" as a number; anything else is a name.
std::optional<WORD> NumberOf(std::u16string_view part) {
    if (!part.empty() && part.front() == u'#') part.remove_prefix(1);
    if (part.empty() || part.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char16_t c : part) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - u'0');
    }
    if (value > 0xFFFF) return std::nullopt;
    return static_cast<WORD>(value);
}

bool NamesThisProgram(std::u16string_view module) {
    char16_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::u16string_view own(path, length);
    if (SameIgnoringAsciiCase(module, own)) return true;
    std::size_t slash = own.find_last_of(u"\\/");
    return slash != std::u16string_view::npos && SameIgnoringAsciiCase(module, own.substr(slash + 1));
}

}  // namespace

bool IsResourceAddress(std::u16string_view address) {
    return address.size() >= kScheme.size() && SameIgnoringAsciiCase(address.substr(0, kScheme.size()), kScheme);
}

std::optional<ResourceAtAddress> LoadResourceAtAddress(std::u16string_view address) {
    if (!IsResourceAddress(address)) return std::nullopt;
    std::u16string_view rest = address.substr(kScheme.size());
    if (std::size_t query = rest.find(u'?'); query != std::u16string_view::npos) rest = rest.substr(0, query);
    // A "#" that starts a part is a number ("#23"); any other starts the fragment.
    for (std::size_t hash = rest.find(u'#'); hash != std::u16string_view::npos; hash = rest.find(u'#', hash + 1))
        if (hash == 0 || rest[hash - 1] != u'/') {
            rest = rest.substr(0, hash);
            break;
        }
    std::size_t last = rest.rfind(u'/');
    if (last == std::u16string_view::npos || last == 0 || last + 1 == rest.size()) return std::nullopt;
    std::u16string id = PercentDecoded(rest.substr(last + 1));
    std::u16string_view front = rest.substr(0, last);
    std::u16string type;
    std::u16string module;
    // A module path holds backslashes only, so a slash before the id separates the type.
    if (std::size_t slash = front.rfind(u'/'); slash != std::u16string_view::npos) {
        module = PercentDecoded(front.substr(0, slash));
        type = PercentDecoded(front.substr(slash + 1));
        if (type.empty()) return std::nullopt;
    } else {
        module = PercentDecoded(front);
    }
    if (module.empty() || !NamesThisProgram(module)) return std::nullopt;

    std::optional<WORD> typeNumber = type.empty() ? std::optional<WORD>(kHtmlType) : NumberOf(type);
    std::optional<WORD> idNumber = NumberOf(id);
    LPCWSTR typeName = typeNumber ? MAKEINTRESOURCEW(*typeNumber) : type.c_str();
    LPCWSTR idName = idNumber ? MAKEINTRESOURCEW(*idNumber) : id.c_str();
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, idName, typeName);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(self, found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    DWORD size = SizeofResource(self, found);
    if (!bytes && size) return std::nullopt;
    ResourceAtAddress result;
    result.data.assign(bytes, bytes + size);
    result.mimeType = typeNumber == kHtmlType ? "text/html" : "application/octet-stream";
    return result;
}

}  // namespace platform

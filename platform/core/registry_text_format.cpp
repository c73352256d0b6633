#include "registry_text_format.h"

#include <cstdio>

#include "crt/crt.h"

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";

char16_t FoldCase(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

// Reads a quoted string at the start of s (s[0] is '"'); returns false when it is not closed.
bool ReadQuoted(std::string_view& s, std::string& out) {
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            out += s[++i];
        } else if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return true;
        } else {
            out += s[i];
        }
    }
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadHexNumber(std::string_view s, unsigned long long limit, unsigned long long& value) {
    if (s.empty() || s.size() > 16) return false;
    value = 0;
    for (char c : s) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return value <= limit;
}

bool ReadHexBytes(std::string_view s, std::vector<BYTE>& bytes) {
    bytes.clear();
    s = TrimLeft(TrimRight(s));
    if (s.empty()) return true;
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t comma = s.find(',', start);
        if (comma == std::string_view::npos) comma = s.size();
        std::string_view item = TrimLeft(TrimRight(s.substr(start, comma - start)));
        if (item.size() != 2) return false;
        unsigned long long value = 0;
        if (!ReadHexNumber(item, 0xFF, value)) return false;
        bytes.push_back(static_cast<BYTE>(value));
        start = comma + 1;
    }
    return true;
}

bool ParseValueLine(std::string_view line, RegistryValue& value) {
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else if (!ReadQuoted(line, name)) {
        return false;
    }
    value.name = text::FromUtf8(name);
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') return false;
    line = TrimLeft(line.substr(1));

    if (!line.empty() && line.front() == '"') {
        std::string content;
        if (!ReadQuoted(line, content) || !TrimRight(line).empty()) return false;
        value.type = REG_SZ;
        value.data = RegistryStringData(text::FromUtf8(content));
        return true;
    }
    if (line.substr(0, 6) == "dword:") {
        unsigned long long number = 0;
        if (!ReadHexNumber(TrimRight(line.substr(6)), 0xFFFFFFFFull, number)) return false;
        value.type = REG_DWORD;
        value.data.resize(4);
        for (int i = 0; i < 4; ++i) value.data[static_cast<std::size_t>(i)] = static_cast<BYTE>(number >> (8 * i));
        return true;
    }
    if (line.substr(0, 4) == "hex:") {
        value.type = 3;  // REG_BINARY
        return ReadHexBytes(line.substr(4), value.data);
    }
    if (line.substr(0, 4) == "hex(") {
        const auto close = line.find("):");
        if (close == std::string_view::npos) return false;
        unsigned long long type = 0;
        if (!ReadHexNumber(line.substr(4, close - 4), 0xFFFFFFFFull, type)) return false;
        value.type = static_cast<DWORD>(type);
        return ReadHexBytes(line.substr(close + 2), value.data);
    }
    return false;
}

// A value line whose data is a hex list, which may go on over several lines.
bool IsHexValueLine(std::string_view line) {
    line = TrimLeft(line);
    if (line.empty()) return false;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        std::string name;
        if (line.front() != '"' || !ReadQuoted(line, name)) return false;
    }
    line = TrimLeft(line);
    return line.substr(0, 1) == "=" && TrimLeft(line.substr(1)).substr(0, 3) == "hex";
}

void PutValue(RegistrySection& section, RegistryValue value) {
    for (auto& existing : section.values) {
        if (SameRegistryName(existing.name, value.name)) {
            existing = std::move(value);
            return;
        }
    }
    section.values.push_back(std::move(value));
}

RegistrySection& SectionFor(RegistryDocument& document, const std::u16string& path) {
    for (auto& section : document.sections) {
        if (SameRegistryName(section.path, path)) return section;
    }
    document.sections.push_back({path, {}});
    return document.sections.back();
}

std::string Quoted(std::u16string_view text) {
    std::string out = "\"";
    for (char c : text::ToUtf8(text)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string HexList(const std::vector<BYTE>& bytes) {
    std::string out;
    char item[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(item, sizeof item, "%02x", bytes[i]);
        if (i > 0) out += ',';
        out += item;
    }
    return out;
}

// A REG_SZ whose text a quoted string carries unchanged: one terminator at the end, no
// line breaks or other control characters.
bool PrintableString(const std::vector<BYTE>& data, std::u16string& textOut) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    textOut.clear();
    for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c < 0x20) return false;
        textOut += c;
    }
    return data[data.size() - 2] == 0 && data[data.size() - 1] == 0 && text::FromUtf8(text::ToUtf8(textOut)) == textOut;
}

}  // namespace

bool SameRegistryName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

std::vector<BYTE> RegistryStringData(std::u16string_view text) {
    std::vector<BYTE> data;
    data.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        data.push_back(static_cast<BYTE>(c & 0xFF));
        data.push_back(static_cast<BYTE>(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

ParsedRegistryDocument ParseRegistryText(std::string_view utf8) {
    ParsedRegistryDocument result;
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
    if (text::ToUtf8(text::FromUtf8(utf8)) != utf8) result.complete = false;  // broken UTF-8

    // Physical lines, with hex lists continued by a trailing backslash joined up.
    std::vector<std::string> lines;
    std::string pending;
    bool continuing = false;
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos) end = utf8.size();
        std::string_view line = TrimRight(utf8.substr(start, end - start));
        if (continuing) line = TrimLeft(line);
        const bool hexValue = continuing || IsHexValueLine(line);
        if (hexValue && !line.empty() && line.back() == '\\') {
            pending += line.substr(0, line.size() - 1);
            continuing = true;
        } else {
            pending += line;
            lines.push_back(std::move(pending));
            pending.clear();
            continuing = false;
        }
        start = end + 1;
    }
    if (!pending.empty()) lines.push_back(std::move(pending));

    bool headerSeen = false;
    RegistrySection* current = nullptr;
    for (const std::string& raw : lines) {
        const std::string_view line = TrimLeft(raw);
        if (line.empty() || line.front() == ';') continue;  // comments of hand-edited hives
        if (!headerSeen) {
            headerSeen = true;
            if (line == kHeader || line == kOldHeader) continue;
            result.complete = false;  // no header: read on, but it is not our file as written
        }
        if (line.front() == '[') {
            const auto close = line.rfind(']');
            if (close == std::string_view::npos || close == 1 || line[1] == '-' || !TrimRight(line.substr(close + 1)).empty()) {
                result.complete = false;
                current = nullptr;  // values after a broken section header belong nowhere
                continue;
            }
            current = &SectionFor(result.document, text::FromUtf8(line.substr(1, close - 1)));
            continue;
        }
        RegistryValue value;
        if (current == nullptr || (line.front() != '"' && line.front() != '@') || !ParseValueLine(line, value)) {
            result.complete = false;
            continue;
        }
        PutValue(*current, std::move(value));
    }
    return result;
}

std::string SerializeRegistryText(const RegistryDocument& document) {
    std::string out(kHeader);
    out += "\n\n";
    for (const auto& section : document.sections) {
        out += "[" + text::ToUtf8(section.path) + "]\n";
        for (const auto& value : section.values) {
            out += value.name.empty() ? std::string("@") : Quoted(value.name);
            out += '=';
            std::u16string textValue;
            if (value.type == REG_SZ && PrintableString(value.data, textValue)) {
                out += Quoted(textValue);
            } else if (value.type == REG_DWORD && value.data.size() == 4) {
                char number[16];
                const DWORD n = static_cast<DWORD>(value.data[0]) | (static_cast<DWORD>(value.data[1]) << 8) |
                                (static_cast<DWORD>(value.data[2]) << 16) | (static_cast<DWORD>(value.data[3]) << 24);
                std::snprintf(number, sizeof number, "dword:%08x", n);
                out += number;
            } else if (value.type == 3) {
                out += "hex:" + HexList(value.data);
            } else {
                char type[24];
                std::snprintf(type, sizeof type, "hex(%x):", value.type);
                out += type + HexList(value.data);
            }
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

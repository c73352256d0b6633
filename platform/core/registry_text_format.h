// The registry editor's export format ("Windows Registry Editor Version 5.00"), in UTF-8:
// one "[full key path]" section per key, then its values: "name"="text" (with \\ and \"
// escaped), @="..." for the default value, "name"=dword:0000000a, and hex:/hex(n): byte
// lists for every other type (and for text that a quoted string cannot carry).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "win32/constants.h"

struct RegistryValue {
    std::u16string name;     // empty: the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;  // as a query returns it; REG_SZ with its terminator
};

struct RegistrySection {
    std::u16string path;  // e.g. u"HKEY_CURRENT_USER\\Software\\X"
    std::vector<RegistryValue> values;
};

struct RegistryDocument {
    std::vector<RegistrySection> sections;  // in file order
};

struct ParsedRegistryDocument {
    RegistryDocument document;
    bool complete = true;  // false: some part of the text was not understood and is missing
};

// Lenient: every line that is understood is kept, the rest is skipped and reported through
// complete.
ParsedRegistryDocument ParseRegistryText(std::string_view utf8);
std::string SerializeRegistryText(const RegistryDocument& document);

// Key paths and value names compare without regard to the case of A-Z, as Windows' do.
bool SameRegistryName(std::u16string_view a, std::u16string_view b);

// The bytes of a REG_SZ value holding text (UTF-16LE with the terminator).
std::vector<BYTE> RegistryStringData(std::u16string_view text);

// Reading and writing one value of an INI file on disk. Every read goes to the file; every
// write reads the file anew, changes the one value and replaces the whole file atomically,
// so a crash mid-write leaves the old file or the new one, never a mixture.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ini_document.h"

namespace ini {

enum class LoadStatus {
    Loaded,      // the file was read
    Missing,     // there is no such file (yet): it reads as empty and a write creates it
    Unreadable,  // it exists but could not be read, or the path is not usable
};

struct LoadedFile {
    LoadStatus status = LoadStatus::Missing;
    IniDocument document;
};

// path is a Windows-style path, as the application's profile name holds it.
LoadedFile LoadIniFile(std::u16string_view path);

// The value, or nothing when the key is absent or the file cannot be read.
std::optional<std::u16string> ReadIniValue(std::u16string_view path, std::u16string_view section,
                                           std::u16string_view key);

// A null value removes the key. A file that exists but could not be read is never replaced:
// the write fails rather than lose what could not be read.
bool WriteIniValue(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                   const char16_t* value);

bool RemoveIniSection(std::u16string_view path, std::u16string_view section);

}  // namespace ini

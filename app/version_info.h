// Named strings of the program's own version resource ("CompanyName", "ProductVersion", ...).
#pragma once

#include <string>

// The value, or an empty string when the resource, its string block or the value is missing.
// Reads the resource anew on every call.
std::u16string GetVersionString(const std::u16string& name);

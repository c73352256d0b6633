// The Windows-1252 ("ANSI", Western European) code page, as Windows converts it: the five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// control characters of the same number, so every byte has a character and back.
#pragma once

#include <optional>

namespace codepage {

char16_t Windows1252ToUnicode(unsigned char byte);

// The byte for the character, or nothing when the code page has none (no best fit: a
// character that does not fit is never swapped for a look-alike).
std::optional<unsigned char> UnicodeToWindows1252(char16_t character);

}  // namespace codepage

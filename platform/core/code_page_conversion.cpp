// WideCharToMultiByte for the one code page the system converts to: UTF-8; and the
// Windows-1252 table that settings files from Windows are read and written with.
#include <array>
#include <cstring>
#include <string>

#include "code_page_1252.h"
#include "crt/crt.h"
#include "win32/api.h"

namespace {
constexpr DWORD kErrorInvalidFlags = 1004;  // ERROR_INVALID_FLAGS

// 0x80 to 0x9F; the rest of the code page is the same number in Unicode.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}  // namespace

namespace codepage {

char16_t Windows1252ToUnicode(unsigned char byte) {
    return (byte >= 0x80 && byte <= 0x9F) ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

std::optional<unsigned char> UnicodeToWindows1252(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<unsigned char>(character);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == character) return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

}  // namespace codepage

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, char* out, int outSize,
                        const char* defaultChar, BOOL* usedDefault) {
    if (codePage != CP_UTF8 || !wide || wideLength < -1 || wideLength == 0 || outSize < 0 || (outSize > 0 && !out)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // UTF-8 takes no replacement character of the caller's.
    if (flags != 0 || defaultChar || usedDefault) {
        SetLastError(kErrorInvalidFlags);
        return 0;
    }
    std::size_t length = wideLength == -1 ? std::char_traits<char16_t>::length(wide) + 1 : static_cast<std::size_t>(wideLength);
    std::string bytes = text::ToUtf8(std::u16string_view(wide, length));
    if (outSize == 0) return static_cast<int>(bytes.size());
    if (bytes.size() > static_cast<std::size_t>(outSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, bytes.data(), bytes.size());
    return static_cast<int>(bytes.size());
}

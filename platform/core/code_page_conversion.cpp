// WideCharToMultiByte for the one code page the system converts to: UTF-8.
#include <cstring>
#include <string>

#include "crt/crt.h"
#include "win32/api.h"

namespace {
constexpr DWORD kErrorInvalidFlags = 1004;  // ERROR_INVALID_FLAGS
}  // namespace

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

// The C runtime as the system's code uses it, with the Windows runtime's conventions for
// wide text: wchar is UTF-16 (char16_t); in a narrow format %S takes a wide string, in a
// wide format %s takes a wide string and %S a narrow one; %p writes the pointer as
// uppercase hexadecimal digits, zero-padded to the pointer's width.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#include "win32/types.h"

// Formatting. The v-forms never write more than the buffer holds and always terminate it;
// they return the number of characters written without the terminator, or -1 when the
// text did not fit.
std::string crt_vformat(const char* format, va_list args);
std::u16string crt_vwformat(const char16_t* format, va_list args);
std::string crt_format(const char* format, ...);
std::u16string crt_wformat(const char16_t* format, ...);
int swprintf_s(char16_t* buffer, std::size_t size, const char16_t* format, ...);

// Narrowing as the runtime's default locale does it: U+0001..U+00FF become the byte of the
// same value; any other code unit becomes '?'.
std::string crt_narrow(std::u16string_view text);

// Wide string helpers.
std::size_t wcslen(const char16_t* text);
int wcscmp(const char16_t* a, const char16_t* b);
int _wcsicmp(const char16_t* a, const char16_t* b);  // ignores the case of A-Z only
int wcscpy_s(char16_t* destination, std::size_t size, const char16_t* source);

// The C runtime's exit: runs the exit handlers and ends the process.
[[noreturn]] void crt_exit(int status);

// Conversions at the edges of the system (files, the engine, the desktop).
namespace text {
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);  // invalid sequences become U+FFFD
// Appends one code point in UTF-8's form; surrogates too (three bytes), for callers that
// must keep them.
void AppendUtf8(std::string& out, char32_t codePoint);
}  // namespace text

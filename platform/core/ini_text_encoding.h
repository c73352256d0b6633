// How the bytes of a settings file are text. Files written by this program are UTF-8; files
// brought over from Windows are in the ANSI code page (Windows-1252) or UTF-16LE with a
// byte-order mark. A file is read in the encoding it has and written back in it.
//
// An INI document works on the file's text in one form for every encoding: UTF-8 in which
// a surrogate without its partner (possible in a UTF-16 file) has its own three bytes. In
// that form the INI syntax (brackets, '=', ';', blanks, line ends, NUL) is the same bytes
// as in ASCII, and converting a file to it and back gives the same bytes again.
#pragma once

#include <string>
#include <string_view>

namespace ini {

enum class TextEncoding {
    Utf8,             // no byte-order mark: every file that is valid UTF-8, plain ASCII included
    Utf8WithMark,     // starts with EF BB BF
    Utf16LeWithMark,  // starts with FF FE
    Windows1252,      // anything else
};

// UTF-8 first (valid UTF-8 wins, and so does a UTF-8 byte-order mark), then the UTF-16LE
// byte-order mark, then Windows-1252 for a file that is not valid UTF-8.
TextEncoding DetectTextEncoding(std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);

// The file's bytes in the document's form, without the byte-order mark. A UTF-16 file of an
// odd length leaves its last byte out; it comes back in tail, to be written back as it was.
std::string DecodeFileText(std::string_view bytes, TextEncoding encoding, std::string& tail);
// The exact inverse: the byte-order mark, then the text in the file's encoding.
std::string EncodeFileText(std::string_view text, TextEncoding encoding);

// Between the document's form and the system's UTF-16 text. In a UTF-8 file a broken
// sequence reads as U+FFFD and a surrogate without its partner is written as U+FFFD (UTF-8
// cannot hold it); in the other encodings both forms carry every UTF-16 text.
std::u16string TextToUtf16(std::string_view text, TextEncoding encoding);
std::string Utf16ToText(std::u16string_view text, TextEncoding encoding);

// Whether Windows-1252 has a byte for every character of text.
bool FitsWindows1252(std::u16string_view text);

}  // namespace ini

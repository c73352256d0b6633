// An INI file held as the lines it was read from. An edit touches only the line (or lines)
// it must; every other byte - comments, blank lines, unreadable text, line ends, a byte-order
// mark - is written back exactly as it was read, so a damaged or hand-edited file is never
// mangled by a write. The file is written in the encoding it was read in (ini_text_encoding.h),
// except that a Windows-1252 file given text the code page cannot hold becomes UTF-16LE with
// a byte-order mark as a whole, which keeps every character and which Windows reads as well.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ini_text_encoding.h"

namespace ini {

class IniDocument {
public:
    IniDocument() = default;  // an empty, new file: UTF-8

    // Any bytes are accepted: lines that are neither a section header nor "key=value" are
    // kept and otherwise ignored. Parse(bytes).Serialize() gives bytes back unchanged.
    static IniDocument Parse(std::string_view bytes);

    TextEncoding Encoding() const { return encoding_; }

    // Section and key names are compared ignoring the case of A-Z. Sections of the same
    // name are searched in file order; the first matching key wins. The value comes back
    // without the blanks (spaces, tabs) at its start and end; a NUL byte ends it, as it
    // would end the C string of a reader of the file.
    std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;

    // Whether Set can store the three texts without changing the file's structure: no line
    // break anywhere, a non-empty key without '=' that does not start with '[' or ';', a
    // section name without ']', and names without blanks at their ends (the reader would
    // strip them and never find the key again).
    static bool CanStore(std::u16string_view section, std::u16string_view key, std::u16string_view value);

    // Replaces the value of the key Find would return, or adds the key at the end of its
    // section (after the section's last key), or adds the section at the end of the file.
    // New lines end as the file's first line does (CR LF in a file without one). Returns
    // false (and changes nothing) when CanStore is false.
    bool Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

    // Removes every line of the key in every section of that name; true when one was found.
    bool RemoveKey(std::u16string_view section, std::u16string_view key);
    // Removes every section of that name with all its lines; true when one was found.
    bool RemoveSection(std::u16string_view section);

    std::string Serialize() const;

private:
    struct Line {
        std::string content;  // the bytes of the line without its line end
        std::string end;      // "\r\n", "\n" or "" (the last line of a file without one)
    };
    enum class Kind { Blank, Comment, Section, Key, Other };
    struct Classified {
        Kind kind = Kind::Other;
        std::string_view name;   // section or key name, blanks trimmed
        std::string_view value;  // key value, blanks trimmed, cut at NUL
        std::size_t valueStart = 0;  // offset in content just past '='
    };

    static Classified Classify(std::string_view content);
    std::optional<std::size_t> FindKeyLine(std::u16string_view section, std::u16string_view key) const;
    std::optional<std::size_t> FirstSectionHeader(std::u16string_view section) const;
    void EnsureLastLineEnded();
    std::string NewLineEnd() const;
    std::string Text() const;
    void KeepWindows1252Recognisable();

    std::string ToText(std::u16string_view text) const { return Utf16ToText(text, encoding_); }

    TextEncoding encoding_ = TextEncoding::Utf8;
    std::string tail_;  // a UTF-16 file's odd last byte, written back as read
    std::vector<Line> lines_;  // in the working form of ini_text_encoding.h
};

}  // namespace ini

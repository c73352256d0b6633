#include "ini_document.h"

#include <algorithm>

#include "crt/crt.h"

namespace ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Names are compared as their UTF-8 bytes with A-Z folded, the same rule as the runtime's
// case-insensitive comparison under its default locale.
bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAsciiCase(x) == FoldAsciiCase(y); });
}

bool HasBlankAtEnds(std::u16string_view text) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    return !text.empty() && (blank(text.front()) || blank(text.back()));
}

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view fileBytes) {
    IniDocument document;
    document.encoding_ = DetectTextEncoding(fileBytes);
    const std::string text = DecodeFileText(fileBytes, document.encoding_, document.tail_);
    std::string_view bytes = text;
    while (!bytes.empty()) {
        const std::size_t lineFeed = bytes.find('\n');
        Line line;
        if (lineFeed == std::string_view::npos) {
            line.content = std::string(bytes);
            bytes = {};
        } else {
            std::size_t contentEnd = lineFeed;
            if (contentEnd > 0 && bytes[contentEnd - 1] == '\r') --contentEnd;
            line.content = std::string(bytes.substr(0, contentEnd));
            line.end = std::string(bytes.substr(contentEnd, lineFeed + 1 - contentEnd));
            bytes.remove_prefix(lineFeed + 1);
        }
        document.lines_.push_back(std::move(line));
    }
    return document;
}

IniDocument::Classified IniDocument::Classify(std::string_view content) {
    Classified result;
    const std::string_view trimmed = TrimBlanks(content);
    if (trimmed.empty()) {
        result.kind = Kind::Blank;
    } else if (trimmed.front() == ';') {
        result.kind = Kind::Comment;
    } else if (trimmed.front() == '[') {
        // A header without its closing bracket still names a section: read leniently.
        std::string_view name = trimmed.substr(1);
        name = name.substr(0, name.find(']'));
        result.kind = Kind::Section;
        result.name = TrimBlanks(name);
    } else if (const std::size_t equals = content.find('='); equals != std::string_view::npos) {
        result.kind = Kind::Key;
        result.name = TrimBlanks(content.substr(0, equals));
        std::string_view value = content.substr(equals + 1);
        value = value.substr(0, value.find('\0'));
        result.value = TrimBlanks(value);
        result.valueStart = equals + 1;
    }
    return result;
}

std::optional<std::size_t> IniDocument::FindKeyLine(std::u16string_view section, std::u16string_view key) const {
    const std::string sectionName = ToText(section);
    const std::string keyName = ToText(key);
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Classified line = Classify(lines_[i].content);
        if (line.kind == Kind::Section) {
            inSection = SameName(line.name, sectionName);
        } else if (inSection && line.kind == Kind::Key && SameName(line.name, keyName)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FirstSectionHeader(std::u16string_view section) const {
    const std::string sectionName = ToText(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Classified line = Classify(lines_[i].content);
        if (line.kind == Kind::Section && SameName(line.name, sectionName)) return i;
    }
    return std::nullopt;
}

std::optional<std::u16string> IniDocument::Find(std::u16string_view section, std::u16string_view key) const {
    const std::optional<std::size_t> index = FindKeyLine(section, key);
    if (!index) return std::nullopt;
    return TextToUtf16(Classify(lines_[*index].content).value, encoding_);
}

bool IniDocument::CanStore(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.find(u']') != std::u16string_view::npos || HasBlankAtEnds(section)) return false;
    if (key.empty() || key.find(u'=') != std::u16string_view::npos || HasBlankAtEnds(key)) return false;
    if (key.front() == u'[' || key.front() == u';') return false;
    return true;
}

std::string IniDocument::NewLineEnd() const {
    // New lines follow the file's own convention; a new file gets CR LF.
    for (const Line& line : lines_) {
        if (!line.end.empty()) return line.end;
    }
    return "\r\n";
}

void IniDocument::EnsureLastLineEnded() {
    if (lines_.empty() || !lines_.back().end.empty()) return;
    // A last line ending in a lone CR keeps it as its own text: a bare LF after it would pair
    // with the CR into a line end and take the CR out of the line.
    const std::string& content = lines_.back().content;
    lines_.back().end = !content.empty() && content.back() == '\r' ? std::string("\r\n") : NewLineEnd();
}

bool IniDocument::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    if (!CanStore(section, key, value)) return false;
    if (encoding_ == TextEncoding::Windows1252 &&
        !(FitsWindows1252(section) && FitsWindows1252(key) && FitsWindows1252(value))) {
        encoding_ = TextEncoding::Utf16LeWithMark;
    }
    const std::string valueBytes = ToText(value);

    if (const std::optional<std::size_t> index = FindKeyLine(section, key)) {
        // Keep the key's own spelling and spacing; only the value changes.
        Line& line = lines_[*index];
        line.content = line.content.substr(0, Classify(line.content).valueStart) + valueBytes;
        KeepWindows1252Recognisable();
        return true;
    }

    const std::string lineEnd = NewLineEnd();
    Line keyLine{ToText(key) + "=" + valueBytes, lineEnd};

    if (const std::optional<std::size_t> header = FirstSectionHeader(section)) {
        // After the section's last key, so that blank lines and comments that lead into the
        // next section stay where they are.
        std::size_t insertAfter = *header;
        for (std::size_t i = *header + 1; i < lines_.size(); ++i) {
            const Kind kind = Classify(lines_[i].content).kind;
            if (kind == Kind::Section) break;
            if (kind == Kind::Key) insertAfter = i;
        }
        if (insertAfter + 1 == lines_.size()) EnsureLastLineEnded();
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAfter + 1), std::move(keyLine));
        KeepWindows1252Recognisable();
        return true;
    }

    EnsureLastLineEnded();
    lines_.push_back(Line{"[" + ToText(section) + "]", lineEnd});
    lines_.push_back(std::move(keyLine));
    KeepWindows1252Recognisable();
    return true;
}

bool IniDocument::RemoveKey(std::u16string_view section, std::u16string_view key) {
    bool removed = false;
    while (const std::optional<std::size_t> index = FindKeyLine(section, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
        removed = true;
    }
    if (removed) KeepWindows1252Recognisable();
    return removed;
}

bool IniDocument::RemoveSection(std::u16string_view section) {
    const std::string sectionName = ToText(section);
    bool removed = false;
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (Line& line : lines_) {
        const Classified classified = Classify(line.content);
        if (classified.kind == Kind::Section) inSection = SameName(classified.name, sectionName);
        if (inSection) {
            removed = true;
        } else {
            kept.push_back(std::move(line));
        }
    }
    lines_ = std::move(kept);
    if (removed) KeepWindows1252Recognisable();
    return removed;
}

std::string IniDocument::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.content;
        text += line.end;
    }
    return text;
}

// A Windows-1252 file is known by its bytes not being valid UTF-8. An edit that takes away
// the last byte that showed it (or leaves a mark at the start) would have the next read take
// what remains for UTF-8 (or UTF-16), and "\xC3\xA9" that read as two characters would come
// back as one: such a file becomes UTF-16LE, which says what it is. Plain ASCII reads the
// same either way and stays as it is.
void IniDocument::KeepWindows1252Recognisable() {
    if (encoding_ != TextEncoding::Windows1252) return;
    const std::string bytes = EncodeFileText(Text(), encoding_);
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii && DetectTextEncoding(bytes) != TextEncoding::Windows1252) encoding_ = TextEncoding::Utf16LeWithMark;
}

std::string IniDocument::Serialize() const { return EncodeFileText(Text(), encoding_) + tail_; }

}  // namespace ini

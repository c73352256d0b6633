#include "markup_parser.h"

#include <algorithm>

namespace sim {
namespace {

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }
char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }
bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }
bool IsAsciiAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiAlnum(char16_t c) { return IsAsciiAlpha(c) || (c >= u'0' && c <= u'9'); }

std::u16string Lower(std::u16string_view text) {
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}
std::u16string Upper(std::u16string_view text) {
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), UpperAscii);
    return out;
}

// Finds needle (ASCII, lower case) in haystack without regard to case.
std::size_t FindIgnoringCase(std::u16string_view haystack, std::u16string_view needle, std::size_t from) {
    if (needle.empty() || haystack.size() < needle.size()) return std::u16string_view::npos;
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        bool same = true;
        for (std::size_t j = 0; j < needle.size() && same; ++j) same = LowerAscii(haystack[i + j]) == needle[j];
        if (same) return i;
    }
    return std::u16string_view::npos;
}

void AppendCodePoint(std::u16string& out, char32_t c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

struct NamedReference {
    std::u16string_view name;
    char16_t value;
    bool legacy;  // also recognised without its semicolon
};
constexpr NamedReference kNamed[] = {
    {u"amp", u'&', true},     {u"lt", u'<', true},       {u"gt", u'>', true},  {u"quot", u'"', true},
    {u"apos", u'\'', false},  {u"nbsp", u'\u00A0', true}, {u"copy", u'\u00A9', true}, {u"reg", u'\u00AE', true},
};

bool IsVoidElement(std::u16string_view tag) {
    static constexpr std::u16string_view kVoid[] = {u"area", u"base", u"br",    u"col",  u"embed", u"hr",  u"img",
                                                    u"input", u"link", u"meta", u"param", u"source", u"track", u"wbr"};
    return std::find(std::begin(kVoid), std::end(kVoid), tag) != std::end(kVoid);
}

bool IsRawText(std::u16string_view tag) {
    return tag == u"script" || tag == u"style" || tag == u"title" || tag == u"textarea";
}

struct OpenElement {
    std::size_t index;
    std::u16string tag;
    std::size_t contentStart;
};

class Parser {
public:
    explicit Parser(std::u16string_view html) : html_(html) {}

    std::vector<platform::ElementData> Run() {
        while (pos_ < html_.size()) {
            if (html_[pos_] == u'<' && TryMarkup()) continue;
            std::size_t next = html_.find(u'<', pos_ + 1);
            if (next == std::u16string_view::npos) next = html_.size();
            AddText(ResolveCharacterReferences(html_.substr(pos_, next - pos_), false));
            pos_ = next;
        }
        for (const OpenElement& open : stack_) elements_[open.index].innerHtml = std::u16string(html_.substr(open.contentStart));
        return std::move(elements_);
    }

private:
    void AddText(const std::u16string& text) {
        for (const OpenElement& open : stack_) *elements_[open.index].innerText += text;
    }

    bool TryMarkup() {
        std::u16string_view rest = html_.substr(pos_);
        if (rest.substr(0, 4) == u"<!--") {
            std::size_t end = html_.find(u"-->", pos_ + 4);
            pos_ = end == std::u16string_view::npos ? html_.size() : end + 3;
            return true;
        }
        if (rest.size() >= 2 && (rest[1] == u'!' || rest[1] == u'?')) {
            std::size_t end = html_.find(u'>', pos_);
            pos_ = end == std::u16string_view::npos ? html_.size() : end + 1;
            return true;
        }
        if (rest.size() >= 3 && rest[1] == u'/' && IsAsciiAlpha(rest[2])) {
            EndTag();
            return true;
        }
        if (rest.size() >= 2 && IsAsciiAlpha(rest[1])) {
            StartTag();
            return true;
        }
        return false;  // a lone "<" is text
    }

    std::u16string TagName() {
        std::size_t start = pos_;
        while (pos_ < html_.size() && !IsSpace(html_[pos_]) && html_[pos_] != u'/' && html_[pos_] != u'>') ++pos_;
        return Lower(html_.substr(start, pos_ - start));
    }

    void EndTag() {
        pos_ += 2;
        std::size_t tagStart = pos_ - 2;
        std::u16string tag = TagName();
        std::size_t close = html_.find(u'>', pos_);
        pos_ = close == std::u16string_view::npos ? html_.size() : close + 1;
        auto match = std::find_if(stack_.rbegin(), stack_.rend(), [&](const OpenElement& e) { return e.tag == tag; });
        if (match == stack_.rend()) return;  // a stray end tag is ignored
        std::size_t keep = static_cast<std::size_t>(stack_.rend() - match) - 1;
        for (std::size_t i = keep; i < stack_.size(); ++i)
            elements_[stack_[i].index].innerHtml = std::u16string(html_.substr(stack_[i].contentStart, tagStart - stack_[i].contentStart));
        stack_.resize(keep);
    }

    void StartTag() {
        ++pos_;
        std::u16string tag = TagName();
        platform::ElementData element;
        element.tagName = Upper(tag);
        element.innerText.emplace();
        element.innerHtml.emplace();
        ReadAttributes(element);
        for (const auto& [name, value] : element.attributes)
            if (name == u"id") {
                element.id = value;
                break;
            }
        std::size_t index = elements_.size();
        elements_.push_back(std::move(element));
        if (IsVoidElement(tag)) return;
        if (IsRawText(tag)) {
            std::size_t end = FindIgnoringCase(html_, u"</" + tag, pos_);
            if (end == std::u16string_view::npos) end = html_.size();
            std::u16string_view raw = html_.substr(pos_, end - pos_);
            platform::ElementData& e = elements_[index];
            e.innerHtml = std::u16string(raw);
            e.innerText = tag == u"title" || tag == u"textarea" ? ResolveCharacterReferences(raw, false) : std::u16string(raw);
            if (tag == u"title" || tag == u"textarea") AddText(*e.innerText);
            std::size_t close = end == html_.size() ? end : html_.find(u'>', end);
            pos_ = close == std::u16string_view::npos ? html_.size() : std::min(html_.size(), close + 1);
            return;
        }
        stack_.push_back({index, tag, pos_});
    }

    void ReadAttributes(platform::ElementData& element) {
        while (pos_ < html_.size()) {
            while (pos_ < html_.size() && (IsSpace(html_[pos_]) || html_[pos_] == u'/')) ++pos_;
            if (pos_ >= html_.size()) return;
            if (html_[pos_] == u'>') {
                ++pos_;
                return;
            }
            // A name runs to a blank, "/", ">" or "="; a leading "=" belongs to the name.
            std::size_t start = pos_++;
            while (pos_ < html_.size() && !IsSpace(html_[pos_]) && html_[pos_] != u'/' && html_[pos_] != u'>' &&
                   html_[pos_] != u'=')
                ++pos_;
            std::u16string name = Lower(html_.substr(start, pos_ - start));
            std::u16string value;
            std::size_t look = pos_;
            while (look < html_.size() && IsSpace(html_[look])) ++look;
            if (look < html_.size() && html_[look] == u'=') {
                pos_ = look + 1;
                while (pos_ < html_.size() && IsSpace(html_[pos_])) ++pos_;
                if (pos_ < html_.size() && (html_[pos_] == u'"' || html_[pos_] == u'\'')) {
                    char16_t quote = html_[pos_++];
                    std::size_t end = html_.find(quote, pos_);
                    if (end == std::u16string_view::npos) end = html_.size();
                    value = ResolveCharacterReferences(html_.substr(pos_, end - pos_), true);
                    pos_ = std::min(html_.size(), end + 1);
                } else {
                    std::size_t valueStart = pos_;
                    while (pos_ < html_.size() && !IsSpace(html_[pos_]) && html_[pos_] != u'>') ++pos_;
                    value = ResolveCharacterReferences(html_.substr(valueStart, pos_ - valueStart), true);
                }
            }
            // The first of two attributes with the same name wins.
            bool seen = std::any_of(element.attributes.begin(), element.attributes.end(),
                                    [&](const auto& a) { return a.first == name; });
            if (!seen) element.attributes.emplace_back(std::move(name), std::move(value));
        }
    }

    std::u16string_view html_;
    std::size_t pos_ = 0;
    std::vector<platform::ElementData> elements_;
    std::vector<OpenElement> stack_;
};

}  // namespace

std::u16string ResolveCharacterReferences(std::u16string_view text, bool inAttribute) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        std::size_t j = i + 1;
        if (j < text.size() && text[j] == u'#') {
            bool hex = j + 1 < text.size() && (text[j + 1] == u'x' || text[j + 1] == u'X');
            std::size_t digits = j + (hex ? 2 : 1), k = digits;
            char32_t value = 0;
            while (k < text.size()) {
                char16_t c = text[k];
                int d = c >= u'0' && c <= u'9' ? c - u'0'
                        : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                        : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                          : -1;
                if (d < 0) break;
                if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
                ++k;
            }
            if (k == digits) {  // "&#" without digits is text
                out += text[i++];
                continue;
            }
            AppendCodePoint(out, value);
            i = k < text.size() && text[k] == u';' ? k + 1 : k;
            continue;
        }
        std::size_t k = j;
        while (k < text.size() && IsAsciiAlnum(text[k])) ++k;
        std::u16string_view name = text.substr(j, k - j);
        bool semicolon = k < text.size() && text[k] == u';';
        const NamedReference* found = nullptr;
        for (const NamedReference& r : kNamed)
            if (r.name == name) found = &r;
        // Without its semicolon, only a legacy name counts, and in an attribute not before
        // a letter, digit or "=".
        bool usable = found && (semicolon || (found->legacy && !(inAttribute && k < text.size() && text[k] == u'=')));
        if (!usable) {
            out += text[i++];
            continue;
        }
        out += found->value;
        i = semicolon ? k + 1 : k;
    }
    return out;
}

std::vector<platform::ElementData> ParseElements(std::u16string_view html) { return Parser(html).Run(); }

DocumentParts SplitDocument(std::u16string_view html) {
    DocumentParts parts;
    for (const platform::ElementData& e : ParseElements(html))
        if (e.tagName == u"TITLE") {
            parts.title = e.innerText.value_or(u"");
            break;
        }
    std::size_t open = FindIgnoringCase(html, u"<body", 0);
    if (open == std::u16string_view::npos) return parts;
    std::size_t start = html.find(u'>', open);
    if (start == std::u16string_view::npos) return parts;
    std::size_t end = FindIgnoringCase(html, u"</body", start);
    if (end == std::u16string_view::npos) end = html.size();
    parts.body = std::u16string(html.substr(start + 1, end - start - 1));
    return parts;
}

}  // namespace sim

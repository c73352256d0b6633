#include "paths.h"

#include <vector>

#include "crt/crt.h"

namespace {

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool IsLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

}  // namespace

std::optional<std::string> ToHostPath(std::u16string_view path) {
    if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return std::nullopt;

    // The long-path prefix "\\?\" only lifts the length limit; what follows is a plain path.
    constexpr std::u16string_view kLongPrefix = u"\\\\?\\";
    if (path.substr(0, kLongPrefix.size()) == kLongPrefix) path.remove_prefix(kLongPrefix.size());

    bool absolute = false;
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == u':') {
        if (path[0] != u'Z' && path[0] != u'z') return std::nullopt;
        path.remove_prefix(2);
        // "Z:x" is relative to the current folder of drive Z:, which is the working folder.
        absolute = !path.empty() && IsSeparator(path[0]);
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return std::nullopt;  // a network share
    } else {
        absolute = IsSeparator(path[0]);
    }

    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }

    std::u16string joined = absolute ? u"/" : u"";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) joined += u'/';
        joined += parts[i];
    }
    if (joined.empty()) joined = u".";  // "Z:" alone: the working folder
    return text::ToUtf8(joined);
}

std::u16string FromHostPath(std::string_view hostPath) {
    std::u16string result;
    std::u16string converted = text::FromUtf8(hostPath);
    if (!converted.empty() && converted[0] == u'/') result = u"Z:";
    bool lastWasSeparator = false;
    for (char16_t c : converted) {
        if (c == u'/') {
            if (lastWasSeparator) continue;
            result += u'\\';
            lastWasSeparator = true;
        } else {
            result += c;
            lastWasSeparator = false;
        }
    }
    if (result.size() > 1 && result.back() == u'\\' && result != u"Z:\\") result.pop_back();
    return result;
}

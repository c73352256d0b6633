#include "packed_scripts.h"

namespace platform::desktop {

const char kPackScriptsFunction[] = R"JS(function (scripts) {
    // Lone surrogates become replacement characters first, as the crossing would make
    // them anyway, so that the lengths count what arrives.
    var lone = /[\ud800-\udbff](?![\udc00-\udfff])|(?<![\ud800-\udbff])[\udc00-\udfff]/g;
    var field = function (value) {
      if (value === null || value === undefined) return '-';
      value = String(value).replace(lone, '\ufffd');
      return value.length + ':' + value;
    };
    var packed = [];
    for (var i = 0; i < scripts.length; ++i) {
      var script = scripts[i];
      packed.push(field(script.hasAttribute('src') ? script.src : null), field(script.text));
    }
    return packed.join('');
  })JS";

namespace {

// One field at the front of text, which it then leaves behind; false when malformed.
bool TakeField(std::u16string_view& text, std::optional<std::u16string>& field) {
    if (text.empty()) return false;
    if (text.front() == u'-') {
        field.reset();
        text.remove_prefix(1);
        return true;
    }
    std::size_t length = 0, digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') {
        length = length * 10 + static_cast<std::size_t>(text[digits] - u'0');
        if (length > text.size()) return false;  // longer than all there is
        ++digits;
    }
    if (digits == 0 || digits >= text.size() || text[digits] != u':') return false;
    text.remove_prefix(digits + 1);
    if (length > text.size()) return false;
    field.emplace(text.substr(0, length));
    text.remove_prefix(length);
    return true;
}

}  // namespace

std::optional<std::vector<ScriptData>> UnpackScripts(std::u16string_view text) {
    std::vector<ScriptData> scripts;
    while (!text.empty()) {
        ScriptData script;
        if (!TakeField(text, script.src) || !TakeField(text, script.text)) return std::nullopt;
        scripts.push_back(std::move(script));
    }
    return scripts;
}

}  // namespace platform::desktop

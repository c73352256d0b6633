#include "document_reader.h"

#include "crt/crt.h"
#include "gobject_ptr.h"
#include "packed_scripts.h"
#include "resource_scheme.h"

namespace platform::desktop {
namespace {

// Frames are the iframes below the body, in document order (frames of a frameset are not
// followed); a frame of another origin throws on access and is recorded as null.
constexpr char kReadFunction[] = R"JS((function (fields, packScripts) {
  var read = function (doc) {
    var record = {url: String(doc.URL), title: String(doc.title), hasBody: !!doc.body};
    if (fields & 2) {
      record.compatMode = doc.compatMode;
      record.doctype = doc.doctype ? doc.doctype.name : null;
    }
    if (fields & 4) record.scripts = packScripts(doc.scripts);
    if (fields & 8) record.body = doc.body ? doc.body.innerHTML : null;
    if (fields & 16) {
      record.frames = [];
      var frames = doc.querySelectorAll('body iframe');
      for (var j = 0; j < frames.length; ++j) {
        var inner = null;
        try {
          inner = frames[j].contentDocument ? read(frames[j].contentDocument) : null;
        } catch (e) {
          inner = null;
        }
        record.frames.push(inner);
      }
    }
    return record;
  };
  return read(document);
}))JS";

GObjectPtr<JSCValue> Property(JSCValue* object, const char* name) {
    return GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property(object, name));
}

bool IsAbsent(JSCValue* value) { return !value || jsc_value_is_null(value) || jsc_value_is_undefined(value); }

std::u16string StringOf(JSCValue* value) {
    if (IsAbsent(value)) return {};
    GCharPtr text(jsc_value_to_string(value));
    return text ? text::FromUtf8(text.get()) : std::u16string();
}

std::optional<std::u16string> OptionalString(JSCValue* object, const char* name) {
    auto value = Property(object, name);
    if (IsAbsent(value.get())) return std::nullopt;
    return StringOf(value.get());
}

// Calls each(item) for the items of an array property (absent array: no calls).
template <class Each>
void ForEachItem(JSCValue* object, const char* name, Each each) {
    auto array = Property(object, name);
    if (IsAbsent(array.get()) || !jsc_value_is_array(array.get())) return;
    auto length = Property(array.get(), "length");
    int count = length ? jsc_value_to_int32(length.get()) : 0;
    for (int i = 0; i < count; ++i) {
        auto item = GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property_at_index(array.get(), static_cast<guint>(i)));
        each(item.get());
    }
}

}  // namespace

std::string DocumentReadScript(unsigned fields) {
    return std::string(kReadFunction) + "(" + std::to_string(fields & kDocAll) + ", " + kPackScriptsFunction + ")";
}

std::optional<DocumentData> DocumentFromValue(JSCValue* value, unsigned fields) {
    if (IsAbsent(value) || !jsc_value_is_object(value)) return std::nullopt;
    DocumentData document;
    document.url = ProgramAddress(StringOf(Property(value, "url").get()));
    document.title = StringOf(Property(value, "title").get());
    auto hasBody = Property(value, "hasBody");
    document.hasBody = hasBody && jsc_value_is_boolean(hasBody.get()) && jsc_value_to_boolean(hasBody.get());
    if (fields & kDocModes) {
        document.compatMode = OptionalString(value, "compatMode");
        document.doctype = OptionalString(value, "doctype");
        // This engine has no document modes; documentMode stays absent.
    }
    if (fields & kDocScripts) {
        // A document whose scripts cannot be unpacked is not taken for one without scripts.
        std::optional<std::vector<ScriptData>> scripts = UnpackScripts(StringOf(Property(value, "scripts").get()));
        if (!scripts) return std::nullopt;
        for (ScriptData& script : *scripts) document.scripts.emplace_back(std::move(script));
    }
    if (fields & kDocBody) document.bodyHtml = OptionalString(value, "body");
    if (fields & kDocFrames) {
        ForEachItem(value, "frames", [&](JSCValue* item) { document.frames.push_back(DocumentFromValue(item, fields)); });
    }
    return document;
}

}  // namespace platform::desktop

#include "element_click_report.h"

#include <optional>

#include "crt/crt.h"
#include "gobject_ptr.h"

namespace platform::desktop {

const char kElementClickScript[] = R"JS((function () {
  'use strict';
  var channel = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.pelmarin;
  if (!channel) return;
  var send = channel.postMessage.bind(channel);
  var post = function (message) {
    message.top = String(location.href);  // which of the windows sharing the channel
    send(message);
  };
  window.addEventListener('click', function (event) {
    var target = event.target;
    if (!target || target.nodeType !== 1) return;
    // Content is copied only while it is small: a click on the page's background has the
    // body as its target.
    var small = function (text) { text = String(text || ''); return text.length <= 65536 ? text : null; };
    var attributes = [];
    for (var i = 0; i < target.attributes.length; ++i)
      attributes.push([String(target.attributes[i].name), String(target.attributes[i].value)]);
    post({kind: 'click', tag: String(target.tagName), id: String(target.id || ''), attributes: attributes,
          text: small(target.innerText), html: small(target.innerHTML)});
  }, true);
})();)JS";

namespace {

GObjectPtr<JSCValue> Property(JSCValue* object, const char* name) {
    return GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property(object, name));
}

GObjectPtr<JSCValue> Item(JSCValue* array, guint index) {
    return GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property_at_index(array, index));
}

std::optional<std::u16string> OptionalText(JSCValue* value) {
    if (!value || !jsc_value_is_string(value)) return std::nullopt;
    GCharPtr text(jsc_value_to_string(value));
    return text ? text::FromUtf8(text.get()) : std::u16string();
}

std::u16string Text(JSCValue* value) { return OptionalText(value).value_or(u""); }

}  // namespace

ElementData ElementFromClickMessage(JSCValue* message) {
    ElementData element;
    element.tagName = Text(Property(message, "tag").get());
    element.id = Text(Property(message, "id").get());
    element.innerText = OptionalText(Property(message, "text").get());
    element.innerHtml = OptionalText(Property(message, "html").get());
    auto attributes = Property(message, "attributes");
    if (!attributes || !jsc_value_is_array(attributes.get())) return element;
    auto length = Property(attributes.get(), "length");
    int count = length && jsc_value_is_number(length.get()) ? jsc_value_to_int32(length.get()) : 0;
    for (int i = 0; i < count; ++i) {
        auto pair = Item(attributes.get(), static_cast<guint>(i));
        if (!pair || !jsc_value_is_array(pair.get())) continue;
        element.attributes.emplace_back(Text(Item(pair.get(), 0).get()), Text(Item(pair.get(), 1).get()));
    }
    return element;
}

}  // namespace platform::desktop

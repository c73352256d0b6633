#include "element_click_report.h"

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
    var attributes = [];
    for (var i = 0; i < target.attributes.length; ++i)
      attributes.push([String(target.attributes[i].name), String(target.attributes[i].value)]);
    post({kind: 'click', tag: String(target.tagName), id: String(target.id || ''), attributes: attributes,
          text: String(target.innerText || ''), html: String(target.innerHTML || '')});
  }, true);
})();)JS";

namespace {

GObjectPtr<JSCValue> Property(JSCValue* object, const char* name) {
    return GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property(object, name));
}

GObjectPtr<JSCValue> Item(JSCValue* array, guint index) {
    return GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property_at_index(array, index));
}

std::u16string Text(JSCValue* value) {
    if (!value || !jsc_value_is_string(value)) return {};
    GCharPtr text(jsc_value_to_string(value));
    return text ? text::FromUtf8(text.get()) : std::u16string();
}

}  // namespace

ElementData ElementFromClickMessage(JSCValue* message) {
    ElementData element;
    element.tagName = Text(Property(message, "tag").get());
    element.id = Text(Property(message, "id").get());
    element.innerText = Text(Property(message, "text").get());
    element.innerHtml = Text(Property(message, "html").get());
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

// Clicks on the elements of a simulated page, and on the buttons of dialogs.
#include "markup_parser.h"
#include "sim/desktop.h"

namespace sim {

std::vector<platform::ElementData> Engine::BodyElements() const {
    if (!loaded || !body_) return {};
    return ParseElements(*body_);
}

void Engine::ClickElement(std::size_t index) {
    std::vector<platform::ElementData> elements = BodyElements();
    if (index >= elements.size()) return;
    platform::ElementData element = elements[index];
    client.OnElementClick(element);
    // The default action follows the click: a link is followed.
    if (element.tagName != u"A") return;
    for (const auto& [name, value] : element.attributes)
        if (name == u"href") {
            ClickLink(value);
            return;
        }
}

void Desktop::ClickButton(HWND button) { platform::input::ButtonClicked(button); }

}  // namespace sim

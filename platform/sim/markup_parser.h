// What the simulated engine understands of HTML: elements with their attributes, text and
// markup, read the way an HTML parser reads them (character references resolved, unquoted
// and unterminated values, elements closed by their end tags or by the end of the text).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backend/engine.h"

namespace sim {

// Every element of the markup in document order.
std::vector<platform::ElementData> ParseElements(std::u16string_view html);
// Text with its character references resolved (&amp; &#38; &#x26; and the like).
std::u16string ResolveCharacterReferences(std::u16string_view text, bool inAttribute);

struct DocumentParts {
    std::u16string title;
    std::optional<std::u16string> body;  // the markup inside <body>; absent without one
};
DocumentParts SplitDocument(std::u16string_view html);

}  // namespace sim

#include "window_open_features.h"

#include <string>

namespace platform::desktop {
namespace {

bool IsSeparator(char c) { return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';'; }

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

GivenGeometry GeometryGivenIn(std::string_view features) {
    GivenGeometry given;
    std::size_t i = 0;
    while (i < features.size()) {
        while (i < features.size() && IsSeparator(features[i])) ++i;
        std::size_t start = i;
        while (i < features.size() && !IsSeparator(features[i]) && features[i] != '=') ++i;
        std::string name = Lower(features.substr(start, i - start));
        while (i < features.size() && (features[i] == ' ' || features[i] == '\t')) ++i;
        bool hasValue = i < features.size() && features[i] == '=';
        if (hasValue) {
            ++i;
            while (i < features.size() && (features[i] == ' ' || features[i] == '\t')) ++i;
            while (i < features.size() && !IsSeparator(features[i])) ++i;
        }
        // A size or position without a value is no size or position.
        if (!hasValue) continue;
        if (name == "left" || name == "screenx") given.left = true;
        else if (name == "top" || name == "screeny") given.top = true;
        else if (name == "width" || name == "innerwidth") given.width = true;
        else if (name == "height" || name == "innerheight") given.height = true;
    }
    return given;
}

}  // namespace platform::desktop

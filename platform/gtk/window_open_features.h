// Which parts of a new window's geometry a page gave in window.open's feature text
// ("left=100,top=50,width=400,height=300"). The engine reports a full rectangle either
// way, filling what was not given from the window as it is.
#pragma once

#include <string_view>

namespace platform::desktop {

struct GivenGeometry {
    bool left = false, top = false, width = false, height = false;
    friend bool operator==(const GivenGeometry&, const GivenGeometry&) = default;
};

GivenGeometry GeometryGivenIn(std::string_view features);

}  // namespace platform::desktop

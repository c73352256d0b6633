// The web view hands a key the page did not consume back to its window, which then sees
// the same event a second time. This remembers the events already routed so that the
// window's handler can tell the second delivery from a new key.
#pragma once

#include "gtk_toolkit.h"

#include <array>
#include <cstddef>

namespace platform::desktop {

struct KeyEventIdentity {
    bool press = true;
    guint32 time = 0;
    guint keyval = 0;
    guint16 hardwareKeycode = 0;
    guint state = 0;
    friend bool operator==(const KeyEventIdentity&, const KeyEventIdentity&) = default;
};

class KeyEventDeduplicator {
public:
    // True when the event was already routed (and forgets it: a third delivery is new);
    // otherwise remembers it and returns false.
    bool SeenBefore(const KeyEventIdentity& event);

private:
    // A handful is plenty: a bounced event comes back within a few events of its first
    // delivery.
    std::array<KeyEventIdentity, 16> recent_{};
    std::array<bool, 16> used_{};
    std::size_t next_ = 0;
};

}  // namespace platform::desktop

#include "key_event_deduplicator.h"

namespace platform::desktop {

bool KeyEventDeduplicator::SeenBefore(const KeyEventIdentity& event) {
    for (std::size_t i = 0; i < recent_.size(); ++i) {
        if (used_[i] && recent_[i] == event) {
            used_[i] = false;
            return true;
        }
    }
    recent_[next_] = event;
    used_[next_] = true;
    next_ = (next_ + 1) % recent_.size();
    return false;
}

}  // namespace platform::desktop

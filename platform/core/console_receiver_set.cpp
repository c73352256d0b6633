#include "console_receiver_set.h"

#include <algorithm>

namespace platform {
namespace {
DWORD nextCookie = 1;
}  // namespace

DWORD ConsoleReceiverSet::Add(CComPtr<IDeveloperConsoleMessageReceiver> receiver) {
    if (nextCookie == 0) ++nextCookie;  // after four billion registrations; 0 means none
    const DWORD cookie = nextCookie++;
    receivers_.emplace_back(cookie, std::move(receiver));
    return cookie;
}

bool ConsoleReceiverSet::Remove(DWORD cookie) {
    auto found = std::find_if(receivers_.begin(), receivers_.end(), [&](const auto& entry) { return entry.first == cookie; });
    if (found == receivers_.end()) return false;
    // Erased before the reference goes: the receiver's destruction may call back into this set.
    CComPtr<IDeveloperConsoleMessageReceiver> receiver = std::move(found->second);
    receivers_.erase(found);
    return true;
}

void ConsoleReceiverSet::Clear() {
    auto released = std::move(receivers_);
    receivers_.clear();
}

void ConsoleReceiverSet::Deliver(const ConsoleMessage& message) const {
    if (receivers_.empty()) return;
    const auto receivers = receivers_;  // holds every receiver for the whole delivery
    const auto level = static_cast<DEV_CONSOLE_MESSAGE_LEVEL>(message.level);
    const char16_t* fileUrl = message.sourceUrl ? message.sourceUrl->c_str() : nullptr;
    for (const auto& entry : receivers)
        entry.second->WriteWithUrlLineAndColumn(nullptr, level, 0, message.text.c_str(), fileUrl, message.line,
                                                message.column);
}

}  // namespace platform

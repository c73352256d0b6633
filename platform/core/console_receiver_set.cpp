#include "console_receiver_set.h"

#include <algorithm>

namespace platform {
namespace {
DWORD nextCookie = 1;
}  // namespace

DWORD ConsoleReceiverSet::Add(CComPtr<IDeveloperConsoleMessageReceiver> receiver) {
    if (nextCookie == 0) ++nextCookie;  // after four billion registrations; 0 means none
    const DWORD cookie = nextCookie++;
    CComPtr<IDeveloperConsoleMessageReceiver> first;
    if (!hadReceiver_) first = receiver;
    receivers_.emplace_back(cookie, std::move(receiver));
    if (first) {
        hadReceiver_ = true;
        const std::vector<ConsoleMessage> early = std::move(early_);
        early_.clear();
        earlyCharacters_ = 0;
        for (const ConsoleMessage& message : early) DeliverTo(first, message);
    }
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
    early_.clear();
    earlyCharacters_ = 0;
    hadReceiver_ = true;  // nothing is kept for a receiver that can no longer come
}

void ConsoleReceiverSet::Deliver(const ConsoleMessage& message) {
    if (receivers_.empty()) {
        if (hadReceiver_ || earlyFull_) return;
        const std::size_t characters = message.text.size() + (message.sourceUrl ? message.sourceUrl->size() : 0);
        if (early_.size() >= kMaxEarlyMessages || characters > kMaxEarlyCharacters - earlyCharacters_) {
            earlyFull_ = true;
            return;
        }
        earlyCharacters_ += characters;
        early_.push_back(message);
        return;
    }
    const auto receivers = receivers_;  // holds every receiver for the whole delivery
    for (const auto& entry : receivers) DeliverTo(entry.second, message);
}

void ConsoleReceiverSet::DeliverTo(IDeveloperConsoleMessageReceiver* receiver, const ConsoleMessage& message) {
    const char16_t* fileUrl = message.sourceUrl ? message.sourceUrl->c_str() : nullptr;
    receiver->WriteWithUrlLineAndColumn(nullptr, static_cast<DEV_CONSOLE_MESSAGE_LEVEL>(message.level), 0,
                                        message.text.c_str(), fileUrl, message.line, message.column);
}

}  // namespace platform

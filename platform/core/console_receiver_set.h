// The console receivers registered with one document, and the delivery of the engine's
// console messages to them.
#pragma once

#include <utility>
#include <vector>

#include "backend/engine.h"
#include "com/ptr.h"
#include "mshtml/console.h"

namespace platform {

class ConsoleReceiverSet {
public:
    // Registers a receiver and returns its cookie, never 0. Cookies are unique within the
    // process, so a remove sent to the wrong document cannot end another registration.
    DWORD Add(CComPtr<IDeveloperConsoleMessageReceiver> receiver);
    // False when the cookie is not registered here.
    bool Remove(DWORD cookie);
    // Lets go of every receiver (each one's release may call back into this set).
    void Clear();
    bool Empty() const { return receivers_.empty(); }

    // Hands the message to every receiver, in the order they registered. A receiver may
    // register or remove receivers while it is called: those calls see the new set, this
    // delivery goes on with the receivers it started with.
    void Deliver(const ConsoleMessage& message) const;

private:
    std::vector<std::pair<DWORD, CComPtr<IDeveloperConsoleMessageReceiver>>> receivers_;
};

}  // namespace platform

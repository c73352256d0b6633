// The console receivers registered with one document, and the delivery of the engine's
// console messages to them.
#pragma once

#include <utility>
#include <vector>

#include "backend/engine.h"
#include "com/ptr.h"
#include "mshtml/console.h"

namespace platform {

// A page's console begins with the page, not with the first registration: messages that
// come before the document's first receiver are kept (the first ones, up to kMaxEarlyMessages
// and kMaxEarlyCharacters of text and address in all) and handed to that receiver as it
// registers. A host registers when the document has completed, after the scripts that ran
// while it loaded. The character bound keeps a loading page that logs huge texts from
// filling the program's memory.
class ConsoleReceiverSet {
public:
    static constexpr std::size_t kMaxEarlyMessages = 1000;
    static constexpr std::size_t kMaxEarlyCharacters = 4 * 1024 * 1024;

    // Registers a receiver and returns its cookie, never 0. Cookies are unique within the
    // process, so a remove sent to the wrong document cannot end another registration. The
    // document's first receiver gets the early messages before this returns.
    DWORD Add(CComPtr<IDeveloperConsoleMessageReceiver> receiver);
    // False when the cookie is not registered here.
    bool Remove(DWORD cookie);
    // Lets go of every receiver (each one's release may call back into this set) and of the
    // early messages; nothing is kept from then on.
    void Clear();

    // Hands the message to every receiver, in the order they registered (or keeps it while
    // the document has had none). A receiver may register or remove receivers while it is
    // called: those calls see the new set, this delivery goes on with the receivers it
    // started with.
    void Deliver(const ConsoleMessage& message);

private:
    static void DeliverTo(IDeveloperConsoleMessageReceiver* receiver, const ConsoleMessage& message);

    std::vector<std::pair<DWORD, CComPtr<IDeveloperConsoleMessageReceiver>>> receivers_;
    std::vector<ConsoleMessage> early_;
    std::size_t earlyCharacters_ = 0;
    bool earlyFull_ = false;  // a message did not fit: none after it is kept either
    bool hadReceiver_ = false;
};

}  // namespace platform

// Copies the console messages of the main window's page into the log: one receiver,
// registered with the window's current document after every completed document, each
// message one Info line "JSConsole | <level word>: <url> (<line> : <column>): <text>".
// Registration happens whether logging is on or off; while it is off the lines are dropped.
#pragma once

#include <string>

#include "com/ptr.h"
#include "mshtml/console.h"
#include "mshtml/document.h"
#include "mshtml/host.h"

// " INFO", " WARN" and "ERROR" for the three console levels; "[%03d]" of any other level.
std::u16string ConsoleLevelWord(int level);

class CConsoleLog final : public IDeveloperConsoleMessageReceiver {
public:
    // Reference count 1 (the owner's), not registered.
    CConsoleLog() = default;
    // The owner may destroy the receiver directly; it is detached first.
    ~CConsoleLog();
    CConsoleLog(const CConsoleLog&) = delete;
    CConsoleLog& operator=(const CConsoleLog&) = delete;

    // Registers with the document through its command target, after removing the earlier
    // registration; logs "Console log for URL: <...>" once registered.
    void Attach(IHTMLDocument2* document);
    // Removes the registration, if any; a failing remove is not reported.
    void Detach();
    bool IsRegistered() const { return cookie_ != 0; }

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return ++refCount_; }
    ULONG Release() override;

    // IDeveloperConsoleMessageReceiver: every form ends in WriteWithUrlLineAndColumn, with no
    // file URL, line 0 and column 0 for what it lacks. All return S_OK.
    HRESULT Write(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                  const char16_t* messageText) override;
    HRESULT WriteWithUrl(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                         const char16_t* messageText, const char16_t* fileUrl) override;
    HRESULT WriteWithUrlAndLine(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                                const char16_t* messageText, const char16_t* fileUrl, ULONG line) override;
    HRESULT WriteWithUrlLineAndColumn(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                                      const char16_t* messageText, const char16_t* fileUrl, ULONG line,
                                      ULONG column) override;

private:
    CComPtr<IOleCommandTarget> commandTarget_;
    ULONG refCount_ = 1;
    DWORD cookie_ = 0;  // 0: not registered
};

#include "diagnostics/console_log.h"

#include "crt/crt.h"
#include "diagnostics/log_writer.h"

std::u16string ConsoleLevelWord(int level) {
    switch (level) {
    case DCML_INFORMATIONAL: return u" INFO";
    case DCML_WARNING: return u" WARN";
    case DCML_ERROR: return u"ERROR";
    default: return crt_wformat(u"[%03d]", level);
    }
}

CConsoleLog::~CConsoleLog() { Detach(); }

void CConsoleLog::Attach(IHTMLDocument2* document) {
    if (cookie_ != 0) Detach();
    commandTarget_.Release();
    if (!document) return;
    document->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&commandTarget_));
    if (commandTarget_) {
        CComVariant in;
        CComVariant out;
        in.vt = VT_UNKNOWN;
        in.punkVal = this;
        AddRef();  // the input VARIANT's reference, dropped when it is cleared
        if (SUCCEEDED(commandTarget_->Exec(&CGID_MSHTML, IDM_ADDCONSOLEMESSAGERECEIVER, 0, &in, &out)))
            cookie_ = out.ulVal;  // the 32-bit value, whatever type the VARIANT says
    }
    if (cookie_ == 0) return;

    CComPtr<IHTMLLocation> location;
    if (FAILED(document->get_location(&location)) || !location) return;
    CComBSTR address;
    location->toString(&address);
    LogMessage(LogLevel::Info, this, "Console log for URL: <%S>\n", address.get() ? address.get() : u"");
}

void CConsoleLog::Detach() {
    if (!commandTarget_ || cookie_ == 0) return;
    CComVariant in;
    in.vt = VT_UI4;
    in.ulVal = cookie_;
    cookie_ = 0;
    // The target goes before the call returns to the caller: the remove may release this
    // receiver's last reference held by the document, which must find no cookie left.
    CComPtr<IOleCommandTarget> target = std::move(commandTarget_);
    target->Exec(&CGID_MSHTML, IDM_REMOVECONSOLEMESSAGERECEIVER, 0, &in, nullptr);
}

HRESULT CConsoleLog::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDeveloperConsoleMessageReceiver) {
        *out = static_cast<IDeveloperConsoleMessageReceiver*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG CConsoleLog::Release() {
    const ULONG count = --refCount_;
    if (count == 0) delete this;
    return count;
}

HRESULT CConsoleLog::Write(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                           const char16_t* messageText) {
    return WriteWithUrlLineAndColumn(source, level, messageId, messageText, nullptr, 0, 0);
}

HRESULT CConsoleLog::WriteWithUrl(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                                  const char16_t* messageText, const char16_t* fileUrl) {
    return WriteWithUrlLineAndColumn(source, level, messageId, messageText, fileUrl, 0, 0);
}

HRESULT CConsoleLog::WriteWithUrlAndLine(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                                         const char16_t* messageText, const char16_t* fileUrl, ULONG line) {
    return WriteWithUrlLineAndColumn(source, level, messageId, messageText, fileUrl, line, 0);
}

HRESULT CConsoleLog::WriteWithUrlLineAndColumn(const char16_t*, DEV_CONSOLE_MESSAGE_LEVEL level, int,
                                               const char16_t* messageText, const char16_t* fileUrl, ULONG line,
                                               ULONG column) {
    const std::u16string word = ConsoleLevelWord(level);
    // Line and column are written as signed numbers, the way the log has always shown them.
    LogMessage(LogLevel::Info, this, "JSConsole | %S: %S (%d : %d): %S\n", word.c_str(),
               fileUrl ? fileUrl : u"[unknown]", static_cast<int>(line), static_cast<int>(column),
               messageText ? messageText : u"");
    return S_OK;
}

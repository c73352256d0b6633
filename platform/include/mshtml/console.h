// The developer console's receiver interface: an object the host registers with a document
// (IOleCommandTarget::Exec, CGID_MSHTML, IDM_ADDCONSOLEMESSAGERECEIVER with the receiver in a
// VT_UNKNOWN; the cookie comes back in the output VARIANT; IDM_REMOVECONSOLEMESSAGERECEIVER
// with that cookie in a VT_UI4 ends it). The browser calls it for every console message of
// the document's page, on the thread that registered it.
#pragma once

#include "com/com.h"

enum DEV_CONSOLE_MESSAGE_LEVEL : int {
    DCML_INFORMATIONAL = 0,
    DCML_WARNING = 1,
    DCML_ERROR = 2,
    DEV_CONSOLE_MESSAGE_LEVEL_Max = 0x7FFFFFFF,
};

// Strings may be null: a null fileUrl means the message names no file.
class IDeveloperConsoleMessageReceiver : public IUnknown {
public:
    virtual HRESULT Write(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                          const char16_t* messageText) = 0;
    virtual HRESULT WriteWithUrl(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                                 const char16_t* messageText, const char16_t* fileUrl) = 0;
    virtual HRESULT WriteWithUrlAndLine(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                                        const char16_t* messageText, const char16_t* fileUrl, ULONG line) = 0;
    virtual HRESULT WriteWithUrlLineAndColumn(const char16_t* source, DEV_CONSOLE_MESSAGE_LEVEL level, int messageId,
                                              const char16_t* messageText, const char16_t* fileUrl, ULONG line,
                                              ULONG column) = 0;

protected:
    ~IDeveloperConsoleMessageReceiver() = default;
};
inline constexpr IID IID_IDeveloperConsoleMessageReceiver{
    0x30510808, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

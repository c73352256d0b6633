// The program's command-line switches: "URL" (the next plain argument is the start address),
// "k" (full screen), "logs" (logging on) and "commit" (register the Flash control system-wide
// and end). Switch names are compared ignoring the case of A-Z; anything else goes to the
// framework's parser and has no effect.
#pragma once

#include "afx/app.h"

class CCmdLineParams : public CCommandLineInfo {
public:
    CCmdLineParams() = default;
    ~CCmdLineParams() override;

    void ParseParam(const WCHAR* param, BOOL isFlag, BOOL isLast) override;

    // 1 after "URL" until an unrecognised switch; while 1, each plain argument replaces startUrl.
    INT urlExpected = 0;
    // Points into the process's argument vector, which outlives the parser; not owned.
    const WCHAR* startUrl = nullptr;
    bool enableLogging = false;
    bool fullScreen = false;
    bool registerSystemWide = false;
};

#include "app/command_line.h"

#include "crt/crt.h"

CCmdLineParams::~CCmdLineParams() = default;

void CCmdLineParams::ParseParam(const WCHAR* param, BOOL isFlag, BOOL isLast) {
    if (param == nullptr) return;
    if (isFlag) {
        if (_wcsicmp(param, u"URL") == 0) {
            urlExpected = 1;
        } else if (_wcsicmp(param, u"k") == 0) {
            fullScreen = true;
        } else if (_wcsicmp(param, u"logs") == 0) {
            enableLogging = true;
        } else if (_wcsicmp(param, u"commit") == 0) {
            registerSystemWide = true;
        } else {
            urlExpected = 0;
            CCommandLineInfo::ParseParam(param, isFlag, isLast);
        }
        return;
    }
    if (urlExpected == 1) {
        startUrl = param;
        return;
    }
    CCommandLineInfo::ParseParam(param, isFlag, isLast);
}

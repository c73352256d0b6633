// The framework's command-line walk and its base parser.
#include "afx/app.h"
#include "crt/crt.h"

namespace {

// The switch the system's restart support puts on the command line of a restarted program,
// followed by ":" and the restart identifier.
constexpr char16_t kRestartSwitch[] = u"RestartByRestartManager";

bool IsRestartSwitch(const WCHAR* param) {
    const std::u16string_view text(param);
    const std::u16string_view name(kRestartSwitch);
    if (text.size() < name.size()) return false;
    const std::u16string head(text.substr(0, name.size()));
    return _wcsicmp(head.c_str(), kRestartSwitch) == 0 && (text.size() == name.size() || text[name.size()] == u':');
}

}  // namespace

void CCommandLineInfo::ParseParam(const WCHAR* param, BOOL isFlag, BOOL isLast) {
    if (param == nullptr) return;
    if (isFlag) {
        if (IsRestartSwitch(param)) {
            m_bRestart = true;
        } else {
            ++m_nUnknownSwitches;
        }
        return;
    }
    // The first plain argument is the document to open; later ones are ignored.
    if (m_strFileName.empty()) m_strFileName = param;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    const int count = AfxGetArgc();
    const WCHAR* const* arguments = AfxGetArgv();
    if (arguments == nullptr) return;
    for (int index = 1; index < count; ++index) {
        const WCHAR* argument = arguments[index];
        if (argument == nullptr) continue;
        const bool isFlag = argument[0] == u'/' || argument[0] == u'-';
        info.ParseParam(isFlag ? argument + 1 : argument, isFlag ? TRUE : FALSE, index + 1 == count ? TRUE : FALSE);
    }
}

#include "diagnostics/log_folder.h"

#include "app/version_info.h"
#include "crt/crt.h"
#include "win32/api.h"

namespace {

struct LogFolderState {
    std::u16string folder;
    AppVersionStrings versions;
};

LogFolderState& State() {
    static LogFolderState state;
    return state;
}

// Appends one folder level and creates it. An empty name adds no level.
void AppendAndCreate(std::u16string& path, const std::u16string& name) {
    if (name.empty()) return;
    path += u"\\";
    path += name;
    CreateDirectoryW(path.c_str(), nullptr);  // an existing folder is as good as a new one
}

}  // namespace

std::u16string ExeNameFromInternalName(const std::u16string& internalName) {
    constexpr std::size_t kExtensionLength = 4;
    if (internalName.size() <= kExtensionLength) return {};
    return internalName.substr(0, internalName.size() - kExtensionLength);
}

std::u16string GetLogFolder() {
    LogFolderState& state = State();
    if (!state.folder.empty()) return state.folder;

    char16_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return {};
    const std::u16string_view returned(appData, MAX_PATH);
    std::u16string path(returned.substr(0, returned.find(u'\0')));
    if (path.empty()) return {};

    AppVersionStrings& versions = state.versions;
    versions.fileVersion = GetVersionString(u"FileVersion");
    versions.productVersion = GetVersionString(u"ProductVersion");
    versions.auxInfo = GetVersionString(u"AuxInfo");
    versions.companyName = GetVersionString(u"CompanyName");
    versions.exeName = ExeNameFromInternalName(GetVersionString(u"InternalName"));

    AppendAndCreate(path, versions.companyName);
    AppendAndCreate(path, versions.exeName);
    AppendAndCreate(path, u"Logs");
    state.folder = path;
    return state.folder;
}

std::u16string KnownLogFolder() { return State().folder; }

const AppVersionStrings& AppVersionInfo() { return State().versions; }

void ForgetLogFolder() { State() = LogFolderState{}; }

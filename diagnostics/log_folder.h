// The folder of the log and dump files: <roaming application data>\<CompanyName>\<ExeName>\Logs,
// found (and created) once per process, and the version strings its header shows.
#pragma once

#include <string>

struct AppVersionStrings {
    std::u16string companyName;
    std::u16string exeName;  // InternalName without its extension
    std::u16string fileVersion;
    std::u16string productVersion;
    std::u16string auxInfo;
};

// The folder without a trailing backslash, or an empty string when the application-data
// folder is unknown (the next call then tries again). The first success creates the folder
// chain (a failure to create it is not reported: opening a file there fails instead) and
// fills the version strings; later calls return the same path.
std::u16string GetLogFolder();

// The folder if it has been found, else an empty string; never looks it up.
std::u16string KnownLogFolder();

// Empty until GetLogFolder first succeeds.
const AppVersionStrings& AppVersionInfo();

// InternalName without its last four characters (the extension); empty when it has four or fewer.
std::u16string ExeNameFromInternalName(const std::u16string& internalName);

// Tests only: forgets the folder and the version strings, as a new process would start.
void ForgetLogFolder();

// A program that changes the settings in a loop until it is killed, built from the system's
// own settings and registry code on the simulated desktop:
//   kill_loop_driver bookmarks <settings file> <first step>
//   kill_loop_driver registry <first step>      (the hive under $XDG_CONFIG_HOME)
// Before each step it writes the step's number and a line feed to its standard output, so
// that whoever kills it knows which change may have been under way.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "afx/app.h"
#include "kill_loop_steps.h"
#include "paths.h"
#include "settings/app_config.h"
#include "win32/api.h"

namespace {

void Announce(long long step) {
    const std::string line = std::to_string(step) + "\n";
    if (::write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size())) std::_Exit(3);
}

int RunBookmarks(const char* file, long long first) {
    CWinApp app(u"Pelmarin");
    app.SetProfileName(FromHostPath(file).c_str());
    CCorvaleAppConfig config(&app);
    for (long long n = first;; ++n) {
        Announce(n);
        const kill_loop::Step step = kill_loop::StepNumber(n);
        const Bookmark bookmark = kill_loop::BookmarkNumber(step.bookmark);
        const bool done = step.add ? config.AddBookmark(bookmark.name, bookmark.url)
                                   : config.RemoveBookmark(bookmark.name, bookmark.url);
        if (!done) return 2;  // the file did not hold what this step expects
    }
}

int RunRegistry(long long first) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kill_loop::kRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return 2;
    }
    for (long long n = first;; ++n) {
        Announce(n);
        const std::u16string text = kill_loop::RegistryText(n + 1);
        if (RegSetValueExW(key, u"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(char16_t))) != ERROR_SUCCESS) {
            return 2;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "bookmarks" && argc == 4) return RunBookmarks(argv[2], std::atoll(argv[3]));
    if (mode == "registry" && argc == 3) return RunRegistry(std::atoll(argv[2]));
    std::fputs("usage: kill_loop_driver bookmarks <settings file> <first step> | registry <first step>\n", stderr);
    return 1;
}

#include "display_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "gtk_toolkit.h"

namespace platform::desktop::testing {
namespace {

pid_t serverPid = 0;

void StopServer() {
    if (serverPid > 0) {
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
        serverPid = 0;
    }
}

bool StartServer(std::string* whyNot) {
    std::string server = "Xvfb";
    gchar* found = g_find_program_in_path(server.c_str());
    if (!found) {
        *whyNot = "no DISPLAY and no Xvfb on PATH";
        return false;
    }
    std::string path = found;
    g_free(found);
    // A display number of our own: free when its socket does not exist.
    for (int number = 90 + static_cast<int>(getpid() % 400);; ++number) {
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) continue;
        std::string display = ":" + std::to_string(number);
        pid_t child = fork();
        if (child == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server goes with the tests, even when they die
            int devnull = open("/dev/null", O_RDWR);
            dup2(devnull, 1);
            dup2(devnull, 2);
            execl(path.c_str(), path.c_str(), display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        serverPid = child;
        std::atexit(StopServer);
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!std::filesystem::exists(socket)) {
            *whyNot = "Xvfb did not start";
            StopServer();
            return false;
        }
        setenv("DISPLAY", display.c_str(), 1);
        return true;
    }
}

void UsePrivateHome() {
    const char* base = std::getenv("PELMARIN_TEST_TMP");
    std::string root = std::string(base ? base : "/tmp") + "/gtk-home-" + std::to_string(getpid());
    std::filesystem::create_directories(root + "/cache");
    std::filesystem::create_directories(root + "/data");
    std::filesystem::create_directories(root + "/config");
    setenv("HOME", root.c_str(), 1);
    setenv("XDG_CACHE_HOME", (root + "/cache").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    // Accessibility is not under test here; without a session bus GTK would warn.
    setenv("NO_AT_BRIDGE", "1", 1);
}

}  // namespace

bool EnsureDisplay(std::string* whyNot) {
    static int state = 0;  // 0 not tried, 1 up, -1 failed
    static std::string reason;
    if (state == 0) {
        UsePrivateHome();
        const char* display = std::getenv("DISPLAY");
        bool have = (display && *display) || StartServer(&reason);
        if (have && !gtk_init_check(nullptr, nullptr)) {
            have = false;
            reason = "GTK could not open the display";
        }
        state = have ? 1 : -1;
    }
    if (whyNot) *whyNot = reason;
    return state == 1;
}

}  // namespace platform::desktop::testing

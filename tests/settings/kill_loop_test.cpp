// A program changing the settings is killed with SIGKILL at random moments, again and again.
// After every kill the file must read whole and hold either the state before the change that
// was under way or the state after it - never a mixture, never a cut - with every other line
// unchanged; a temporary file the killed writer left is taken away by the next write.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "crt/crt.h"
#include "ini_document.h"
#include "kill_loop_steps.h"
#include "paths.h"
#include "registry_text_format.h"
#include "settings/app_config.h"
#include "support/scoped_test_folder.h"

namespace ini {
void PrintTo(TextEncoding encoding, std::ostream* os) {
    static const char* const kNames[] = {"UTF-8", "UTF-8 with mark", "UTF-16LE with mark", "Windows-1252"};
    *os << kNames[static_cast<int>(encoding)];
}
}  // namespace ini

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

// The driver, started with its standard output on a pipe.
class Driver {
public:
    explicit Driver(const std::vector<std::string>& arguments) {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            std::string program = PELMARIN_KILL_LOOP_DRIVER;
            argv.push_back(program.data());
            std::vector<std::string> copies = arguments;
            for (std::string& argument : copies) argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        output_ = out[0];
    }
    ~Driver() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) ::close(output_);
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Waits for the first step number; false when none came within the time.
    bool WaitUntilWriting() {
        pollfd ready{output_, POLLIN, 0};
        if (::poll(&ready, 1, 10000) != 1) return false;
        ReadAvailable();
        return lastStep_.has_value();
    }

    // Kills it; the wait status, or -1.
    int Kill() {
        ::kill(pid_, SIGKILL);
        int status = -1;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        ReadAvailable();  // the rest of what it wrote, up to the end of the pipe
        return status;
    }

    // The number of the last step it began, if any.
    std::optional<long long> LastStep() const { return lastStep_; }

private:
    void ReadAvailable() {
        char buffer[4096];
        for (;;) {
            pollfd ready{output_, POLLIN, 0};
            if (::poll(&ready, 1, 0) != 1) return;
            const ssize_t count = ::read(output_, buffer, sizeof buffer);
            if (count <= 0) return;
            pending_.append(buffer, static_cast<std::size_t>(count));
            std::size_t end = 0;
            while ((end = pending_.find('\n')) != std::string::npos) {
                lastStep_ = std::stoll(pending_.substr(0, end));
                pending_.erase(0, end + 1);
            }
        }
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
    std::optional<long long> lastStep_;
};

std::size_t TemporariesIn(const fs::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".tmp-") != std::string::npos) ++count;
    }
    return count;
}

std::string Describe(const BookmarkList& list) {
    std::string out;
    for (const Bookmark& b : list) out += "(" + text::ToUtf8(b.name) + ")";
    return out.empty() ? "(none)" : out;
}

// The lines of the file but the one that starts with prefix.
std::string WithoutLine(const std::string& bytes, const std::string& prefix) {
    const std::size_t start = bytes.find(prefix);
    if (start == std::string::npos) return bytes;
    const std::size_t end = bytes.find('\n', start);
    return bytes.substr(0, start) + (end == std::string::npos ? "" : bytes.substr(end + 1));
}

// Figures of one loop, printed for the record.
struct Tally {
    int kills = 0;
    int old = 0;         // the change under way had not landed
    int changed = 0;     // it had
    int leftovers = 0;   // a temporary file was left behind
    void Print(const char* what, std::chrono::steady_clock::duration spent) const {
        std::printf("%s: %d kills in %.1f s; old state %d, new state %d; temporary file left by %d\n", what, kills,
                    std::chrono::duration<double>(spent).count(), old, changed, leftovers);
    }
};

constexpr int kBookmarkKills = 220;
constexpr int kRegistryKills = 100;

// The upper bound of the random wait before a kill, once the driver has begun its first
// write: long enough to take it through a few writes, so that kills land anywhere in them.
constexpr int kMaxDelayMicroseconds = 60000;

// The settings file as the Windows version left it, in Windows-1252 with CR LF, with a
// comment, a blank line, another section and the other keys around the bookmark list.
const std::string kSettingsFile =
    "; Pelmarin settings\r\n"
    "[Features]\r\n"
    "ProxyMode=2\r\n"
    "Bookmarks=\r\n"
    "Proxy=socks.example:1080\r\n"
    "\r\n"
    "[Other]\r\n"
    "Note=Caf\xE9 \x80 \x93quoted\x94\r\n";

TEST(KillLoopTest, TheSettingsFileHoldsTheOldOrTheNewBookmarkListAfterEveryKill) {
    ScopedTestFolder folder;
    const fs::path file = folder.path() / "AppSettings.ini";
    WriteBytes(file, kSettingsFile);
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> delay(0, kMaxDelayMicroseconds);

    Tally tally;
    long long state = 0;  // steps the file holds
    const auto start = std::chrono::steady_clock::now();
    while (tally.kills < kBookmarkKills) {
        Driver driver({"bookmarks", file.string(), std::to_string(state)});
        ASSERT_TRUE(driver.WaitUntilWriting()) << "the driver did not start";
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        const int status = driver.Kill();
        ++tally.kills;
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the driver stopped by itself (status " << status << "): a step found the list in another state";

        const std::string bytes = ReadBytes(file);
        ASSERT_EQ(ini::IniDocument::Parse(bytes).Encoding(), ini::TextEncoding::Windows1252)
            << "kill " << tally.kills << ": the file is no longer the Windows-1252 file it was";
        ASSERT_EQ(WithoutLine(bytes, "Bookmarks="), WithoutLine(kSettingsFile, "Bookmarks="))
            << "kill " << tally.kills << ": a line besides the bookmark list changed";

        CWinApp app(u"Pelmarin");
        app.SetProfileName(FromHostPath(file.string()).c_str());
        const std::string found = Describe(CCorvaleAppConfig(&app).GetBookmarks());
        const long long begun = *driver.LastStep();
        if (found == Describe(kill_loop::BookmarksAfter(begun))) {
            ++tally.old;
            state = begun;
        } else {
            ASSERT_EQ(found, Describe(kill_loop::BookmarksAfter(begun + 1)))
                << "kill " << tally.kills << " during step " << begun << ": neither the old nor the new list";
            ++tally.changed;
            state = begun + 1;
        }
        const std::size_t temporaries = TemporariesIn(folder.path());
        ASSERT_LE(temporaries, 1u) << "temporary files pile up";
        tally.leftovers += static_cast<int>(temporaries);
    }
    tally.Print("bookmarks", std::chrono::steady_clock::now() - start);

    // One more write, by this process: it takes the last leftover away.
    CWinApp app(u"Pelmarin");
    app.SetProfileName(FromHostPath(file.string()).c_str());
    CCorvaleAppConfig config(&app);
    const kill_loop::Step next = kill_loop::StepNumber(state);
    const Bookmark bookmark = kill_loop::BookmarkNumber(next.bookmark);
    ASSERT_TRUE(next.add ? config.AddBookmark(bookmark.name, bookmark.url)
                         : config.RemoveBookmark(bookmark.name, bookmark.url));
    EXPECT_EQ(Describe(config.GetBookmarks()), Describe(kill_loop::BookmarksAfter(state + 1)));
    EXPECT_EQ(TemporariesIn(folder.path()), 0u);
    EXPECT_GT(tally.changed, 0) << "no kill came after a write: the loop tested nothing";
}

TEST(KillLoopTest, TheRegistryHiveHoldsTheOldOrTheNewValueAfterEveryKill) {
    ScopedTestFolder folder;
    const ScopedEnvironment configHome("XDG_CONFIG_HOME", folder.path().string());
    const fs::path hiveFolder = folder.path() / "pelmarin-platform";
    const fs::path hive = hiveFolder / "HKEY_CURRENT_USER.reg";
    fs::create_directories(hiveFolder);
    const std::string others =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"Text\"=\"Gr\xC3\xBC\xC3\x9F" "e\"\n"
        "\"Number\"=dword:0000002a\n"
        "\n";
    WriteBytes(hive, others);
    std::mt19937 random(1211);
    std::uniform_int_distribution<int> delay(0, kMaxDelayMicroseconds);

    Tally tally;
    std::optional<std::u16string> held;  // the value the hive holds; none before the first step
    const auto start = std::chrono::steady_clock::now();
    while (tally.kills < kRegistryKills) {
        // The driver starts over from any state: each step writes its own number.
        Driver driver({"registry", std::to_string(tally.kills * 1000)});
        ASSERT_TRUE(driver.WaitUntilWriting()) << "the driver did not start";
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        const int status = driver.Kill();
        ++tally.kills;
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

        const std::string bytes = ReadBytes(hive);
        const ParsedRegistryDocument parsed = ParseRegistryText(bytes);
        ASSERT_TRUE(parsed.complete) << "kill " << tally.kills << ": the hive does not read whole";
        ASSERT_EQ(bytes.substr(0, others.size()), others) << "kill " << tally.kills << ": another key changed";
        EXPECT_FALSE(fs::exists(hive.string() + ".unreadable"));

        std::optional<std::u16string> text;
        for (const RegistrySection& section : parsed.document.sections) {
            if (section.path != u"HKEY_CURRENT_USER\\" + std::u16string(kill_loop::kRegistryKey)) continue;
            for (const RegistryValue& value : section.values) {
                if (value.name == u"Text" && value.type == REG_SZ && value.data.size() >= 2) {
                    text = std::u16string(reinterpret_cast<const char16_t*>(value.data.data()), value.data.size() / 2 - 1);
                }
            }
        }
        // The old value is the one of the step before, or what the previous run left.
        const long long first = tally.kills * 1000LL - 1000;
        const long long begun = *driver.LastStep();
        const std::optional<std::u16string> before = begun == first ? held : kill_loop::RegistryText(begun);
        if (text == kill_loop::RegistryText(begun + 1)) {
            ++tally.changed;
        } else {
            ASSERT_TRUE(text == before) << "kill " << tally.kills << " during step " << begun
                                        << ": neither the old nor the new value";
            ++tally.old;
        }
        held = text;
        const std::size_t temporaries = TemporariesIn(hiveFolder);
        ASSERT_LE(temporaries, 1u) << "temporary files pile up";
        tally.leftovers += static_cast<int>(temporaries);
    }
    tally.Print("registry", std::chrono::steady_clock::now() - start);
    EXPECT_GT(tally.changed, 0) << "no kill came after a write: the loop tested nothing";
}

}  // namespace

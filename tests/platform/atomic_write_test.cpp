// Atomic replacement: content, permissions, failure without damage, and no torn reads.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "atomic_write.h"
#include "support/scoped_test_folder.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

namespace {

std::size_t EntriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicWrite, CreatesAndReplacesWithoutLeavingTemporaryFiles) {
    ScopedTestFolder folder;
    const std::string target = folder / "hive.reg";

    ASSERT_TRUE(ReplaceFileAtomically(target, "first"));
    EXPECT_EQ(ReadBytes(target), "first");
    ASSERT_TRUE(ReplaceFileAtomically(target, std::string("sec\0ond", 7)));
    EXPECT_EQ(ReadBytes(target), std::string("sec\0ond", 7));
    ASSERT_TRUE(ReplaceFileAtomically(target, ""));
    EXPECT_EQ(ReadBytes(target), "");
    EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

TEST(AtomicWrite, KeepsThePermissionsOfTheFileItReplaces) {
    ScopedTestFolder folder;
    const std::string target = folder / "settings.ini";
    WriteBytes(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);

    ASSERT_TRUE(ReplaceFileAtomically(target, "new"));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicWrite, FailsWithoutTouchingAnything) {
    ScopedTestFolder folder;
    // A folder in the place of the file: it must survive with its content.
    fs::create_directory(folder.path() / "taken");
    WriteBytes(folder.path() / "taken" / "inside", "kept");
    EXPECT_FALSE(ReplaceFileAtomically(folder / "taken", "x"));
    EXPECT_EQ(ReadBytes(folder.path() / "taken" / "inside"), "kept");

    // A missing folder, and a file where a folder should be.
    WriteBytes(folder.path() / "plain", "data");
    EXPECT_FALSE(ReplaceFileAtomically(folder / "missing/file", "x"));
    EXPECT_FALSE(ReplaceFileAtomically(folder / "plain/file", "x"));
    EXPECT_EQ(ReadBytes(folder.path() / "plain"), "data");
    EXPECT_FALSE(ReplaceFileAtomically("", "x"));

    EXPECT_EQ(EntriesIn(folder.path()), 2u);  // "taken" and "plain", no leftovers
}

// What a writer killed between creating its temporary file and renaming it leaves behind,
// and only that, is taken away: not the target, not another file's temporaries.
TEST(AtomicWrite, LeftoverTemporariesOfTheTargetAreRemoved) {
    ScopedTestFolder folder;
    const std::string target = folder / "hive.reg";
    WriteBytes(target, "kept");
    for (const char* name : {".hive.reg.tmp-4242-0-17", ".hive.reg.tmp-1-2-3", ".hive.reg.unreadable.tmp-1-2-3",
                             ".other.reg.tmp-1-2-3", "hive.reg.unreadable", ".hive.reg.tmp-"}) {
        WriteBytes(folder.path() / name, "x");
    }
    RemoveLeftoverTemporaries(target);
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.path())) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"hive.reg", ".hive.reg.unreadable.tmp-1-2-3", ".other.reg.tmp-1-2-3",
                                           "hive.reg.unreadable", ".hive.reg.tmp-"}));
    EXPECT_EQ(ReadBytes(target), "kept");
}

TEST(AtomicWrite, TheFolderLockExcludesOtherProcessesAndDiesWithItsHolder) {
    ScopedTestFolder folder;
    const std::string path = folder.path().string();
    // A child holds the lock and then dies without releasing it.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const FolderWriteLock lock(path);
        const char held = lock.Held() ? 'y' : 'n';
        (void)!::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(held, 'y');

    std::atomic<bool> acquired{false};
    std::thread waiter([&] {
        const FolderWriteLock lock(path);
        acquired = lock.Held();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(acquired.load()) << "the lock of another process is exclusive";
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    waiter.join();
    EXPECT_TRUE(acquired.load());
    EXPECT_FALSE(FolderWriteLock(folder / "missing").Held());
}

TEST(AtomicWrite, ReadersSeeTheOldOrTheNewContentNeverAMixture) {
    ScopedTestFolder folder;
    const std::string target = folder / "busy";
    const std::string a(256 * 1024, 'a');
    const std::string b(300 * 1024, 'b');
    ASSERT_TRUE(ReplaceFileAtomically(target, a));

    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done.load()) {
            const std::string seen = ReadBytes(target);
            if (seen != a && seen != b) ++torn;
        }
    });
    for (int i = 0; i < 60; ++i) ASSERT_TRUE(ReplaceFileAtomically(target, (i % 2) ? a : b));
    done = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
}

}  // namespace

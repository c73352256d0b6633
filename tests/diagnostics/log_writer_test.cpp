// The log writer on real files, each test with its own application-data folder.
#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "afx/file.h"
#include "crt/crt.h"
#include "diagnostics/log_folder.h"
#include "diagnostics/log_writer.h"
#include "paths.h"
#include "support/scoped_test_folder.h"
#include "win32/resource_registry.h"
#include "win32/version_block.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

constexpr const char* kTime = "[0-9]{2}:[0-9]{2}:[0-9]{2}";
constexpr const char* kPlainName = "[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{6}-Browser\\.log";

std::u16string WindowsPath(const fs::path& host) { return FromHostPath(host.string()); }

std::string Pointer(const void* p) { return crt_format("%p", p); }

std::string HeaderPattern(const void* writer) {
    return std::string("Browser: ") + kTime + ": \tInfo:\t" + Pointer(writer) +
           "\t\r\n\r\nCompanyName : Quendris\r\nExeName : Pelmarin\r\nFileVersion : 1.1.1\r\n"
           "ProductVersion : 1.1.1\r\nAuxInfo : \r\n\r\n";
}

std::string LinePattern(const char* level, const void* object, const std::string& text) {
    return std::string("Browser: ") + kTime + ": \t" + level + ":\t" + Pointer(object) + "\t" + text + "\r\n";
}

// The prefix's length: the time picture HH:mm:ss always gives eight characters.
std::size_t PrefixLength() {
    return crt_format("Browser: %s: \t%s:\t%p\t", "00:00:00", "Info", static_cast<void*>(nullptr)).size();
}

// Characters as the writer counts them: a line end is one.
std::int64_t CountedCharacters(const std::string& bytes) {
    std::int64_t crlf = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++crlf;
    return static_cast<std::int64_t>(bytes.size()) - crlf;
}

// The lines of a file, without their CR LF.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// "<yyyy-MM-dd>_<HHmmss>" of the local time `offset` seconds from now.
std::string Stamp(int offset) {
    const time_t when = ::time(nullptr) + offset;
    tm local{};
    ::localtime_r(&when, &local);
    char text[32];
    ::strftime(text, sizeof text, "%Y-%m-%d_%H%M%S", &local);
    return text;
}

class LogWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLogging();
        fs::create_directories(config());
    }
    void TearDown() override { ResetLogging(); }

    static void ResetLogging() {
        SetLoggingEnabled(false);
        DestroyActiveLog();
        ForgetLogFolder();
    }

    fs::path config() const { return folder_.path() / "config"; }
    fs::path logs() const { return config() / "Quendris" / "Pelmarin" / "Logs"; }

    std::vector<fs::path> LogFiles() const {
        std::vector<fs::path> files;
        if (!fs::exists(logs())) return files;
        for (const fs::directory_entry& entry : fs::directory_iterator(logs())) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }

    // The writer's file, on the host.
    fs::path ActiveHostFile() const {
        for (const fs::path& file : LogFiles()) {
            if (text::ToUtf8(ActiveLog()->path).ends_with(file.filename().string())) return file;
        }
        return {};
    }

    // Logs one message of exactly `characters` counted characters, prefix included.
    static void LogCharacters(std::int64_t characters) {
        const std::string filler(static_cast<std::size_t>(characters) - PrefixLength(), 'f');
        LogMessage(LogLevel::Info, nullptr, "%s", filler.c_str());
    }

    ScopedTestFolder folder_;
    ScopedEnvironment home_{"HOME", folder_.path().string()};
    ScopedEnvironment xdg_{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    ScopedEnvironment language_{"LC_ALL", "en_US.UTF-8"};
};

TEST_F(LogWriterTest, WithLoggingOffNothingIsCreated) {
    LogMessage(LogLevel::Info, nullptr, "dropped\n");
    EXPECT_EQ(ActiveLog(), nullptr);
    EXPECT_FALSE(fs::exists(config() / "Quendris"));
    EXPECT_FALSE(IsLoggingEnabled());
}

TEST_F(LogWriterTest, SwitchingOnStartsANewFileWithTheHeaderThenStarting) {
    SetLoggingEnabled(true);
    ASSERT_TRUE(IsLoggingEnabled());
    const std::vector<fs::path> files = LogFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(kPlainName))) << files[0];

    const std::string bytes = ReadBytes(files[0]);
    EXPECT_TRUE(std::regex_match(bytes, std::regex(HeaderPattern(ActiveLog()) + LinePattern("Info", nullptr, "Starting\\.\\.\\."))))
        << bytes;
    EXPECT_EQ(ActiveLog()->byteCount, CountedCharacters(bytes));
}

TEST_F(LogWriterTest, DebugAndEveryLevelAboveAreWrittenWithTheirWord) {
    SetLoggingEnabled(true);
    const int object = 0;
    LogMessage(LogLevel::Debug, &object, "debug %d\n", 1);
    LogMessage(LogLevel::Warning, &object, "warning\n");
    LogMessage(LogLevel::Error, &object, "error\n");
    LogMessage(-1, &object, "below the minimum level\n");
    const std::string bytes = ReadBytes(LogFiles().at(0));
    const std::string tail = LinePattern("Debug", &object, "debug 1") + LinePattern("Warning", &object, "warning") +
                             LinePattern("Error", &object, "error");
    EXPECT_TRUE(std::regex_search(bytes, std::regex(tail + "$"))) << bytes;
    EXPECT_EQ(ActiveLog()->byteCount, CountedCharacters(bytes));
}

TEST_F(LogWriterTest, EveryMessageIsOnDiskWhenLogMessageReturns) {
    SetLoggingEnabled(true);
    LogMessage(LogLevel::Info, nullptr, "flushed\n");
    // Read while the writer still holds the file open.
    EXPECT_TRUE(ReadBytes(LogFiles().at(0)).ends_with("\tflushed\r\n"));
}

TEST_F(LogWriterTest, CharactersBeyondLatin1AreWrittenAsQuestionMarksAndTheLineStillEnds) {
    SetLoggingEnabled(true);
    const std::int32_t before = ActiveLog()->byteCount;
    LogMessage(LogLevel::Info, nullptr, "%S|%S\n", u"caf\u00E9", u"\u4E2D\U0001F600!");
    LogMessage(LogLevel::Info, nullptr, "next\n");
    const std::string bytes = ReadBytes(LogFiles().at(0));
    const std::vector<std::string> lines = Lines(bytes);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(lines[lines.size() - 2].ends_with("\tInfo:\t" + Pointer(nullptr) + "\tcaf\xE9|?" "?" "?!")) << bytes;
    EXPECT_TRUE(lines.back().ends_with("\tnext")) << bytes;
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    const std::int64_t firstMessage = static_cast<std::int64_t>(PrefixLength()) + 10;  // "caf\u00E9|", three question marks, "!\n"
    const std::int64_t secondMessage = static_cast<std::int64_t>(PrefixLength()) + 5;
    EXPECT_EQ(ActiveLog()->byteCount, before + firstMessage + secondMessage);
    EXPECT_EQ(ActiveLog()->byteCount, CountedCharacters(bytes));
}

TEST_F(LogWriterTest, AWriterInTheSecondOfAnExistingFileAppendsAndCountsFromItsLength) {
    // A file of this name from an earlier writer, for every second the test might start in.
    fs::create_directories(logs());
    const std::string earlier = "earlier writer\r\n";
    for (int offset = -1; offset <= 3; ++offset) WriteBytes(logs() / (Stamp(offset) + "-Browser.log"), earlier);

    SetLoggingEnabled(true);
    ASSERT_NE(ActiveLog(), nullptr);
    const fs::path file = ActiveHostFile();
    ASSERT_FALSE(file.empty()) << text::ToUtf8(ActiveLog()->path);
    EXPECT_EQ(LogFiles().size(), 5u) << "no new file";
    const std::string bytes = ReadBytes(file);
    ASSERT_TRUE(bytes.starts_with(earlier));
    EXPECT_TRUE(std::regex_match(bytes.substr(earlier.size()),
                                 std::regex(HeaderPattern(ActiveLog()) + LinePattern("Info", nullptr, "Starting\\.\\.\\."))));
    EXPECT_EQ(ActiveLog()->byteCount, static_cast<std::int64_t>(earlier.size()) +
                                          CountedCharacters(bytes.substr(earlier.size())));
}

TEST_F(LogWriterTest, ReachingTheLimitExactlyDoesNotRollOverAndPassingItDoes) {
    SetLoggingEnabled(true);
    const fs::path first = ActiveHostFile();
    LogCharacters(CLogWriter::kRolloverLimit - ActiveLog()->byteCount);
    ASSERT_EQ(ActiveLog()->byteCount, CLogWriter::kRolloverLimit);
    EXPECT_EQ(ActiveHostFile(), first);
    EXPECT_EQ(LogFiles().size(), 1u);

    LogMessage(LogLevel::Info, nullptr, "crossing\n");
    const fs::path second = ActiveHostFile();
    EXPECT_NE(second, first);
    EXPECT_EQ(LogFiles().size(), 2u);
    EXPECT_TRUE(ReadBytes(first).ends_with("\tcrossing\r\n")) << "the crossing message stays in the old file";

    LogMessage(LogLevel::Info, nullptr, "after\n");
    EXPECT_TRUE(std::regex_match(ReadBytes(second), std::regex(HeaderPattern(ActiveLog()) + LinePattern("Info", nullptr, "after"))));
    EXPECT_EQ(ActiveLog()->byteCount, CountedCharacters(ReadBytes(second)));
}

TEST_F(LogWriterTest, AFullFileIsNeverReopenedInTheSameSecond) {
    // Full files under the plain names of every second the test might run in: a writer that
    // reopened one would roll over at once, again and again.
    fs::create_directories(logs());
    std::vector<fs::path> full;
    for (int offset = -1; offset <= 4; ++offset) {
        full.push_back(logs() / (Stamp(offset) + "-Browser.log"));
        WriteBytes(full.back(), "full\r\n");
        fs::resize_file(full.back(), CLogWriter::kRolloverLimit + 1);
    }

    SetLoggingEnabled(true);
    ASSERT_NE(ActiveLog(), nullptr);
    ASSERT_TRUE(ActiveLog()->file.IsOpen());
    const fs::path counted = ActiveHostFile();
    EXPECT_TRUE(std::regex_match(counted.filename().string(),
                                 std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{6}_1-Browser\\.log")))
        << counted;

    // Now roll over from the counted file, within the same second as far as the clock goes.
    LogCharacters(CLogWriter::kRolloverLimit - ActiveLog()->byteCount + 1);
    const fs::path next = ActiveHostFile();
    EXPECT_NE(next, counted);
    EXPECT_TRUE(std::regex_match(ReadBytes(next), std::regex(HeaderPattern(ActiveLog()))));

    for (const fs::path& file : full) EXPECT_EQ(fs::file_size(file), CLogWriter::kRolloverLimit + 1u) << file;
    EXPECT_EQ(LogFiles().size(), full.size() + 2);
}

TEST_F(LogWriterTest, SwitchingOffClosesTheWriterAndOnAgainWritesANewHeader) {
    SetLoggingEnabled(true);
    SetLoggingEnabled(false);
    EXPECT_EQ(ActiveLog(), nullptr);
    LogMessage(LogLevel::Info, nullptr, "dropped while off\n");
    SetLoggingEnabled(true);
    std::string all;
    for (const fs::path& file : LogFiles()) all += ReadBytes(file);
    EXPECT_EQ(all.find("dropped"), std::string::npos);
    int headers = 0;
    for (std::size_t at = all.find("CompanyName : Quendris"); at != std::string::npos;
         at = all.find("CompanyName : Quendris", at + 1)) {
        ++headers;
    }
    EXPECT_EQ(headers, 2);
}

TEST_F(LogWriterTest, DestroyingTheActiveLogKeepsLoggingOnAndTheNextMessageStartsAWriter) {
    SetLoggingEnabled(true);
    DestroyActiveLog();
    EXPECT_EQ(ActiveLog(), nullptr);
    EXPECT_TRUE(IsLoggingEnabled());
    LogMessage(LogLevel::Info, nullptr, "after the end\n");
    ASSERT_NE(ActiveLog(), nullptr);
    const std::string bytes = ReadBytes(ActiveHostFile());
    EXPECT_TRUE(std::regex_search(bytes, std::regex(HeaderPattern(ActiveLog()) + LinePattern("Info", nullptr, "after the end") + "$")));
}

TEST_F(LogWriterTest, AFolderThatCannotBeCreatedDropsEveryMessage) {
    // A plain file where the application-data folder should be.
    const ScopedEnvironment notAFolder("XDG_CONFIG_HOME", (folder_.path() / "plain-file").string());
    WriteBytes(folder_.path() / "plain-file", "not a folder");
    SetLoggingEnabled(true);
    ASSERT_NE(ActiveLog(), nullptr);
    EXPECT_FALSE(ActiveLog()->file.IsOpen());
    LogMessage(LogLevel::Info, nullptr, "dropped\n");
    EXPECT_EQ(ReadBytes(folder_.path() / "plain-file"), "not a folder");
}

TEST_F(LogWriterTest, WithoutAnApplicationDataFolderNothingIsMadeAndTheNextCallTriesAgain) {
    {
        const ScopedEnvironment noXdg("XDG_CONFIG_HOME", std::nullopt);
        const ScopedEnvironment noHome("HOME", std::nullopt);
        EXPECT_EQ(GetLogFolder(), u"");
        SetLoggingEnabled(true);
        ASSERT_NE(ActiveLog(), nullptr);
        EXPECT_FALSE(ActiveLog()->file.IsOpen());
        SetLoggingEnabled(false);
    }
    EXPECT_TRUE(text::ToUtf8(GetLogFolder()).ends_with("\\Quendris\\Pelmarin\\Logs"));
    EXPECT_TRUE(fs::is_directory(logs()));
}

TEST_F(LogWriterTest, TheLogFolderChainIsCreatedEvenWithLoggingOff) {
    const std::u16string folder = GetLogFolder();
    EXPECT_EQ(WindowsPath(logs()), folder);
    EXPECT_TRUE(fs::is_directory(logs()));
    EXPECT_TRUE(LogFiles().empty());
    EXPECT_FALSE(IsLoggingEnabled());
    EXPECT_EQ(KnownLogFolder(), folder);
    EXPECT_EQ(AppVersionInfo().exeName, u"Pelmarin");
}

TEST_F(LogWriterTest, AShortInternalNameGivesAnEmptyExeNameAndOneFolderLevelLess) {
    VersionInfoContent content;
    content.stringTables = {{u"040904B0", {{u"CompanyName", u"Quendris"}, {u"InternalName", u".exe"}}}};
    content.translations = std::vector<VersionTranslation>{{0x0409, 0x04B0}};
    const ScopedResource version(RT_VERSION, 1, 0x0409, BuildVersionInfoBlock(content));
    SetLoggingEnabled(true);
    const fs::path shortLogs = config() / "Quendris" / "Logs";
    ASSERT_TRUE(fs::is_directory(shortLogs));
    ASSERT_EQ(std::distance(fs::directory_iterator(shortLogs), {}), 1);
    const std::string bytes = ReadBytes(fs::directory_iterator(shortLogs)->path());
    EXPECT_NE(bytes.find("\r\nExeName : \r\nFileVersion : \r\n"), std::string::npos) << bytes;
}

TEST(ExeNameTest, IsTheInternalNameWithoutItsLastFourCharacters) {
    EXPECT_EQ(ExeNameFromInternalName(u"Pelmarin.exe"), u"Pelmarin");
    EXPECT_EQ(ExeNameFromInternalName(u"a.exe"), u"a");
    EXPECT_EQ(ExeNameFromInternalName(u".exe"), u"");
    EXPECT_EQ(ExeNameFromInternalName(u"exe"), u"");
    EXPECT_EQ(ExeNameFromInternalName(u""), u"");
}

TEST_F(LogWriterTest, LogToFileWritesPlainTextIntoTheCallersFileUnderTheActiveLog) {
    const fs::path dumpHost = folder_.path() / "dump.log";
    CStdioFile dump;
    ASSERT_TRUE(dump.Open(WindowsPath(dumpHost).c_str(),
                          CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::shareDenyNone | CStdioFile::typeText));

    LogToFile(dump, LogLevel::Debug, nullptr, "without a log %d\n", 1);
    EXPECT_EQ(ReadBytes(dumpHost), "") << "no active log, nothing written";

    SetLoggingEnabled(true);
    const std::int32_t count = ActiveLog()->byteCount;
    LogToFile(dump, LogLevel::Debug, &dump, "Document dump: %S\n", u"https://a.test/\u4E2D");
    EXPECT_EQ(ReadBytes(dumpHost), "Document dump: https://a.test/?\r\n");
    EXPECT_EQ(ActiveLog()->byteCount, count) << "the log's count is not touched";

    CStdioFile closed;
    LogToFile(closed, LogLevel::Debug, nullptr, "into a closed file\n");  // must simply do nothing
}

}  // namespace

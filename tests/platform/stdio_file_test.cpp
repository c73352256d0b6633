// The framework's text file: open modes, text-mode line ends, append semantics, lengths.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "afx/file.h"
#include "paths.h"
#include "support/scoped_test_folder.h"

using testing_support::ReadBytes;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

namespace {

constexpr UINT kLogMode = CStdioFile::modeCreate | CStdioFile::modeNoTruncate | CStdioFile::modeWrite |
                          CStdioFile::shareDenyNone | CStdioFile::typeText;

std::u16string Windows(const std::string& host) {
    return FromHostPath(host);
}

TEST(StdioFile, TextModeWritesLineEndsAsCrLfAndCountsThemOnce) {
    ScopedTestFolder folder;
    const std::string path = folder / "a.log";
    CStdioFile file;
    EXPECT_FALSE(file.IsOpen());
    ASSERT_TRUE(file.Open(Windows(path).c_str(), kLogMode));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.WriteText("Starting...\n"), 12u);
    EXPECT_EQ(file.WriteText("\n\nA : B\n\n"), 9u);
    EXPECT_EQ(file.WriteText("no line end"), 11u);
    EXPECT_EQ(file.WriteText(""), 0u);
    EXPECT_EQ(file.GetLength(), 13u + 13 + 11);  // five line ends of two bytes each
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadBytes(path), "Starting...\r\n\r\n\r\nA : B\r\n\r\nno line end");
}

TEST(StdioFile, BinaryModeWritesBytesUnchanged) {
    ScopedTestFolder folder;
    const std::string path = folder / "b.bin";
    CStdioFile file;
    ASSERT_TRUE(file.Open(Windows(path).c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeBinary));
    EXPECT_EQ(file.WriteText("a\nb"), 3u);
    file.Close();
    EXPECT_EQ(ReadBytes(path), "a\nb");
}

TEST(StdioFile, NoTruncateKeepsTheContentAndAppendsEvenAfterOthersWrote) {
    ScopedTestFolder folder;
    const std::string path = folder / "shared.log";
    WriteBytes(path, "old\r\n");

    CStdioFile file;
    ASSERT_TRUE(file.Open(Windows(path).c_str(), kLogMode));
    EXPECT_EQ(file.GetLength(), 5u);
    EXPECT_EQ(file.SeekToEnd(), 5u);

    // Another writer adds to the file; our next write must still land after it.
    CStdioFile other;
    ASSERT_TRUE(other.Open(Windows(path).c_str(), kLogMode));
    other.WriteText("other\n");
    other.Flush();

    file.WriteText("mine\n");
    file.Flush();
    EXPECT_EQ(ReadBytes(path), "old\r\nother\r\nmine\r\n");
}

TEST(StdioFile, CreateWithoutNoTruncateEmptiesTheFile) {
    ScopedTestFolder folder;
    const std::string path = folder / "x.txt";
    WriteBytes(path, "previous content");
    CStdioFile file;
    ASSERT_TRUE(file.Open(Windows(path).c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(StdioFile, OpenFailuresLeaveTheFileClosed) {
    ScopedTestFolder folder;
    struct Case {
        const char* what;
        std::u16string path;
        UINT flags;
        DWORD error;
    };
    const std::vector<Case> cases = {
        {"missing file without modeCreate", Windows(folder / "missing.txt"), CStdioFile::modeRead, ERROR_FILE_NOT_FOUND},
        {"missing folder", Windows(folder / "no/such.log"), kLogMode, ERROR_PATH_NOT_FOUND},
        {"a folder", Windows(folder.path().string()), kLogMode, ERROR_ACCESS_DENIED},
        {"another drive", u"C:\\x.log", kLogMode, ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        CStdioFile file;
        SetLastError(0);
        EXPECT_FALSE(file.Open(c.path.c_str(), c.flags)) << c.what;
        EXPECT_FALSE(file.IsOpen()) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        EXPECT_EQ(file.WriteText("x\n"), 0u) << c.what;
        EXPECT_EQ(file.GetLength(), 0u) << c.what;
    }
}

TEST(StdioFile, DestructorFlushesAndCloses) {
    ScopedTestFolder folder;
    const std::string path = folder / "raii.log";
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(Windows(path).c_str(), kLogMode));
        file.WriteText("kept\n");
    }
    EXPECT_EQ(ReadBytes(path), "kept\r\n");
}

}  // namespace

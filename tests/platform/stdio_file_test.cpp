// The framework's text file: open modes, text-mode line ends, append semantics, lengths.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "afx/file.h"
#include "paths.h"
#include "platform_test_support.h"

using platform_test::ReadWholeFile;
using platform_test::TemporaryFolder;
using platform_test::WriteWholeFile;

namespace {

constexpr UINT kLogMode = CStdioFile::modeCreate | CStdioFile::modeNoTruncate | CStdioFile::modeWrite |
                          CStdioFile::shareDenyNone | CStdioFile::typeText;

std::u16string Windows(const std::string& host) {
    return FromHostPath(host);
}

TEST(StdioFile, TextModeWritesLineEndsAsCrLfAndCountsThemOnce) {
    TemporaryFolder folder;
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
    EXPECT_EQ(ReadWholeFile(path), "Starting...\r\n\r\n\r\nA : B\r\n\r\nno line end");
}

TEST(StdioFile, BinaryModeWritesBytesUnchanged) {
    TemporaryFolder folder;
    const std::string path = folder / "b.bin";
    CStdioFile file;
    ASSERT_TRUE(file.Open(Windows(path).c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeBinary));
    EXPECT_EQ(file.WriteText("a\nb"), 3u);
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "a\nb");
}

TEST(StdioFile, NoTruncateKeepsTheContentAndAppendsEvenAfterOthersWrote) {
    TemporaryFolder folder;
    const std::string path = folder / "shared.log";
    WriteWholeFile(path, "old\r\n");

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
    EXPECT_EQ(ReadWholeFile(path), "old\r\nother\r\nmine\r\n");
}

TEST(StdioFile, CreateWithoutNoTruncateEmptiesTheFile) {
    TemporaryFolder folder;
    const std::string path = folder / "x.txt";
    WriteWholeFile(path, "previous content");
    CStdioFile file;
    ASSERT_TRUE(file.Open(Windows(path).c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(StdioFile, OpenFailuresLeaveTheFileClosed) {
    TemporaryFolder folder;
    struct Case {
        const char* what;
        std::u16string path;
        UINT flags;
        DWORD error;
    };
    const std::vector<Case> cases = {
        {"missing file without modeCreate", Windows(folder / "missing.txt"), CStdioFile::modeRead, ERROR_FILE_NOT_FOUND},
        {"missing folder", Windows(folder / "no/such.log"), kLogMode, ERROR_PATH_NOT_FOUND},
        {"a folder", Windows(folder.Path().string()), kLogMode, ERROR_ACCESS_DENIED},
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
    TemporaryFolder folder;
    const std::string path = folder / "raii.log";
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(Windows(path).c_str(), kLogMode));
        file.WriteText("kept\n");
    }
    EXPECT_EQ(ReadWholeFile(path), "kept\r\n");
}

}  // namespace

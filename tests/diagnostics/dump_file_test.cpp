// The document dump's file and main-log lines, its fixed texts where the browser gives
// nothing, and its indexes; against document doubles.
#include <gtest/gtest.h>

#include <chrono>

#include "diagnostics/html_dump.h"
#include "dump_fake_document.h"
#include "dump_main_window.h"

namespace {

using diagnostics_test::DiagnosticsFolders;
using diagnostics_test::FakeDocument;
using diagnostics_test::FakeElement;
using diagnostics_test::FileLines;

constexpr std::int64_t kSecond = 1625061785;
std::int64_t FixedClock() { return kSecond; }

TEST(NextDumpIndex, IsTheTimeUnlessThatWouldNotIncrease) {
    const struct {
        std::int64_t now, last, next;
    } cases[] = {
        {kSecond, 0, kSecond},
        {kSecond, kSecond - 1, kSecond},
        {kSecond, kSecond, kSecond + 1},
        {kSecond, kSecond + 5, kSecond + 6},  // the clock went back
        {0, 0, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextDumpIndex(c.now, c.last), c.next) << "now " << c.now << ", last " << c.last;
}

class DumpFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDumpClock(&FixedClock);
        body.innerHtml = u"<p>hello</p>";
        document.body = &body;
        document.documentMode.vt = VT_R4;
        document.documentMode.fltVal = 11.0f;
        doctype.innerText = u"<!DOCTYPE html>";
        document.doctype = &doctype;
    }
    // The lines of the one dump the test made.
    std::vector<std::string> OnlyDump() const {
        const auto dumps = folders.DumpFiles();
        if (dumps.size() != 1) {
            ADD_FAILURE() << dumps.size() << " dump files";
            return {};
        }
        return FileLines(dumps.begin()->second);
    }

    DiagnosticsFolders folders;
    FakeElement body, doctype;
    FakeDocument document;
};

TEST_F(DumpFileTest, WritesEveryPartInOrderAndTwoDebugLines) {
    SetLoggingEnabled(true);
    DumpHtmlDocument(&document);

    EXPECT_EQ(LastDumpIndex(), kSecond);
    const auto dumps = folders.DumpFiles();
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(dumps.begin()->first, kSecond);
    EXPECT_EQ(OnlyDump(), (std::vector<std::string>{"Document dump: https://fake.example/page",
                                                    "Compatibility mode: CSS1Compat",
                                                    "Document type: <!DOCTYPE html>", "Document mode: 11.000000",
                                                    "Body text:", "<p>hello</p>"}));
    // Text mode: every line ends in CR LF, the last one too.
    EXPECT_TRUE(testing_support::ReadBytes(dumps.begin()->second).ends_with("</p>\r\n"));

    const std::string object = crt_format("%p", static_cast<void*>(static_cast<IHTMLDocument2*>(&document)));
    const std::vector<std::string> summary = folders.LogLinesWith("\tDebug:\t");
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_NE(summary[0].find("\tDebug:\t" + object + "\tDumping new HTML document out to a separate file, index 1625061785: "
                              "https://fake.example/page"),
              std::string::npos)
        << summary[0];
    EXPECT_NE(summary[1].find("\tCompatibility mode: CSS1Compat, Document type: <!DOCTYPE html>, Document mode: 11.000000"),
              std::string::npos)
        << summary[1];
    EXPECT_EQ(document.refs, 1u);
    EXPECT_EQ(body.refs, 1u);
    EXPECT_EQ(doctype.refs, 1u);
}

TEST_F(DumpFileTest, WhatTheBrowserCannotGiveHasItsFixedText) {
    struct Case {
        const char* name;
        void (*change)(FakeDocument&, FakeElement& doctype, FakeElement& body);
        std::vector<std::string> file;
        std::string summary;
    };
    const Case cases[] = {
        {"no compatibility mode",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.compatMode.reset(); },
         {"Compatibility mode: Unknown", "Document type: <!DOCTYPE html>", "Document mode: 11.000000", "Body text:",
          "<p>hello</p>"},
         "Compatibility mode: Unknown, Document type: <!DOCTYPE html>, Document mode: 11.000000"},
        {"no fifth document interface",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.offers5 = false; },
         {"Compatibility mode: Unknown", "Document mode: 11.000000", "Body text:", "<p>hello</p>"},
         "Compatibility mode: Unknown, Document type: none, Document mode: 11.000000"},
        {"no document type",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.doctype = nullptr; },
         {"Compatibility mode: CSS1Compat", "Document mode: 11.000000", "Body text:", "<p>hello</p>"},
         "Compatibility mode: CSS1Compat, Document type: none, Document mode: 11.000000"},
        {"a document type node that is no element",
         [](FakeDocument&, FakeElement& t, FakeElement&) { t.offersElement = false; },
         {"Compatibility mode: CSS1Compat", "Document type: Failed", "Document mode: 11.000000", "Body text:",
          "<p>hello</p>"},
         "Compatibility mode: CSS1Compat, Document type: Failed, Document mode: 11.000000"},
        {"a document type whose text cannot be read",
         [](FakeDocument&, FakeElement& t, FakeElement&) { t.innerText.reset(); },
         {"Compatibility mode: CSS1Compat", "Document type: Failed", "Document mode: 11.000000", "Body text:",
          "<p>hello</p>"},
         "Compatibility mode: CSS1Compat, Document type: Failed, Document mode: 11.000000"},
        {"no sixth document interface",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.offers6 = false; },
         {"Compatibility mode: CSS1Compat", "Document type: <!DOCTYPE html>", "Document mode: -1.000000", "Body text:",
          "<p>hello</p>"},
         "Compatibility mode: CSS1Compat, Document type: <!DOCTYPE html>, Document mode: -1.000000"},
        {"a document mode that cannot be read",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.documentMode.vt = VT_EMPTY; },
         {"Compatibility mode: CSS1Compat", "Document type: <!DOCTYPE html>", "Document mode: -1.000000", "Body text:",
          "<p>hello</p>"},
         "Compatibility mode: CSS1Compat, Document type: <!DOCTYPE html>, Document mode: -1.000000"},
        {"a document mode that is not a number",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.documentMode.vt = VT_BOOL; },
         {"Compatibility mode: CSS1Compat", "Document type: <!DOCTYPE html>", "Document mode: -1.000000", "Body text:",
          "<p>hello</p>"},
         "Compatibility mode: CSS1Compat, Document type: <!DOCTYPE html>, Document mode: -1.000000"},
        {"a fractional document mode",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.documentMode.fltVal = 7.5f; },
         {"Compatibility mode: CSS1Compat", "Document type: <!DOCTYPE html>", "Document mode: 7.500000", "Body text:",
          "<p>hello</p>"},
         "Compatibility mode: CSS1Compat, Document type: <!DOCTYPE html>, Document mode: 7.500000"},
        {"a body whose HTML cannot be read",
         [](FakeDocument&, FakeElement&, FakeElement& b) { b.innerHtml.reset(); },
         {"Compatibility mode: CSS1Compat", "Document type: <!DOCTYPE html>", "Document mode: 11.000000", "Body text:",
          ""},
         "Compatibility mode: CSS1Compat, Document type: <!DOCTYPE html>, Document mode: 11.000000"},
        {"no body",
         [](FakeDocument& d, FakeElement&, FakeElement&) { d.body = nullptr; },
         {"Compatibility mode: CSS1Compat", "Document type: <!DOCTYPE html>", "Document mode: 11.000000"},
         "Compatibility mode: CSS1Compat, Document type: <!DOCTYPE html>, Document mode: 11.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiagnosticsFolders own;  // a new process: folders, logging and index of its own
        SetDumpClock(&FixedClock);
        FakeElement caseBody, caseDoctype;
        caseBody.innerHtml = u"<p>hello</p>";
        caseDoctype.innerText = u"<!DOCTYPE html>";
        FakeDocument caseDocument;
        caseDocument.body = &caseBody;
        caseDocument.doctype = &caseDoctype;
        caseDocument.documentMode.vt = VT_R4;
        caseDocument.documentMode.fltVal = 11.0f;
        c.change(caseDocument, caseDoctype, caseBody);
        SetLoggingEnabled(true);

        DumpHtmlDocument(&caseDocument);

        const auto dumps = own.DumpFiles();
        ASSERT_EQ(dumps.size(), 1u);
        std::vector<std::string> expected{"Document dump: https://fake.example/page"};
        expected.insert(expected.end(), c.file.begin(), c.file.end());
        EXPECT_EQ(FileLines(dumps.begin()->second), expected);
        const std::vector<std::string> summary = own.LogMessages("Compatibility mode: ");
        EXPECT_EQ(summary, std::vector<std::string>{c.summary});
    }
}

TEST_F(DumpFileTest, WithLoggingOffNothingIsWrittenAndTheIndexStays) {
    DumpHtmlDocument(&document);
    EXPECT_EQ(LastDumpIndex(), 0);
    EXPECT_FALSE(std::filesystem::exists(folders.logs()));
}

TEST_F(DumpFileTest, ThreeDumpsInOneSecondGetThreeConsecutiveIndexesAndFiles) {
    SetLoggingEnabled(true);
    for (int i = 0; i < 3; ++i) DumpHtmlDocument(&document);
    const auto dumps = folders.DumpFiles();
    std::vector<std::int64_t> indexes;
    for (const auto& [index, file] : dumps) {
        indexes.push_back(index);
        EXPECT_EQ(FileLines(file).size(), 6u) << file;
    }
    EXPECT_EQ(indexes, (std::vector<std::int64_t>{kSecond, kSecond + 1, kSecond + 2}));
    EXPECT_EQ(LastDumpIndex(), kSecond + 2);
    EXPECT_EQ(folders.LogMessages("Dumping new HTML document"),
              (std::vector<std::string>{
                  "Dumping new HTML document out to a separate file, index 1625061785: https://fake.example/page",
                  "Dumping new HTML document out to a separate file, index 1625061786: https://fake.example/page",
                  "Dumping new HTML document out to a separate file, index 1625061787: https://fake.example/page"}));
}

TEST_F(DumpFileTest, OnTheSystemClockIndexesAreTheSecondsAndStillIncrease) {
    SetDumpClock(nullptr);
    SetLoggingEnabled(true);
    // The system clock itself: the runtime's time() reads a coarser clock that can lag a second.
    const auto seconds = [] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const std::int64_t before = seconds();
    for (int i = 0; i < 3; ++i) DumpHtmlDocument(&document);
    const std::int64_t after = seconds();
    const auto dumps = folders.DumpFiles();
    ASSERT_EQ(dumps.size(), 3u);
    EXPECT_GE(dumps.begin()->first, before);
    EXPECT_LE(dumps.begin()->first, after);
    EXPECT_EQ(dumps.rbegin()->first, LastDumpIndex());
}

TEST_F(DumpFileTest, AnExistingFileOfTheSameIndexIsReplaced) {
    std::filesystem::create_directories(folders.logs());
    const auto stale = folders.logs() / ("HTML_Document_" + std::to_string(kSecond) + ".log");
    testing_support::WriteBytes(stale, std::string(10000, 'x'));
    SetLoggingEnabled(true);
    DumpHtmlDocument(&document);
    EXPECT_EQ(FileLines(stale).front(), "Document dump: https://fake.example/page");
    EXPECT_EQ(FileLines(stale).size(), 6u);
}

TEST_F(DumpFileTest, ABodyLongerThanTheLimitIsCutWithALineThatSaysSo) {
    constexpr std::size_t limit = kMaxDumpedTextCharacters;
    const std::u16string pair = u"\U0001F600";  // two UTF-16 units, written "??"
    struct Case {
        const char* name;
        std::u16string body;
        std::string written;  // the body's line in the file
        std::string cut;      // the line after it, empty when the body is whole
    };
    const Case cases[] = {
        {"exactly the limit", std::u16string(limit, u'a'), std::string(limit, 'a'), ""},
        {"one more", std::u16string(limit, u'a') + u"b", std::string(limit, 'a'),
         "Body text cut after 8388608 of 8388609 characters"},
        {"a pair across the limit", std::u16string(limit - 1, u'a') + pair + u"b", std::string(limit - 1, 'a'),
         "Body text cut after 8388607 of 8388610 characters"},
        {"a pair ending at the limit", std::u16string(limit - 2, u'a') + pair + u"b",
         std::string(limit - 2, 'a') + "??", "Body text cut after 8388608 of 8388609 characters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiagnosticsFolders own;
        SetDumpClock(&FixedClock);
        FakeElement caseBody;
        caseBody.innerHtml = c.body;
        FakeDocument caseDocument;
        caseDocument.body = &caseBody;
        SetLoggingEnabled(true);

        DumpHtmlDocument(&caseDocument);

        const auto dumps = own.DumpFiles();
        ASSERT_EQ(dumps.size(), 1u);
        std::vector<std::string> lines = FileLines(dumps.begin()->second);
        std::vector<std::string> tail{"Body text:", c.written};
        if (!c.cut.empty()) tail.push_back(c.cut);
        ASSERT_GE(lines.size(), tail.size());
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(tail.size()));
        // Compared by size first: a failure should not print sixteen megabytes.
        ASSERT_EQ(lines[1].size(), c.written.size());
        EXPECT_TRUE(lines == tail) << lines.back();
    }
}

TEST_F(DumpFileTest, TextBeyondEightBitsFollowsTheLogRule) {
    body.innerHtml = u"caf\u00e9 \u263a \U0001F600 end";
    document.url = u"https://fake.example/\u00fc\u4e2d";
    SetLoggingEnabled(true);
    DumpHtmlDocument(&document);
    const std::vector<std::string> lines = OnlyDump();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Document dump: https://fake.example/\xfc?");
    // A character outside the basic plane is two UTF-16 units, each one a '?'.
    EXPECT_EQ(lines[5], "caf\xe9 ? ?? end");
}

}  // namespace

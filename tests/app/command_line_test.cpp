// The program's switches, from the process arguments through the framework's walk.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "afx/app.h"
#include "app/command_line.h"
#include "crt/crt.h"

namespace {

struct Parsed {
    std::optional<std::u16string> startUrl;
    bool fullScreen = false;
    bool enableLogging = false;
    bool registerSystemWide = false;
    int urlExpected = 0;
    std::u16string baseFileName;  // what reached the framework's parser as a plain argument
    int baseUnknownSwitches = 0;  // switches that reached the framework's parser

    friend bool operator==(const Parsed&, const Parsed&) = default;
};

std::string Describe(const Parsed& p) {
    return "startUrl=" + (p.startUrl ? "\"" + text::ToUtf8(*p.startUrl) + "\"" : std::string("null")) +
           " fullScreen=" + std::to_string(p.fullScreen) + " logs=" + std::to_string(p.enableLogging) +
           " commit=" + std::to_string(p.registerSystemWide) + " urlExpected=" + std::to_string(p.urlExpected) +
           " base file=\"" + text::ToUtf8(p.baseFileName) + "\" base switches=" + std::to_string(p.baseUnknownSwitches);
}

// Parses a command line (without the program path) as start-up does.
Parsed Parse(const std::vector<std::string>& arguments) {
    std::vector<std::string> storage = {"/opt/pelmarin/Pelmarin"};
    storage.insert(storage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : storage) argv.push_back(argument.data());
    argv.push_back(nullptr);
    AfxSetArguments(static_cast<int>(storage.size()), argv.data());

    CWinApp app;
    CCmdLineParams params;
    app.ParseCommandLine(params);

    Parsed parsed;
    if (params.startUrl != nullptr) parsed.startUrl = std::u16string(params.startUrl);
    parsed.fullScreen = params.fullScreen;
    parsed.enableLogging = params.enableLogging;
    parsed.registerSystemWide = params.registerSystemWide;
    parsed.urlExpected = params.urlExpected;
    parsed.baseFileName = params.m_strFileName;
    parsed.baseUnknownSwitches = params.m_nUnknownSwitches;
    return parsed;
}

struct CommandLineCase {
    const char* what;
    std::vector<std::string> arguments;
    Parsed expected;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.what; }

Parsed Url(const char16_t* url, int urlExpected = 1) {
    Parsed p;
    p.startUrl = url;
    p.urlExpected = urlExpected;
    return p;
}

Parsed With(Parsed p, void (*change)(Parsed&)) {
    change(p);
    return p;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, SetsTheSwitchFields) {
    const CommandLineCase& c = GetParam();
    EXPECT_EQ(Describe(Parse(c.arguments)), Describe(c.expected)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"no arguments", {}, Parsed{}},
        CommandLineCase{"/URL as the last argument takes no address", {"/URL"}, With({}, [](Parsed& p) { p.urlExpected = 1; })},
        CommandLineCase{"/URL a", {"/URL", "https://a.test/"}, Url(u"https://a.test/")},
        CommandLineCase{"/URL a b: the last one wins", {"/URL", "a", "b"}, Url(u"b")},
        CommandLineCase{"/URL a /k b", {"/URL", "a", "/k", "b"},
                        With(Url(u"b"), [](Parsed& p) { p.fullScreen = true; })},
        CommandLineCase{"/URL a /x b: an unknown switch ends the address state", {"/URL", "a", "/x", "b"},
                        With(Url(u"a", 0), [](Parsed& p) {
                            p.baseFileName = u"b";
                            p.baseUnknownSwitches = 1;
                        })},
        CommandLineCase{"a /URL: a goes to the framework", {"a", "/URL"},
                        With({}, [](Parsed& p) {
                            p.baseFileName = u"a";
                            p.urlExpected = 1;
                        })},
        CommandLineCase{"-url", {"-url", "x"}, Url(u"x")},
        CommandLineCase{"/Url", {"/Url", "x"}, Url(u"x")},
        CommandLineCase{"/K", {"/K"}, With({}, [](Parsed& p) { p.fullScreen = true; })},
        CommandLineCase{"/LOGS and -logs", {"/LOGS", "-logs"}, With({}, [](Parsed& p) { p.enableLogging = true; })},
        CommandLineCase{"/COMMIT and /commit", {"/COMMIT", "/commit"},
                        With({}, [](Parsed& p) { p.registerSystemWide = true; })},
        CommandLineCase{"/URL=x is no URL switch", {"/URL=x"}, With({}, [](Parsed& p) { p.baseUnknownSwitches = 1; })},
        CommandLineCase{"/URL:x is no URL switch", {"/URL:x"}, With({}, [](Parsed& p) { p.baseUnknownSwitches = 1; })},
        CommandLineCase{"/URL=x ends an earlier URL state", {"/URL", "/URL=x", "b"},
                        With({}, [](Parsed& p) {
                            p.baseFileName = u"b";
                            p.baseUnknownSwitches = 1;
                        })},
        CommandLineCase{"/kiosk and /log are unknown, no prefix matching", {"/kiosk", "/log"},
                        With({}, [](Parsed& p) { p.baseUnknownSwitches = 2; })},
        CommandLineCase{"an address starting with a slash is a switch", {"/URL", "/path"},
                        With({}, [](Parsed& p) { p.baseUnknownSwitches = 1; })},
        CommandLineCase{"/URL followed by an empty argument gives an empty, non-null address", {"/URL", ""},
                        Url(u"")},
        CommandLineCase{"repeated switches act once", {"/k", "/k", "/logs", "/logs", "/URL", "/URL", "u"},
                        With(Url(u"u"), [](Parsed& p) {
                            p.fullScreen = true;
                            p.enableLogging = true;
                        })},
        CommandLineCase{"a recognised switch keeps the URL state", {"/URL", "/logs", "/commit", "u"},
                        With(Url(u"u"), [](Parsed& p) {
                            p.enableLogging = true;
                            p.registerSystemWide = true;
                        })},
        CommandLineCase{"a lone slash is an unknown, empty switch", {"/URL", "/", "u"},
                        With({}, [](Parsed& p) {
                            p.baseFileName = u"u";
                            p.baseUnknownSwitches = 1;
                        })},
        CommandLineCase{"only the first character is a switch mark", {"//URL", "u"},
                        With({}, [](Parsed& p) {
                            p.baseFileName = u"u";
                            p.baseUnknownSwitches = 1;
                        })},
        CommandLineCase{"case folding is A-Z only", {"/\xC3\x9CRL", "u"},
                        With({}, [](Parsed& p) {
                            p.baseFileName = u"u";
                            p.baseUnknownSwitches = 1;
                        })},
        CommandLineCase{"text beyond ASCII reaches the address unchanged", {"/URL", "https://b\xC3\xBC.test/\xE4\xB8\xAD"},
                        Url(u"https://b\u00FC.test/\u4E2D")}));

TEST(CommandLineTest, TheStartAddressPointsIntoTheProcessArguments) {
    std::vector<std::string> storage = {"prog", "/URL", "https://a.test/"};
    std::vector<char*> argv;
    for (std::string& argument : storage) argv.push_back(argument.data());
    AfxSetArguments(static_cast<int>(argv.size()), argv.data());
    CWinApp app;
    CCmdLineParams params;
    app.ParseCommandLine(params);
    EXPECT_EQ(params.startUrl, AfxGetArgv()[2]);
}

// What the framework's parser is handed: flags without their mark, and isLast for the last only.
TEST(CommandLineWalkTest, HandsEachArgumentAfterTheProgramPathToParseParam) {
    struct Recorder : CCommandLineInfo {
        void ParseParam(const WCHAR* param, BOOL isFlag, BOOL isLast) override {
            calls.push_back(text::ToUtf8(param) + (isFlag ? " flag" : "") + (isLast ? " last" : ""));
        }
        std::vector<std::string> calls;
    };
    std::vector<std::string> storage = {"prog", "-a", "/b", "c", "", "-"};
    std::vector<char*> argv;
    for (std::string& argument : storage) argv.push_back(argument.data());
    AfxSetArguments(static_cast<int>(argv.size()), argv.data());
    CWinApp app;
    Recorder recorder;
    app.ParseCommandLine(recorder);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"a flag", "b flag", "c", "", " flag last"}));
}

TEST(CommandLineWalkTest, TheRestartSwitchReachesTheFrameworkAndNothingElse) {
    CCmdLineParams params;
    params.ParseParam(u"RestartByRestartManager:0A1B2C", TRUE, TRUE);
    EXPECT_TRUE(params.m_bRestart);
    EXPECT_EQ(params.m_nUnknownSwitches, 0);
    EXPECT_EQ(params.startUrl, nullptr);
    EXPECT_FALSE(params.fullScreen || params.enableLogging || params.registerSystemWide);
}

}  // namespace

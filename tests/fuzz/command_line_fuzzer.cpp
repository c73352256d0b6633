// The command line: the framework's walk over the process arguments and the program's
// switch parser on top of it, checked against a model of the rules they follow.
//
// Input: the arguments after the program path, as the host hands them over (UTF-8 bytes),
// separated by NUL bytes.
//
// The process's argument vector is this target's own. The platform's store keeps every
// vector it is given for the life of the process (parsers point into them), which millions
// of inputs would exhaust; here each input replaces the last one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "afx/app.h"
#include "app/command_line.h"
#include "crt/crt.h"
#include "fuzz_check.h"

namespace {

std::vector<std::u16string> argumentTexts;
std::vector<const WCHAR*> argumentPointers;

void SetArguments(const std::vector<std::string>& hostArguments) {
    argumentTexts.clear();
    for (const std::string& argument : hostArguments) argumentTexts.push_back(text::FromUtf8(argument));
    argumentPointers.clear();
    for (const std::u16string& argument : argumentTexts) argumentPointers.push_back(argument.c_str());
    argumentPointers.push_back(nullptr);
}

}  // namespace

int AfxGetArgc() { return static_cast<int>(argumentTexts.size()); }
const WCHAR* const* AfxGetArgv() { return argumentPointers.data(); }
void AfxSetArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; argv != nullptr && i < argc && argv[i] != nullptr; ++i) arguments.emplace_back(argv[i]);
    SetArguments(arguments);
}

namespace {

// Records what the walk hands over, then parses as the program does.
class RecordingParams : public CCmdLineParams {
public:
    struct Call {
        const WCHAR* param;
        bool isFlag;
        bool isLast;
    };
    void ParseParam(const WCHAR* param, BOOL isFlag, BOOL isLast) override {
        calls.push_back(Call{param, isFlag != FALSE, isLast != FALSE});
        CCmdLineParams::ParseParam(param, isFlag, isLast);
    }
    std::vector<Call> calls;
};

char16_t FoldAZ(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool SameIgnoringAZ(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAZ(a[i]) != FoldAZ(b[i])) return false;
    }
    return true;
}

// What the switches and the base parser must have made of the arguments.
struct Expected {
    std::optional<std::size_t> startUrlArgument;  // index into the argument vector
    int urlExpected = 0;
    bool enableLogging = false;
    bool fullScreen = false;
    bool registerSystemWide = false;
    std::u16string baseFileName;
    bool baseRestart = false;
    int baseUnknownSwitches = 0;
};

Expected Model(const std::vector<std::u16string>& arguments) {
    constexpr std::u16string_view kRestart = u"RestartByRestartManager";
    Expected expected;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::u16string_view argument = arguments[i];
        const bool isFlag = !argument.empty() && (argument[0] == u'/' || argument[0] == u'-');
        if (isFlag) {
            const std::u16string_view name = argument.substr(1);
            if (SameIgnoringAZ(name, u"URL")) {
                expected.urlExpected = 1;
            } else if (SameIgnoringAZ(name, u"k")) {
                expected.fullScreen = true;
            } else if (SameIgnoringAZ(name, u"logs")) {
                expected.enableLogging = true;
            } else if (SameIgnoringAZ(name, u"commit")) {
                expected.registerSystemWide = true;
            } else {
                expected.urlExpected = 0;
                const bool restart = name.size() >= kRestart.size() &&
                                     SameIgnoringAZ(name.substr(0, kRestart.size()), kRestart) &&
                                     (name.size() == kRestart.size() || name[kRestart.size()] == u':');
                if (restart) {
                    expected.baseRestart = true;
                } else {
                    ++expected.baseUnknownSwitches;
                }
            }
        } else if (expected.urlExpected == 1) {
            expected.startUrlArgument = i;
        } else if (expected.baseFileName.empty()) {
            expected.baseFileName = std::u16string(argument);
        }
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> hostArguments{"Pelmarin"};
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (!input.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = input.find('\0', start);
            hostArguments.emplace_back(input.substr(start, end == std::string_view::npos ? end : end - start));
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
    }
    SetArguments(hostArguments);

    RecordingParams params;
    CWinApp* const app = AfxGetApp();
    FUZZ_CHECK(app != nullptr);
    app->ParseCommandLine(params);

    // One call per argument after the program path, in order, pointing into the vector itself:
    // the start address is kept as a pointer, so a copy would dangle.
    const std::size_t count = argumentTexts.size();
    FUZZ_CHECK(params.calls.size() == count - 1);
    for (std::size_t i = 1; i < count; ++i) {
        const RecordingParams::Call& call = params.calls[i - 1];
        const std::u16string& argument = argumentTexts[i];
        const bool isFlag = !argument.empty() && (argument[0] == u'/' || argument[0] == u'-');
        FUZZ_CHECK(call.isFlag == isFlag);
        FUZZ_CHECK(call.param == argument.c_str() + (isFlag ? 1 : 0));
        FUZZ_CHECK(call.isLast == (i + 1 == count));
    }

    const Expected expected = Model(argumentTexts);
    FUZZ_CHECK(params.urlExpected == expected.urlExpected);
    FUZZ_CHECK(params.enableLogging == expected.enableLogging);
    FUZZ_CHECK(params.fullScreen == expected.fullScreen);
    FUZZ_CHECK(params.registerSystemWide == expected.registerSystemWide);
    if (expected.startUrlArgument) {
        FUZZ_CHECK(params.startUrl == argumentTexts[*expected.startUrlArgument].c_str());
    } else {
        FUZZ_CHECK(params.startUrl == nullptr);
    }
    FUZZ_CHECK(params.m_strFileName == expected.baseFileName);
    FUZZ_CHECK(params.m_bRestart == expected.baseRestart);
    FUZZ_CHECK(params.m_nUnknownSwitches == expected.baseUnknownSwitches);
    return 0;
}

namespace {
// The application object whose ParseCommandLine start-up calls.
CWinApp fuzzApplication(u"Pelmarin");
}  // namespace

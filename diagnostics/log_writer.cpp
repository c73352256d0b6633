#include "diagnostics/log_writer.h"

#include <algorithm>
#include <memory>

#include "crt/crt.h"
#include "diagnostics/log_folder.h"

namespace {

bool loggingEnabled = false;
std::unique_ptr<CLogWriter> activeLog;

constexpr int kTimeBufferSize = 32;

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~CriticalSectionLock() { LeaveCriticalSection(&section_); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

std::u16string FormatNow(bool date, DWORD flags, LPCWSTR picture) {
    char16_t buffer[kTimeBufferSize] = {};
    const int written = date ? GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, nullptr, picture, buffer,
                                               kTimeBufferSize, nullptr)
                             : GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, flags, nullptr, picture, buffer,
                                               kTimeBufferSize);
    if (written <= 0) return {};
    return std::u16string(buffer, std::u16string_view(buffer, kTimeBufferSize).find(u'\0'));
}

void AddTo(std::int32_t& count, std::size_t written) {
    const std::int64_t sum = static_cast<std::int64_t>(count) + static_cast<std::int64_t>(written);
    count = static_cast<std::int32_t>(std::min<std::int64_t>(sum, INT32_MAX));
}

}  // namespace

CLogWriter::CLogWriter() { InitializeCriticalSection(&lock); }

CLogWriter::~CLogWriter() {
    file.Close();
    DeleteCriticalSection(&lock);
}

void CLogWriter::OpenLogFile() {
    if (file.IsOpen()) return;
    const std::u16string folder = GetLogFolder();
    if (folder.empty()) return;

    const std::u16string stamp = FormatNow(true, 0, u"yyyy-MM-dd") + u"_" + FormatNow(false, 0, u"HHmmss");
    for (int counter = 0; counter < kMaxNamesPerSecond; ++counter) {
        std::u16string name = folder + u"\\" + stamp;
        if (counter > 0) {
            const std::string digits = std::to_string(counter);
            name += u"_" + std::u16string(digits.begin(), digits.end());
        }
        name += u"-Browser.log";
        if (!file.Open(name.c_str(), CStdioFile::modeCreate | CStdioFile::modeNoTruncate | CStdioFile::modeWrite |
                                         CStdioFile::shareDenyNone | CStdioFile::typeText)) {
            return;
        }
        const std::uint64_t length = file.GetLength();
        if (length > static_cast<std::uint64_t>(kRolloverLimit)) {
            file.Close();  // already full: never write into it again
            continue;
        }
        byteCount = static_cast<std::int32_t>(length);
        file.SeekToEnd();
        path = std::move(name);

        const AppVersionStrings& versions = AppVersionInfo();
        LogMessage(LogLevel::Info, this,
                   "\n\nCompanyName : %S\nExeName : %S\nFileVersion : %S\nProductVersion : %S\nAuxInfo : %S\n\n",
                   versions.companyName.c_str(), versions.exeName.c_str(), versions.fileVersion.c_str(),
                   versions.productVersion.c_str(), versions.auxInfo.c_str());
        return;
    }
}

void CLogWriter::Write(int level, const void* object, const char* format, va_list args) {
    CriticalSectionLock guard(lock);
    if (!file.IsOpen()) return;
    const LogLine line = FormatLogLine(FormatNow(false, TIME_FORCE24HOURFORMAT, nullptr), level, object, format, args);
    AddTo(byteCount, file.WriteText(line.prefix));
    AddTo(byteCount, file.WriteText(line.text));
    file.Flush();
    if (byteCount > kRolloverLimit) {
        // The message that crossed the limit stays at the end of the old file.
        file.Close();
        path.clear();
        OpenLogFile();
    }
}

void LogMessage(int level, const void* object, const char* format, ...) {
    if (!loggingEnabled) return;
    if (!activeLog) {
        // The writer is the active log before its file opens: the header is a nested message.
        activeLog = std::make_unique<CLogWriter>();
        activeLog->OpenLogFile();
    }
    CLogWriter* writer = activeLog.get();
    if (writer == nullptr || !writer->file.IsOpen() || level < writer->minimumLevel) return;
    va_list args;
    va_start(args, format);
    writer->Write(level, object, format, args);
    va_end(args);
}

void LogToFile(CStdioFile& file, int level, const void* object, const char* format, ...) {
    CLogWriter* writer = activeLog.get();
    if (writer == nullptr || !file.IsOpen() || level < writer->minimumLevel || format == nullptr) return;
    CriticalSectionLock guard(writer->lock);
    va_list args;
    va_start(args, format);
    const std::string text = crt_vformat(format, args);
    va_end(args);
    file.WriteText(text);
    file.Flush();
}

void SetLoggingEnabled(bool on) {
    if (on == loggingEnabled) return;
    if (on) {
        loggingEnabled = true;
        LogMessage(LogLevel::Info, nullptr, "Starting...\n");
    } else {
        loggingEnabled = false;
        DestroyActiveLog();
    }
}

bool IsLoggingEnabled() { return loggingEnabled; }

void DestroyActiveLog() { activeLog.reset(); }

CLogWriter* ActiveLog() { return activeLog.get(); }

// The diagnostic log: dated text files in the log folder, one line per message, written only
// while logging is on. Every message is flushed before LogMessage returns; a file is replaced
// by a new one once more than 1 MiB has been written to it.
//
// File names are "<yyyy-MM-dd>_<HHmmss>-Browser.log". A file whose length is already past the
// limit is never opened again (within the same second the rollover would otherwise land in
// the full file and roll over again at once); the next name "<yyyy-MM-dd>_<HHmmss>_<n>-Browser.log"
// is tried instead, n counting from 1.
#pragma once

#include <cstdint>
#include <string>

#include "afx/file.h"
#include "diagnostics/log_format.h"
#include "win32/api.h"

// The writer of the active log file. At most one exists (the active log).
class CLogWriter {
public:
    static constexpr std::int32_t kRolloverLimit = 1048576;
    static constexpr int kMaxNamesPerSecond = 1000;

    CLogWriter();
    ~CLogWriter();
    CLogWriter(const CLogWriter&) = delete;
    CLogWriter& operator=(const CLogWriter&) = delete;

    // Opens a log file when none is open; the header is its first message.
    void OpenLogFile();
    // Writes one message (prefix, text), flushes, and rolls over past the limit.
    void Write(int level, const void* object, const char* format, va_list args);

    int minimumLevel = LogLevel::Debug;  // messages below it are dropped
    CStdioFile file;                     // closed when no file could be opened
    // The file's length when it was opened, plus the characters written since (a line end
    // counts one, though it reaches the disk as two bytes).
    std::int32_t byteCount = 0;
    CRITICAL_SECTION lock{};  // recursive: the header of a rollover is written from inside a message
    std::u16string path;      // the open file's name, for diagnostics
};

// Writes one message while logging is on; the first one creates the writer and its file.
// format is a narrow printf format (wide strings with %S) that ends with its own "\n".
void LogMessage(int level, const void* object, const char* format, ...);

// Writes the formatted text into a file the caller owns (a document dump), under the active
// log's lock. Nothing happens without an active log, for a closed file, or below its level.
void LogToFile(CStdioFile& file, int level, const void* object, const char* format, ...);

// On: "Starting..." is logged at once, which makes the file with its header. Off: the writer
// and its file are closed.
void SetLoggingEnabled(bool on);
bool IsLoggingEnabled();

// Closes the active log, if any, leaving the logging switch as it is (application end).
void DestroyActiveLog();

// The active writer, or null.
CLogWriter* ActiveLog();

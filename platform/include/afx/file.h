// The framework's buffered text file: a C-runtime stream over an operating-system file.
// Paths are Windows-style and mapped to the host; the destructor closes the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "afx/app.h"

class CStdioFile : public CObject {
public:
    // The framework's open flags.
    static constexpr UINT modeRead = 0x0000;
    static constexpr UINT modeWrite = 0x0001;
    static constexpr UINT modeReadWrite = 0x0002;
    static constexpr UINT shareCompat = 0x0000;
    static constexpr UINT shareExclusive = 0x0010;
    static constexpr UINT shareDenyWrite = 0x0020;
    static constexpr UINT shareDenyRead = 0x0030;
    static constexpr UINT shareDenyNone = 0x0040;
    static constexpr UINT modeNoInherit = 0x0080;
    static constexpr UINT modeCreate = 0x1000;
    static constexpr UINT modeNoTruncate = 0x2000;
    static constexpr UINT typeText = 0x4000;
    static constexpr UINT typeBinary = 0x8000;

    CStdioFile() = default;
    ~CStdioFile() override;
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // modeCreate makes a missing file and, without modeNoTruncate, empties an existing one.
    // A file opened for writing with modeCreate | modeNoTruncate is in append mode (the
    // runtime's "a"): every write lands at the end, even when another process wrote there
    // in between. Text mode (the default, unless typeBinary) writes each "\n" as "\r\n".
    // The share flags are accepted; the host has no share modes. On failure the file stays
    // closed and GetLastError tells why.
    BOOL Open(LPCWSTR path, UINT flags);
    void Close();
    bool IsOpen() const { return m_pStream != nullptr; }

    // The file's length in bytes (pending output included), or 0 when closed.
    std::uint64_t GetLength();
    // Moves to the end and returns the new position.
    std::uint64_t SeekToEnd();
    void Flush();

    // Writes the text and returns the number of its characters written; in text mode a line
    // end counts as one character although two bytes reach the file.
    std::size_t WriteText(std::string_view text);

    std::FILE* m_pStream = nullptr;

private:
    bool textMode_ = true;
};

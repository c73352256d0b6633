#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "afx/file.h"
#include "files_errors.h"
#include "paths.h"

CStdioFile::~CStdioFile() {
    Close();
}

BOOL CStdioFile::Open(LPCWSTR path, UINT flags) {
    Close();
    const auto hostPath = path ? ToHostPath(path) : std::nullopt;
    if (!hostPath) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }

    const UINT access = flags & 0x3;
    const bool writable = access == modeWrite || access == modeReadWrite;
    const bool create = (flags & modeCreate) != 0;
    const bool truncate = create && (flags & modeNoTruncate) == 0;
    const bool append = writable && create && (flags & modeNoTruncate) != 0;

    int openFlags = O_CLOEXEC;
    const char* streamMode = "r";
    if (access == modeReadWrite) {
        openFlags |= O_RDWR;
        streamMode = append ? "a+" : "r+";
    } else if (access == modeWrite) {
        openFlags |= O_WRONLY;
        streamMode = append ? "a" : "w";
    } else {
        openFlags |= O_RDONLY;
    }
    if (create) openFlags |= O_CREAT;
    if (truncate && writable) openFlags |= O_TRUNC;
    if (append) openFlags |= O_APPEND;

    const int fd = ::open(hostPath->c_str(), openFlags, 0666);
    if (fd < 0) {
        const int error = errno;
        SetLastError(error == ENOENT ? MissingFileError(*hostPath) : Win32ErrorFromErrno(error));
        return FALSE;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    m_pStream = ::fdopen(fd, streamMode);
    if (m_pStream == nullptr) {
        SetLastError(Win32ErrorFromErrno(errno));
        ::close(fd);
        return FALSE;
    }
    textMode_ = (flags & typeBinary) == 0;
    return TRUE;
}

void CStdioFile::Close() {
    if (m_pStream != nullptr) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
    }
}

std::uint64_t CStdioFile::GetLength() {
    if (m_pStream == nullptr) return 0;
    std::fflush(m_pStream);
    struct stat info {};
    if (::fstat(::fileno(m_pStream), &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::uint64_t CStdioFile::SeekToEnd() {
    if (m_pStream == nullptr) return 0;
    if (std::fseek(m_pStream, 0, SEEK_END) != 0) return 0;
    const long position = std::ftell(m_pStream);
    return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

void CStdioFile::Flush() {
    if (m_pStream != nullptr) std::fflush(m_pStream);
}

std::size_t CStdioFile::WriteText(std::string_view text) {
    if (m_pStream == nullptr) return 0;
    if (!textMode_) return std::fwrite(text.data(), 1, text.size(), m_pStream);

    std::size_t written = 0;
    while (!text.empty()) {
        const std::size_t lineEnd = text.find('\n');
        const std::size_t run = lineEnd == std::string_view::npos ? text.size() : lineEnd;
        const std::size_t done = std::fwrite(text.data(), 1, run, m_pStream);
        written += done;
        if (done < run) return written;
        if (lineEnd == std::string_view::npos) break;
        if (std::fwrite("\r\n", 1, 2, m_pStream) != 2) return written;
        ++written;
        text.remove_prefix(run + 1);
    }
    return written;
}

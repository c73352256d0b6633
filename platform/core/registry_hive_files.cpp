#include "registry_hive_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "atomic_write.h"
#include "files_descriptor.h"
#include "paths_config_home.h"
#include "win32/api.h"

namespace {

constexpr const char* kMachineFolder = "/var/lib/pelmarin-platform";

enum class FileState { Missing, Read, Unreadable };

struct HiveText {
    FileState state = FileState::Missing;
    std::string bytes;
};

HiveText ReadFileBytes(const std::string& path) {
    HiveText result;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsValid()) {
        result.state = errno == ENOENT ? FileState::Missing : FileState::Unreadable;
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            result.state = FileState::Unreadable;
            result.bytes.clear();
            return result;
        }
        if (n == 0) break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    result.state = FileState::Read;
    return result;
}

// Keeps the file that did not read back whole, before it is replaced.
bool KeepUnreadable(const std::string& file, const HiveText& old) {
    const std::string kept = file + ".unreadable";
    if (old.state == FileState::Read) return ReplaceFileAtomically(kept, old.bytes);
    return ::rename(file.c_str(), kept.c_str()) == 0;
}

// ---- Writing a hive back so that what did not change keeps its bytes ------------------
//
// A hive may have been edited by hand (CR LF line ends, comments, continued hex lists,
// capital hex digits). A write re-serialises only the keys it changed; every other key's
// section goes back as the bytes it was read from.

constexpr std::string_view kHiveHeader = "Windows Registry Editor Version 5.00";

bool SameValues(const RegistrySection& a, const RegistrySection& b) {
    if (a.path != b.path || a.values.size() != b.values.size()) return false;
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        const RegistryValue& x = a.values[i];
        const RegistryValue& y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
    }
    return true;
}

bool SameDocument(const RegistryDocument& a, const RegistryDocument& b) {
    if (a.sections.size() != b.sections.size()) return false;
    for (std::size_t i = 0; i < a.sections.size(); ++i) {
        if (!SameValues(a.sections[i], b.sections[i])) return false;
    }
    return true;
}

std::string_view WithoutLeadingBlanks(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    return line;
}

struct RawSection {
    std::string text;                        // from its header line to the next one
    std::optional<RegistrySection> section;  // what it reads as, when it reads whole on its own
};

struct RawHive {
    std::string preamble;  // everything before the first section header
    std::vector<RawSection> sections;
    std::string lineEnd = "\n";  // the file's first line end
};

RawHive SplitHive(std::string_view bytes) {
    RawHive hive;
    if (const std::size_t lineFeed = bytes.find('\n'); lineFeed != std::string_view::npos && lineFeed > 0 &&
                                                        bytes[lineFeed - 1] == '\r') {
        hive.lineEnd = "\r\n";
    }
    std::string* current = &hive.preamble;
    while (!bytes.empty()) {
        const std::size_t lineFeed = bytes.find('\n');
        const std::size_t length = lineFeed == std::string_view::npos ? bytes.size() : lineFeed + 1;
        const std::string_view line = bytes.substr(0, length);
        if (WithoutLeadingBlanks(line).substr(0, 1) == "[") {
            hive.sections.push_back({});
            current = &hive.sections.back().text;
        }
        *current += line;
        bytes.remove_prefix(length);
    }
    for (RawSection& raw : hive.sections) {
        // Comment lines say nothing about the values, so a commented section that did not
        // change goes back with its comments.
        std::string uncommented(kHiveHeader);
        uncommented += '\n';
        std::string_view rest = raw.text;
        while (!rest.empty()) {
            const std::size_t lineFeed = rest.find('\n');
            const std::size_t length = lineFeed == std::string_view::npos ? rest.size() : lineFeed + 1;
            if (WithoutLeadingBlanks(rest.substr(0, length)).substr(0, 1) != ";") uncommented += rest.substr(0, length);
            rest.remove_prefix(length);
        }
        ParsedRegistryDocument alone = ParseRegistryText(uncommented);
        if (alone.complete && alone.document.sections.size() == 1) raw.section = std::move(alone.document.sections[0]);
    }
    return hive;
}

bool EndsWithBlankLine(const std::string& text) { return text.ends_with("\n\n") || text.ends_with("\n\r\n"); }

// The new document as text: the old file's preamble and unchanged sections as they were read,
// the changed and new ones written afresh with the file's line end.
std::string SpliceHive(const std::string& oldBytes, const RegistryDocument& document) {
    const RawHive raw = SplitHive(oldBytes);
    const std::string_view firstLine = [&] {
        std::string_view rest = raw.preamble;
        if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
        while (!rest.empty()) {
            const std::size_t lineFeed = rest.find('\n');
            std::string_view line = rest.substr(0, lineFeed);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (!WithoutLeadingBlanks(line).empty()) return WithoutLeadingBlanks(line);
            if (lineFeed == std::string_view::npos) break;
            rest.remove_prefix(lineFeed + 1);
        }
        return std::string_view();
    }();
    const bool headerKept = firstLine == kHiveHeader || firstLine == "REGEDIT4";

    auto withLineEnd = [&](std::string text) {
        if (raw.lineEnd == "\n") return text;
        std::string converted;
        for (const char c : text) {
            if (c == '\n') converted += '\r';
            converted += c;
        }
        return converted;
    };

    std::string out = headerKept ? raw.preamble : withLineEnd(std::string(kHiveHeader) + "\n\n");
    for (const RegistrySection& section : document.sections) {
        const RawSection* kept = nullptr;
        int samePath = 0;
        for (const RawSection& candidate : raw.sections) {
            if (!candidate.section || !SameRegistryName(candidate.section->path, section.path)) continue;
            ++samePath;
            if (SameValues(*candidate.section, section)) kept = &candidate;
        }
        if (!out.empty() && !out.ends_with('\n')) out += raw.lineEnd;
        if (kept != nullptr && samePath == 1) {
            out += kept->text;
            continue;
        }
        if (!out.empty() && !EndsWithBlankLine(out)) out += raw.lineEnd;
        std::string fresh = SerializeRegistryText(RegistryDocument{{section}});
        fresh.erase(0, kHiveHeader.size() + 2);  // the header and the blank line after it
        out += withLineEnd(std::move(fresh));
    }
    return out;
}

}  // namespace

bool IsSupportedPredefinedKey(HKEY key) {
    return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT;
}

std::optional<HiveLocation> LocateHive(HKEY key) {
    HiveLocation hive;
    if (key == HKEY_CURRENT_USER) {
        const auto configHome = UserConfigHome();
        if (!configHome) return std::nullopt;
        hive.name = u"HKEY_CURRENT_USER";
        hive.folder = *configHome + "/pelmarin-platform";
    } else if (key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT) {
        const char* machine = std::getenv("PELMARIN_MACHINE_REGISTRY");
        hive.name = key == HKEY_LOCAL_MACHINE ? u"HKEY_LOCAL_MACHINE" : u"HKEY_CLASSES_ROOT";
        hive.folder = (machine != nullptr && machine[0] != '\0') ? machine : kMachineFolder;
    } else {
        return std::nullopt;
    }
    hive.file = hive.folder + "/" + std::string(hive.name.begin(), hive.name.end()) + ".reg";
    return hive;
}

RegistryDocument ReadHive(const HiveLocation& hive) {
    const HiveText text = ReadFileBytes(hive.file);
    if (text.state != FileState::Read) return {};
    return ParseRegistryText(text.bytes).document;
}

LONG ModifyHive(const HiveLocation& hive, const std::function<LONG(RegistryDocument&, bool&)>& change) {
    std::error_code error;
    std::filesystem::create_directories(hive.folder, error);
    // Serialises the writers of all processes; under it no other writer is half-way through.
    const FolderWriteLock lock(hive.folder);
    if (!lock.Held()) return ERROR_PATH_NOT_FOUND;

    const HiveText old = ReadFileBytes(hive.file);
    ParsedRegistryDocument parsed;
    if (old.state == FileState::Read) parsed = ParseRegistryText(old.bytes);

    bool changed = false;
    const LONG result = change(parsed.document, changed);
    if (result != ERROR_SUCCESS || !changed) return result;

    const bool lossy = old.state == FileState::Unreadable || (old.state == FileState::Read && !parsed.complete);
    RemoveLeftoverTemporaries(hive.file);
    RemoveLeftoverTemporaries(hive.file + ".unreadable");
    if (lossy && !KeepUnreadable(hive.file, old)) return ERROR_ACCESS_DENIED;
    // What cannot be spliced back exactly (a key given twice, a continuation that reached
    // into the next section) is written afresh as a whole.
    std::string bytes = old.state == FileState::Read ? SpliceHive(old.bytes, parsed.document) : std::string();
    if (old.state != FileState::Read || !SameDocument(ParseRegistryText(bytes).document, parsed.document)) {
        bytes = SerializeRegistryText(parsed.document);
    }
    if (!ReplaceFileAtomically(hive.file, bytes)) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// Test helpers of every area: a fresh folder per test, environment variables set for one
// test only, and whole files read and written as bytes.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace testing_support {

// A new, empty folder under $PELMARIN_TEST_TMP (or the system's temporary folder), removed
// with everything in it when the object goes.
class ScopedTestFolder {
public:
    ScopedTestFolder() {
        const char* root = std::getenv("PELMARIN_TEST_TMP");
        std::filesystem::path base = root != nullptr && *root != '\0' ? std::filesystem::path(root)
                                                                      : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(base);
        std::string pattern = (base / "pelmarin-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScopedTestFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScopedTestFolder(const ScopedTestFolder&) = delete;
    ScopedTestFolder& operator=(const ScopedTestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, unsets) an environment variable until the object goes.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream << bytes;
}

}  // namespace testing_support

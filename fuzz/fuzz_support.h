#pragma once
// What every fuzz target shares: a reader that takes bytes off the front of the input, a scratch
// folder of this process for the file readers, and a check that ends the run with a message so
// the fuzzer keeps the input that broke a promise.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace tessaron::fuzz {

[[noreturn]] inline void checkFailed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::tessaron::fuzz::checkFailed(#condition, __FILE__, __LINE__))

class Input {
public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    [[nodiscard]] bool empty() const { return bytes_.empty(); }
    [[nodiscard]] std::size_t size() const { return bytes_.size(); }

    // Once the input runs out, every read gives zeros.
    std::uint8_t byte() {
        if (bytes_.empty()) return 0;
        const std::uint8_t b = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return b;
    }
    std::uint16_t u16() {
        const auto high = byte();
        return static_cast<std::uint16_t>((high << 8) | byte());
    }
    bool boolean() { return (byte() & 1) != 0; }
    // At most n bytes.
    std::span<const std::uint8_t> take(std::size_t n) {
        const auto part = bytes_.first(std::min(n, bytes_.size()));
        bytes_ = bytes_.subspan(part.size());
        return part;
    }
    std::string text(std::size_t n) {
        const auto part = take(n);
        return {part.begin(), part.end()};
    }
    std::span<const std::uint8_t> rest() { return take(bytes_.size()); }

private:
    std::span<const std::uint8_t> bytes_;
};

// One folder per fuzzing process, in memory when the system offers it, removed at exit.
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, ec) || ::access(base.c_str(), W_OK) != 0) {
            base = std::filesystem::temp_directory_path();
        }
        std::string pattern = (base / "tessaron-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) checkFailed("scratch folder", __FILE__, __LINE__);
        static const std::filesystem::path made = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(made, ignored);
        });
        return made;
    }();
    return folder;
}

inline void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) checkFailed("writing a scratch file", __FILE__, __LINE__);
}

}  // namespace tessaron::fuzz

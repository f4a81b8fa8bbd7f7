#pragma once
// The macro record and the macro table: the byte layout of MacroDefine.bin. Every offset here is
// a file format, so records are kept as their raw bytes and read through accessors.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron::macros {

namespace record {
inline constexpr std::size_t kSize = 894;
inline constexpr std::size_t kName = 0;
inline constexpr std::size_t kNameBytes = 510;
inline constexpr std::size_t kNameMaxUnits = 254;  // UTF-16 units before the terminating NUL
inline constexpr std::size_t kLoopCount = 510;     // little-endian u16
inline constexpr std::size_t kDelayFlag = 512;
inline constexpr std::size_t kDeviceStream = 513;
inline constexpr std::size_t kHostStream = 703;
inline constexpr std::size_t kStreamSize = 190;
inline constexpr std::size_t kReserved = 893;

static_assert(kName + kNameBytes == kLoopCount);
static_assert(kLoopCount + 2 == kDelayFlag);
static_assert(kDelayFlag + 1 == kDeviceStream);
static_assert(kDeviceStream + kStreamSize == kHostStream);
static_assert(kHostStream + kStreamSize == kReserved);
static_assert(kReserved + 1 == kSize);
static_assert((kNameMaxUnits + 1) * 2 <= kNameBytes);
}  // namespace record

inline constexpr std::size_t kTableRecords = 190;
inline constexpr std::size_t kTableSize = kTableRecords * record::kSize;
static_assert(kTableSize == 169860);

// The keyboard has 32 macro slots, so no more macros may be in use.
inline constexpr std::size_t kMaxMacrosInUse = 32;

using Stream = std::array<std::uint8_t, record::kStreamSize>;

class MacroRecord {
public:
    using Bytes = std::array<std::uint8_t, record::kSize>;

    MacroRecord() { bytes_.fill(0); }

    // The name as stored: UTF-16 units up to the first NUL (at most 254).
    [[nodiscard]] std::u16string name() const;
    // Stores at most 254 units; the rest of the name field becomes 0.
    void setName(std::u16string_view name);
    [[nodiscard]] bool inUse() const {
        return bytes_[record::kName] != 0 || bytes_[record::kName + 1] != 0;
    }

    [[nodiscard]] std::uint16_t loopCount() const;
    void setLoopCount(std::uint16_t count);

    [[nodiscard]] std::uint8_t delayFlag() const { return bytes_[record::kDelayFlag]; }
    // Bit 0 is the Record Delay option; the other bits are not ours to change.
    void setDelayFlag(bool on) {
        bytes_[record::kDelayFlag] =
            static_cast<std::uint8_t>((bytes_[record::kDelayFlag] & 0xFE) | (on ? 1 : 0));
    }

    [[nodiscard]] Stream deviceStream() const { return stream(record::kDeviceStream); }
    [[nodiscard]] Stream hostStream() const { return stream(record::kHostStream); }
    void setDeviceStream(const Stream& s) { setStream(record::kDeviceStream, s); }
    void setHostStream(const Stream& s) { setStream(record::kHostStream, s); }

    void clear() { bytes_.fill(0); }

    [[nodiscard]] std::span<const std::uint8_t, record::kSize> bytes() const { return bytes_; }
    [[nodiscard]] std::span<std::uint8_t, record::kSize> bytes() { return bytes_; }

    friend bool operator==(const MacroRecord&, const MacroRecord&) = default;

private:
    [[nodiscard]] Stream stream(std::size_t offset) const;
    void setStream(std::size_t offset, const Stream& s);

    Bytes bytes_;
};

class MacroTable {
public:
    MacroTable() : records_(kTableRecords) {}

    [[nodiscard]] MacroRecord& operator[](std::size_t i) { return records_.at(i); }
    [[nodiscard]] const MacroRecord& operator[](std::size_t i) const { return records_.at(i); }

    // The macros in use run from record 0 up to the first record with an empty name.
    [[nodiscard]] std::size_t countInUse() const;

    // Fills the table from the start with as many bytes as given (at most the table size);
    // records not reached keep their content.
    void assignPrefix(std::span<const std::uint8_t> bytes);
    [[nodiscard]] std::vector<std::uint8_t> toBytes() const;

    friend bool operator==(const MacroTable&, const MacroTable&) = default;

private:
    std::vector<MacroRecord> records_;
};

// The records two tables differ in, for an undo step that keeps only those.
struct RecordChange {
    std::size_t index = 0;
    MacroRecord before;
    MacroRecord after;
};
std::vector<RecordChange> changedRecords(const MacroTable& before, const MacroTable& after);
// forward: the records as after the change, else as before it.
void applyChanges(MacroTable& table, const std::vector<RecordChange>& changes, bool forward);

// Names are UTF-16 in the file and UTF-8 everywhere else. Invalid input becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace tessaron::macros

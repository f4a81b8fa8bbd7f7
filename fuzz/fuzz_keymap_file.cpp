// keymap.bin comes from disk and may be short, long or damaged: loading it must fill exactly what
// the file reaches, and everything derived from its records (modified marks, host actions, host
// paths) must cope with any bytes.

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "keys/assignment.h"
#include "keys/host_action.h"
#include "keys/keymap_file.h"

namespace {

using namespace tessaron;

class NoLauncher final : public keys::Launcher {
public:
    void launch(const keys::HostAction& action) override {
        FUZZ_CHECK(keys::kind::isHostAction(action.kind));
    }
};

constexpr std::uint8_t kBefore = 0xA5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    static const auto path = fuzz::scratchFolder() / "keymap.bin";
    fuzz::writeFile(path, bytes);

    device::DeviceImage image;
    image.fill(kBefore);
    auto records = std::make_unique<keys::KeyRecordTable>();
    std::fill(keys::asWritableBytes(*records).begin(), keys::asWritableBytes(*records).end(),
              kBefore);
    auto loaded = keys::loadKeymap(path, image, *records);
    FUZZ_CHECK(loaded && *loaded == keys::KeymapLoad::Read);

    // The device image is the file's prefix; what the file does not reach keeps its old bytes.
    // (Block comparisons: a byte loop here would cost more than the code under test.)
    static std::vector<std::uint8_t> expected(keys::kKeymapFileSize, kBefore);
    static std::size_t dirty = 0;  // bytes of `expected` the previous input overwrote
    std::fill_n(expected.begin(), dirty, kBefore);
    dirty = std::min(size, expected.size());
    std::copy_n(data, dirty, expected.begin());
    FUZZ_CHECK(std::memcmp(image.data(), expected.data(), image.size()) == 0);
    const auto recordBytes = keys::asBytes(*records);
    const std::uint8_t* expectedRecords = expected.data() + device::image::kSize;
    for (std::size_t r = 0; r < keys::kKeyRecordCount; ++r) {
        // Byte 0 of a layout key's record is its VK, whatever the file says.
        const std::size_t from = r * keys::kKeyRecordSize + (r < keys::keyLayout().size() ? 1 : 0);
        const std::size_t to = (r + 1) * keys::kKeyRecordSize;
        FUZZ_CHECK(std::memcmp(recordBytes.data() + from, expectedRecords + from, to - from) == 0);
    }

    keys::ModifiedMarks marks{};
    keys::refreshModifiedMarks({image, *records, marks});
    FUZZ_CHECK(std::all_of(marks.begin(), marks.end(), [](std::uint8_t m) { return m <= 1; }));
    // The records the file reached; the rest hold the filler, which is no input.
    const std::size_t reached =
        size > device::image::kSize
            ? std::min(
                  keys::kKeyRecordCount,
                  (size - device::image::kSize + keys::kKeyRecordSize - 1) / keys::kKeyRecordSize)
            : 0;
    for (std::size_t r = 0; r < reached; ++r) {
        FUZZ_CHECK(keys::hostPath((*records)[r]).find('\0') == std::string::npos);
    }
    // A key event for each key the file gives a host action, and for one it does not.
    NoLauncher launcher;
    keys::runHostAction(*records, 0, launcher);
    for (std::size_t r = 0; r < reached; ++r) {
        if (keys::kind::isHostAction((*records)[r].kind)) {
            keys::runHostAction(*records, (*records)[r].vk, launcher);
        }
    }

    // What was loaded is written back byte for byte. Writing costs more than all the rest, so
    // only every eighth input (by its first byte) takes the round trip.
    if (size > 0 && data[0] % 8 != 0) return 0;
    FUZZ_CHECK(keys::writeKeymap(path, image, *records));
    device::DeviceImage again{};
    auto againRecords = std::make_unique<keys::KeyRecordTable>();
    FUZZ_CHECK(keys::loadKeymap(path, again, *againRecords));
    FUZZ_CHECK(again == image);
    FUZZ_CHECK(std::memcmp(recordBytes.data(), keys::asBytes(*againRecords).data(),
                           recordBytes.size()) == 0);
    return 0;
}

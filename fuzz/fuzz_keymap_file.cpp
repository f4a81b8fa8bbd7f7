// keymap.bin comes from disk and may be damaged: a file of the size Tessaron writes must load
// exactly as it is, and everything derived from its records (modified marks, host actions, host
// paths) must cope with any bytes. (Files of other sizes are kept aside, never read: the keys
// tests cover that.)

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
    // The input is the file's start; the rest of the 206916 bytes holds a filler.
    static std::vector<std::uint8_t> file(keys::kKeymapFileSize, kBefore);
    static std::size_t dirty = 0;  // bytes the previous input overwrote
    std::fill_n(file.begin(), dirty, kBefore);
    dirty = std::min(size, file.size());
    std::copy_n(data, dirty, file.begin());
    static const auto path = fuzz::scratchFolder() / "keymap.bin";
    fuzz::writeFile(path, file);

    device::DeviceImage image{};
    auto records = std::make_unique<keys::KeyRecordTable>();
    auto loaded = keys::loadKeymap(path, image, *records);
    FUZZ_CHECK(loaded && *loaded == keys::KeymapLoad::Read);

    // (Block comparisons: a byte loop here would cost more than the code under test.)
    FUZZ_CHECK(std::memcmp(image.data(), file.data(), image.size()) == 0);
    const auto recordBytes = keys::asBytes(*records);
    const std::uint8_t* expectedRecords = file.data() + device::image::kSize;
    for (std::size_t r = 0; r < keys::kKeyRecordCount; ++r) {
        // Byte 0 of a layout key's record is its VK, whatever the file says.
        const std::size_t from = r * keys::kKeyRecordSize + (r < keys::keyLayout().size() ? 1 : 0);
        const std::size_t to = (r + 1) * keys::kKeyRecordSize;
        FUZZ_CHECK(std::memcmp(recordBytes.data() + from, expectedRecords + from, to - from) == 0);
    }

    keys::ModifiedMarks marks{};
    keys::refreshModifiedMarks({image, *records, marks});
    FUZZ_CHECK(std::all_of(marks.begin(), marks.end(), [](std::uint8_t m) { return m <= 1; }));
    // The records the input reached; the rest hold the filler.
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

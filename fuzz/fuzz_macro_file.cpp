// MacroDefine.bin comes from disk: every record of a damaged table must load, list, show, export
// and pack into the keyboard's slots without reading or writing outside its streams.

#include <algorithm>

#include "fuzz_support.h"
#include "macros/event_lines.h"
#include "macros/event_stream.h"
#include "macros/macro_file.h"
#include "macros/macro_manager.h"
#include "macros/macro_text.h"
#include "macros/slot_packing.h"
#include "support/fake_clock.h"

namespace {

using namespace tessaron;

class NoHook final : public macros::KeyHook {
public:
    bool install() override { return false; }
    void remove() override {}
};

// Every line walk costs a stream walk, so only the first macros get all of them; mutations move
// any record there.
constexpr std::size_t kFullyWalked = 4;

void walk(const macros::Stream& stream, bool everyLine) {
    const auto events = macros::decodeEvents(stream);
    const std::size_t end = macros::streamEnd(stream);
    FUZZ_CHECK(end <= stream.size());
    for (const auto& e : events) FUZZ_CHECK(e.end() <= end);
    const auto lines = macros::eventLines(stream);
    if (!everyLine) return;
    for (std::size_t n = 0; n <= lines.size(); ++n) {
        if (auto at = macros::offsetOfFirstLine(stream, n)) FUZZ_CHECK(*at <= end);
        if (auto at = macros::offsetOfLastLine(stream, n)) FUZZ_CHECK(*at < end);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Only the first records matter to the walks; a bigger input just repeats the work.
    if (size > macros::kTableSize) return -1;
    // The input is the file's start, zeros the rest: only files of the written size are read.
    static std::vector<std::uint8_t> file(macros::kTableSize, 0);
    static std::size_t dirty = 0;
    std::fill_n(file.begin(), dirty, 0);
    dirty = size;
    std::copy_n(data, size, file.begin());
    static const auto path = fuzz::scratchFolder() / macros::kMacroFileName;
    fuzz::writeFile(path, file);
    auto loaded = macros::loadMacroFile(path);
    FUZZ_CHECK(loaded && !loaded->notice);
    const macros::MacroTable& table = loaded->table;
    const auto back = table.toBytes();
    FUZZ_CHECK(std::equal(data, data + size, back.begin()));

    const std::size_t inUse = table.countInUse();
    for (std::size_t i = 0; i < inUse; ++i) {
        const auto& rec = table[i];
        FUZZ_CHECK(rec.name().size() <= macros::record::kNameMaxUnits);
        (void)macros::utf16ToUtf8(rec.name());
        walk(rec.hostStream(), i < kFullyWalked);
        walk(rec.deviceStream(), i < kFullyWalked);
        (void)macros::formatMacroText(rec);
    }

    device::DeviceImage image{};
    image.fill(0x5A);
    const std::size_t packed = macros::packMacroSlots(table, image);
    FUZZ_CHECK(packed == std::min(inUse, macros::kMaxMacrosInUse));
    device::DeviceImage untouched;
    untouched.fill(0x5A);
    const std::size_t from = device::image::macroSlot(packed);
    FUZZ_CHECK(std::equal(image.begin() + static_cast<std::ptrdiff_t>(from), image.end(),
                          untouched.begin() + static_cast<std::ptrdiff_t>(from)));

    // The manager opens on the table and shows each macro in use.
    NoHook hook;
    FakeClock clock;
    macros::MacroManager manager(table, hook, clock);
    for (std::size_t i = 0; i < std::min(inUse, macros::kMaxMacrosInUse); ++i) {
        manager.select(i);
        FUZZ_CHECK(manager.lines().size() == macros::eventLines(manager.streams().host).size());
        FUZZ_CHECK(manager.appendPosition() <= macros::record::kStreamSize);
    }
    return 0;
}

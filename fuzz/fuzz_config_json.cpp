// The configuration text comes from other people: any text must be refused with a path and a
// reason in both languages, or give a configuration that, applied to a data folder and read
// back, writes the same text and reads as the same configuration.

#include <memory>

#include "config/config_json.h"
#include "config/configuration.h"
#include "fuzz_support.h"
#include "keys/key_record.h"

namespace {

using namespace tessaron;

// A keyboard just read: factory key map, every key enabled.
struct Base {
    device::DeviceImage image{};
    keys::KeyRecordTable records{};
    Base() {
        keys::writeFactoryKeyMap(image);
        keys::enableAllKeys(image);
        keys::resetKeyRecords(records);
    }
};

const Base& base() {
    static const auto b = std::make_unique<Base>();
    return *b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = config::parseConfiguration(text);
    if (!parsed) {
        FUZZ_CHECK(!parsed.error().english.empty());
        FUZZ_CHECK(!parsed.error().text(Language::Chinese).empty());
        return 0;
    }
    const config::Configuration& c = *parsed;
    FUZZ_CHECK(c.macros.size() <= macros::kMaxMacrosInUse);

    auto image = base().image;
    auto records = std::make_unique<keys::KeyRecordTable>(base().records);
    macros::MacroTable table;
    config::applyConfiguration(c, image, *records, table);
    FUZZ_CHECK(table.countInUse() == c.macros.size());

    const auto read = config::readConfiguration(image, *records, table);
    FUZZ_CHECK(read.leftOut.empty());
    const std::string written = config::formatConfiguration(read.configuration);
    const auto again = config::parseConfiguration(written);
    FUZZ_CHECK(again);
    FUZZ_CHECK(*again == read.configuration);
    FUZZ_CHECK(config::formatConfiguration(*again) == written);
    return 0;
}

// The text form of a macro is written by hand and shared: any text must be parsed or refused
// with a message, and every macro it accepts must read back the same from its own export.

#include "fuzz_support.h"
#include "macros/event_stream.h"
#include "macros/macro_text.h"

namespace {

using namespace tessaron;

// The export puts each field on one line, so control characters of a name become spaces, and
// the import trims the spaces around it.
std::u16string oneLine(std::u16string name) {
    for (auto& unit : name) {
        if (unit < 0x20) unit = u' ';
    }
    const auto first = name.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    return name.substr(first, name.find_last_not_of(u' ') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parsed = macros::parseMacroText(text);
    if (!parsed) {
        FUZZ_CHECK(!parsed.error().english.empty());
        FUZZ_CHECK(!parsed.error().text(Language::Chinese).empty());
        return 0;
    }
    const macros::MacroRecord& record = *parsed;
    FUZZ_CHECK(record.name().size() <= macros::record::kNameMaxUnits);
    // Both streams carry the same events, and nothing lies past the last one.
    const auto host = macros::decodeEvents(record.hostStream());
    const auto device = macros::decodeEvents(record.deviceStream());
    FUZZ_CHECK(host.size() == device.size());
    for (std::size_t i = 0; i < host.size(); ++i) {
        FUZZ_CHECK(host[i].offset == device[i].offset && host[i].flags == device[i].flags);
        FUZZ_CHECK(host[i].code != 0 && device[i].code != 0);
    }
    if (!host.empty()) FUZZ_CHECK(host.front().delayMs() == 0);

    const std::string exported = macros::formatMacroText(record);
    auto again = macros::parseMacroText(exported);
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->hostStream() == record.hostStream());
    FUZZ_CHECK(again->deviceStream() == record.deviceStream());
    FUZZ_CHECK(again->loopCount() == record.loopCount());
    FUZZ_CHECK(again->delayFlag() == record.delayFlag());
    FUZZ_CHECK(again->name() == oneLine(record.name()));
    return 0;
}

// Event reports arrive from the keyboard at any time and in any shape: only acknowledgements may
// set the acknowledgement signal, every other report is a key event delivered in order, and
// nothing else may be made of a read that is not a 4-byte report with ID 4.

#include "device/ack.h"
#include "device/hid/hid_channels.h"
#include "device/listener.h"
#include "fuzz_support.h"
#include "support/fake_clock.h"

namespace {

using namespace tessaron;
using namespace tessaron::device;

// Reads as the hidraw event channel would: each read is a chunk of the input, parsed as there.
class FuzzEvents final : public EventChannel {
public:
    explicit FuzzEvents(fuzz::Input& in) : in_(in) {}
    Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds) override {
        if (in_.empty()) return verbatim("unplugged");
        const auto chunk = in_.take(in_.byte() % 8);
        return hid::parseEventReport(chunk);
    }

private:
    fuzz::Input& in_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The parser alone, on the whole input.
    const auto whole = hid::parseEventReport({data, size});
    if (whole) FUZZ_CHECK(size == kEventReportSize && data[0] == kEventReportId);
    if (size == kEventReportSize && data[0] == kEventReportId) {
        FUZZ_CHECK(whole && whole->kind == data[1] && whole->value == data[2]);
    }

    fuzz::Input in({data, size});
    FakeClock clock;
    AckSignal acks;
    Listener listener(acks, clock);
    FuzzEvents channel(in);
    for (;;) {
        acks.clear();
        const auto result = listener.pollOnce(channel, std::chrono::milliseconds(0));
        if (result == PollResult::Error) break;
        FUZZ_CHECK(acks.isSet() == (result == PollResult::Ack));
        if (result == PollResult::KeyEvent) {
            const auto keys = listener.takeKeyEvents();
            FUZZ_CHECK(keys.size() == 1);
        } else {
            FUZZ_CHECK(listener.takeKeyEvents().empty());
        }
    }
    return 0;
}

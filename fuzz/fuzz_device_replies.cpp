// Replies and pages from the keyboard are not trusted: a keyboard that answers garbage, stops in
// the middle of a block or never acknowledges must leave every field it did not deliver as it
// was, never touch the bytes no command owns, and never let a failed Save advance the committed
// image.

#include <algorithm>
#include <sstream>

#include "device/ack.h"
#include "device/commands.h"
#include "device/read_all.h"
#include "device/trace.h"
#include "device/write_changes.h"
#include "fuzz_support.h"
#include "support/fake_clock.h"

namespace {

using namespace tessaron;
using namespace tessaron::device;

constexpr std::uint8_t kFail = 0xFF;

// Every transfer asks the input how it goes; a 0xFF byte makes it fail.
class FuzzChannel final : public CommandChannel {
public:
    explicit FuzzChannel(fuzz::Input& in) : in_(in) {}

    Status sendFeature(const FrameBytes& frame) override {
        FUZZ_CHECK(frame[0] == 0 && frameChecksum(frame) == frame[8]);
        return outcome();
    }
    Result<FrameBytes> getFeature() override {
        if (!outcome()) return verbatim("no reply");
        FrameBytes f{};
        const auto part = in_.take(f.size());
        std::copy(part.begin(), part.end(), f.begin());
        return f;
    }
    Status writePage(const Page&) override { return outcome(); }
    Result<Page> readPage(std::chrono::milliseconds) override {
        if (!outcome()) return verbatim("no page");
        Page p{};
        const auto part = in_.take(p.size());
        std::copy(part.begin(), part.end(), p.begin());
        return p;
    }

private:
    Status outcome() {
        if (in_.empty() || in_.byte() == kFail) return verbatim("gone");
        return {};
    }
    fuzz::Input& in_;
};

class FuzzAcks final : public AckWaiter {
public:
    explicit FuzzAcks(fuzz::Input& in) : in_(in) {}
    void arm() override {}
    bool wait() override { return !in_.empty() && in_.byte() != kFail; }

private:
    fuzz::Input& in_;
};

// Bytes of the image that no command reads or writes.
bool ownedByNoCommand(std::size_t i) {
    return i < image::kReportRate || (i > image::kReportRate && i < image::kKeyMap) ||
           i == image::kResponseTime - 1;
}

void checkUnowned(const DeviceImage& before, const DeviceImage& after) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (ownedByNoCommand(i)) FUZZ_CHECK(before[i] == after[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in({data, size});
    FakeClock clock;
    std::ostringstream traceText;
    Trace trace(traceText, clock);
    FuzzChannel channel(in);
    CommandPort port(channel, clock, in.boolean() ? &trace : nullptr);

    DeviceImage img;
    img.fill(in.byte());
    const DeviceImage before = img;
    switch (in.byte() % 5) {
        case 0: {
            auto read = startupRead(port, before);
            if (read) checkUnowned(before, read->image);
            break;
        }
        case 1:
            (void)readAll(port, img);
            checkUnowned(before, img);
            break;
        case 2:
            (void)readLightMaps(port, img);
            FUZZ_CHECK(std::equal(img.begin(), img.begin() + image::kLightMaps, before.begin()));
            break;
        case 3:
            (void)factoryReset(port);
            (void)getFirmwareVersion(port);
            break;
        default: {
            // A Save of a few changed bytes; the keyboard answers as the input says.
            DeviceImage committed = img;
            for (int n = in.byte() % 8; n > 0; --n) {
                const std::size_t at = in.u16() % image::kSize;
                img[at] = in.byte();
            }
            const DeviceImage committedBefore = committed;
            FuzzAcks acks(in);
            auto saved = writeChanges(port, img, committed, acks);
            if (saved) {
                FUZZ_CHECK(saved->steps.empty() ? committed == committedBefore : committed == img);
            } else {
                FUZZ_CHECK(committed == committedBefore);
                FUZZ_CHECK(!saved.error().english.empty() && !saved.error().text(Language::Chinese).empty());
            }
            break;
        }
    }
    return 0;
}

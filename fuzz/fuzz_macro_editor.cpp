// Every editor operation applied, in any order, to a macro whose streams came from a damaged
// file. The event list must always show the stream as it is, no operation may reach outside the
// 190 bytes of a stream, and nothing may leave stray bytes past the last event.

#include <algorithm>

#include "fuzz_support.h"
#include "macros/event_lines.h"
#include "macros/event_stream.h"
#include "macros/macro_manager.h"
#include "support/fake_clock.h"

namespace {

using namespace tessaron;
using macros::MacroManager;

class CountingHook final : public macros::KeyHook {
public:
    bool install() override {
        ++installed;
        return true;
    }
    void remove() override {
        FUZZ_CHECK(installed > 0);
        --installed;
    }
    int installed = 0;
};

void checkShape(const MacroManager& m) {
    const auto& s = m.streams();
    const auto expected = macros::eventLines(s.host);
    const auto& lines = m.lines();
    FUZZ_CHECK(lines.size() == expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].text == expected[i].text);
        FUZZ_CHECK(lines[i].isDelay == expected[i].isDelay);
        FUZZ_CHECK(lines[i].eventOffset == expected[i].eventOffset);
    }
    const std::size_t end = macros::streamEnd(s.host);
    for (std::size_t i = end; i < s.host.size(); ++i) {
        FUZZ_CHECK(s.host[i] == 0);
        FUZZ_CHECK(s.device[i] == 0);
    }
    FUZZ_CHECK(m.workingTable().countInUse() <= macros::kMaxMacrosInUse);
    if (m.selectedMacro()) FUZZ_CHECK(*m.selectedMacro() < m.workingTable().countInUse());
    if (m.selectedLine()) FUZZ_CHECK(*m.selectedLine() < lines.size());
}

// A line index mostly inside the list, sometimes just past it.
std::size_t lineIn(fuzz::Input& in, const MacroManager& m) {
    return in.byte() % (m.lines().size() + 2);
}

// Direct stream operations at event boundaries, as the manager calls them.
void streamOperation(fuzz::Input& in, macros::StreamPair streams) {
    const auto events = macros::decodeEvents(streams.host);
    const std::size_t end = macros::streamEnd(streams.host);
    const std::size_t pick = events.empty() ? 0 : in.byte() % events.size();
    switch (in.byte() % 3) {
        case 0: {
            const std::size_t at = events.empty() || in.boolean() ? end : events[pick].offset;
            const macros::NewEvent ev{in.boolean(), in.byte(), in.byte(), in.u16()};
            const auto before = streams;
            if (macros::insertEvent(streams, at, ev)) {
                FUZZ_CHECK(macros::streamEnd(streams.host) > end || ev.hostCode == 0);
            } else {
                FUZZ_CHECK(streams == before);  // refused whole
            }
            break;
        }
        case 1:
            if (!events.empty()) {
                macros::removeBytes(streams, events[pick].offset, events[pick].length());
                FUZZ_CHECK(macros::streamEnd(streams.host) <= end);
            }
            break;
        default:
            if (!events.empty()) {
                const auto before = streams;
                if (!macros::setEventDelay(streams, events[pick].offset, in.u16())) {
                    FUZZ_CHECK(streams == before);
                }
            }
            break;
    }
    macros::normaliseFirstEvent(streams);
    const auto first = macros::decodeEvents(streams.host);
    if (!first.empty()) FUZZ_CHECK(first.front().delayMs() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in({data, size});
    macros::MacroTable table;
    const std::size_t macrosInUse = 1 + in.byte() % 3;
    for (std::size_t i = 0; i < macrosInUse; ++i) {
        auto& rec = table[i];
        rec.setName(macros::utf8ToUtf16("M" + std::to_string(i)));
        rec.setLoopCount(in.u16());
        rec.setDelayFlag(in.boolean());
        macros::Stream host{}, device{};
        const auto h = in.take(in.byte() % (host.size() + 1));
        std::copy(h.begin(), h.end(), host.begin());
        const auto d = in.take(in.byte() % (device.size() + 1));
        std::copy(d.begin(), d.end(), device.begin());
        rec.setHostStream(host);
        rec.setDeviceStream(device);
    }

    CountingHook hook;
    FakeClock clock;
    {
        MacroManager m(table, hook, clock);
        checkShape(m);
        std::int64_t counter = 0;
        for (int step = 0; step < 64 && !in.empty(); ++step) {
            switch (in.byte() % 20) {
                case 0:
                    (void)m.insertBefore(lineIn(in, m));
                    break;
                case 1:
                    (void)m.insertAfter(lineIn(in, m));
                    break;
                case 2:
                case 3: {
                    counter += in.u16() * 37;
                    const auto action =
                        in.boolean() ? macros::KeyAction::Release : macros::KeyAction::Press;
                    (void)m.keystroke(in.byte(), action, counter);
                    break;
                }
                case 4: {
                    const std::size_t s = lineIn(in, m);
                    const auto button = static_cast<macros::MouseButton>(0xF0 + in.byte() % 3);
                    const auto action = static_cast<macros::MouseAction>(in.byte() % 3);
                    (void)m.insertMouseKey(s, button, action);
                    break;
                }
                case 5:
                    (void)m.insertDelay(lineIn(in, m));
                    break;
                case 6:
                    (void)m.deleteLine(lineIn(in, m));
                    break;
                case 7: {
                    const std::size_t s = lineIn(in, m);
                    const auto delay =
                        static_cast<std::int64_t>(static_cast<std::int16_t>(in.u16()));
                    (void)m.editDelay(s, in.boolean() ? delay * 1000 : delay);
                    break;
                }
                case 8:
                    (void)m.toggleRecording();
                    break;
                case 9:
                    m.toggleRecordDelay();
                    break;
                case 10:
                    m.toggleLoops();
                    break;
                case 11: {
                    const std::string text = in.text(in.byte() % 5);
                    const bool valid = text.size() <= 3 &&
                                       std::all_of(text.begin(), text.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; });
                    FUZZ_CHECK(static_cast<bool>(m.setLoopCountText(text)) == valid);
                    break;
                }
                case 12: {
                    const std::size_t index = in.byte() % 4;
                    const std::string name = in.text(in.byte());
                    const std::size_t count = m.workingTable().countInUse();
                    if (m.rename(index, name)) {
                        auto units = macros::utf8ToUtf16(name);
                        units.resize(std::min(units.size(), units.find(u'\0')));
                        FUZZ_CHECK(units == m.workingTable()[index].name());
                    }
                    // A rename never hides a macro.
                    FUZZ_CHECK(m.workingTable().countInUse() == count);
                    break;
                }
                case 13:
                    m.newMacro();
                    break;
                case 14:
                    (void)m.deleteMacro();
                    break;
                case 15:
                    m.select(in.byte() % 5);
                    break;
                case 16:
                    m.editBegins();
                    break;
                case 17:
                    streamOperation(in, m.streams());
                    break;
                case 18: {
                    // OK stores nothing but a loop count typed while the option is on: every
                    // other byte is as the edits left it.
                    const auto selected = m.selectedMacro();
                    auto expected = m.workingTable();
                    const bool loopsOn = m.loopsOn();
                    const auto accepted = m.accept();
                    FUZZ_CHECK(hook.installed == 0);
                    if (selected && loopsOn) {
                        expected[*selected].setLoopCount(accepted[*selected].loopCount());
                    }
                    FUZZ_CHECK(accepted == expected);
                    break;
                }
                default:
                    (void)m.insertDelay(lineIn(in, m));
                    break;
            }
            checkShape(m);
            FUZZ_CHECK(hook.installed == (m.hookInstalled() ? 1 : 0));
        }
    }
    // The hook never outlives the manager.
    FUZZ_CHECK(hook.installed == 0);
    return 0;
}

#pragma once
// Shared helpers for the macro tests: streams from byte lists, records and a hook that counts
// its calls.

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "macros/event_stream.h"
#include "macros/key_hook.h"
#include "macros/macro_record.h"

namespace tessaron::macros::testing {

inline Stream streamOf(std::initializer_list<std::uint8_t> bytes) {
    Stream s{};
    std::copy(bytes.begin(), bytes.end(), s.begin());
    return s;
}

// The device stream that goes with a host stream of letter keys and mouse buttons.
inline Stream deviceFor(const Stream& host) {
    Stream d = host;
    for (const auto& e : decodeEvents(host)) {
        const std::uint8_t code = e.code;
        d[e.offset + 1] =
            (code >= 'A' && code <= 'Z') ? static_cast<std::uint8_t>(code - 61) : code;
    }
    return d;
}

// A record in use with both streams.
inline MacroRecord recordOf(const char* name, const Stream& host, std::uint16_t loops = 1) {
    MacroRecord r;
    r.setName(utf8ToUtf16(name));
    r.setLoopCount(loops);
    r.setHostStream(host);
    r.setDeviceStream(deviceFor(host));
    return r;
}

inline StreamPair pairOf(std::initializer_list<std::uint8_t> hostBytes) {
    StreamPair p;
    p.host = streamOf(hostBytes);
    p.device = deviceFor(p.host);
    return p;
}

class FakeHook final : public KeyHook {
public:
    bool install() override {
        ++installs;
        installed = succeed;
        return succeed;
    }
    void remove() override {
        ++removals;
        installed = false;
    }
    bool succeed = true;
    bool installed = false;
    int installs = 0;
    int removals = 0;
};

}  // namespace tessaron::macros::testing

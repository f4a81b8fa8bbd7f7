#include "config/configuration.h"

#include "config/config_json.h"

#include <algorithm>
#include <memory>

#include "keys/assignment.h"
#include "keys/functions.h"
#include "keys/key_cell.h"
#include "keys/key_names.h"
#include "keys/lighting.h"
#include "macros/slot_packing.h"

namespace tessaron::config {
namespace {

namespace img = device::image;

std::uint8_t ownVk(keys::KeyIndex k) {
    return keys::layoutVk(k);
}

// The cell that Default writes. A key assigned to itself gets the plain cell of its own code,
// which for some keys (Backslash) is another cell than the factory's, and so not factory.
bool isFactoryCell(keys::KeyIndex k, const keys::KeyCell& c) {
    return c == keys::factoryCell(k);
}

bool isFactoryRecord(keys::KeyIndex k, const keys::KeyRecord& r) {
    if (r.kind != keys::kind::kSingle) return false;
    if (r.keyCount == 0) return true;
    return r.keyCount == 1 && r.bytes[0] == ownVk(k);
}

keys::PendingAssignment pendingFor(const KeySetting& s) {
    keys::PendingAssignment p;
    p.clearChoice();
    p.selectedKey = s.key;
    p.selectedVk = ownVk(s.key);
    switch (s.kind) {
        case keys::kind::kSingle:
        case keys::kind::kCombination:
            p.kind = s.kind;
            for (std::size_t i = 0; i < s.vks.size() && i < p.capturedKeys.size(); ++i)
                p.capturedKeys[i] = s.vks[i];
            p.keyCount = static_cast<std::uint8_t>(s.vks.size());
            break;
        case keys::kind::kFunction:
            p.kind = s.kind;
            p.functionName = std::string(keys::functionTable()[s.function].english());
            break;
        case keys::kind::kMacro:
            p.kind = s.kind;
            p.macroNumber = s.macro;
            break;
        case keys::kind::kPlaySound:
        case keys::kind::kStartup:
        case keys::kind::kOpenFile:
        case keys::kind::kOpenFolder:
            p.kind = s.kind;
            p.hostPath = s.path;
            break;
        default:
            p.keyCount = keys::kDefaultKeyCount;
            break;
    }
    return p;
}

// The key's assignment as the key page's OK makes it; the enable bit is set apart.
void assign(const KeySetting& s, keys::LiveKeys live) {
    auto pending = pendingFor(s);
    keys::ApplyContext context;
    context.language = Language::English;
    (void)keys::applyAssignment(pending, live, context);  // checked settings fit
}

// A scratch copy of the keys, to find out which words reproduce a key's cell.
class Trial {
public:
    Trial(const device::DeviceImage& image, const keys::KeyRecordTable& records)
        : image_(image), records_(std::make_unique<keys::KeyRecordTable>(records)) {}

    // True when assigning s leaves the cell that the key holds now.
    bool reproduces(const KeySetting& s) {
        const std::size_t at = keys::matrixCellOffset(s.key);
        const keys::KeyCell before = keys::readCell(image_, at);
        const keys::KeyRecord saved = (*records_)[s.key];
        assign(s, {image_, *records_, marks_});
        const bool same = keys::readCell(image_, at) == before;
        keys::writeCell(image_, at, before);
        (*records_)[s.key] = saved;
        return same;
    }

private:
    device::DeviceImage image_;
    std::unique_ptr<keys::KeyRecordTable> records_;
    keys::ModifiedMarks marks_{};
};

// The words the record was made with.
std::optional<KeySetting> fromRecord(keys::KeyIndex k, const keys::KeyRecord& r) {
    KeySetting s;
    s.key = k;
    s.kind = r.kind;
    switch (r.kind) {
        case keys::kind::kSingle:
            if (r.keyCount != 1 || keyCodeWord(r.bytes[0]).empty()) return std::nullopt;
            s.vks = {r.bytes[0]};
            return s;
        case keys::kind::kCombination:
            if (r.keyCount < 2 || r.keyCount > 3) return std::nullopt;
            for (std::size_t i = 0; i < r.keyCount; ++i) {
                if (keyCodeWord(r.bytes[i]).empty()) return std::nullopt;
                s.vks.push_back(r.bytes[i]);
            }
            return s;
        case keys::kind::kMacro:
            if (r.bytes[0] != keys::cell::kMacro) return std::nullopt;
            s.macro = r.bytes[2];
            return s;
        case keys::kind::kFunction: {
            const auto f = keys::findFunctionByCell({r.bytes[0], r.bytes[1], r.bytes[2], r.bytes[3]});
            if (!f) return std::nullopt;
            s.function = *f;
            return s;
        }
        case keys::kind::kPlaySound:
        case keys::kind::kStartup:
        case keys::kind::kOpenFile:
        case keys::kind::kOpenFolder:
            s.path = keys::hostPath(r);
            if (s.path.empty() || !keys::validateHostPath(s.path)) return std::nullopt;
            return s;
        default:
            return std::nullopt;
    }
}

// A key whose usage is u, preferring the keys of the layout.
std::optional<std::uint8_t> vkOfUsage(std::uint8_t u) {
    if (u == 0) return std::nullopt;
    for (const auto& entry : keys::keyLayout()) {
        if (keys::usageCode(entry.vk) == u && !keyCodeWord(entry.vk).empty()) return entry.vk;
    }
    for (const auto& entry : keys::keyNameTable()) {
        if (entry.usage == u && !keyCodeWord(entry.code).empty()) return entry.code;
    }
    return std::nullopt;
}

// Words read off the cell, for keys whose record does not explain it (a key map read from a
// keyboard that another computer set up).
std::vector<KeySetting> fromCell(keys::KeyIndex k, const keys::KeyCell& c) {
    std::vector<KeySetting> out;
    KeySetting s;
    s.key = k;
    if (c[0] == keys::cell::kMacro && c[1] == 1 && c[3] == 0) {
        s.kind = keys::kind::kMacro;
        s.macro = c[2];
        out.push_back(s);
    }
    if (const auto f = keys::findFunctionByCell(c)) {
        s.kind = keys::kind::kFunction;
        s.function = *f;
        out.push_back(s);
    }
    if (c[0] == keys::cell::kKeyboard || c[0] == keys::cell::kConsumer) {
        if (const auto vk = vkOfUsage(c[2])) {
            s.kind = keys::kind::kSingle;
            s.vks = {*vk};
            out.push_back(s);
        }
    }
    if (c[0] == keys::cell::kKeyboard && c[1] != 0 && c[2] != 0) {
        s.kind = keys::kind::kCombination;
        s.vks.clear();
        for (std::size_t i = 1; i < 4 && c[i] != 0; ++i) {
            const auto vk = vkOfUsage(c[i]);
            if (!vk) break;
            s.vks.push_back(*vk);
        }
        if (s.vks.size() >= 2) out.push_back(s);
    }
    return out;
}

}  // namespace

bool isConfigurableKey(keys::KeyIndex k) {
    return keys::isAssignable(k);
}

Configuration settingsOf(const device::DeviceImage& image) {
    Configuration c;
    const std::uint8_t effect = image[img::kEffect];
    c.lighting.effect = effect;
    c.lighting.brightness = image[img::kBrightness];
    if (keys::lighting::offersSpeed(effect)) c.lighting.speed = image[img::kSpeed];
    // A direction left over from another effect is not one this effect shows.
    const auto directions = keys::lighting::directionsOf(effect);
    if (std::find(directions.begin(), directions.end(), image[img::kDirection]) != directions.end())
        c.lighting.direction = image[img::kDirection];
    c.gameMode = image[img::kGameMode] != 0;
    c.winLock = image[img::kWinLock] != 0;
    c.responseTime = image[img::kResponseTime];
    c.reportRate = image[img::kReportRate];
    return c;
}

Reading readConfiguration(const device::DeviceImage& image, const keys::KeyRecordTable& records,
                          const macros::MacroTable& table) {
    Reading out;
    out.configuration = settingsOf(image);
    Configuration& c = out.configuration;

    Trial trial(image, records);
    for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
        const auto k = static_cast<keys::KeyIndex>(i);
        if (!isConfigurableKey(k)) continue;
        const keys::KeyCell cell = keys::readCell(image, keys::matrixCellOffset(k));
        const bool enabled = keys::keyEnabled(image, k);
        std::optional<KeySetting> chosen;
        if (isFactoryRecord(k, records[k]) && isFactoryCell(k, cell)) {
            if (enabled) continue;
            chosen = KeySetting{};
            chosen->key = k;
        } else {
            auto candidate = fromRecord(k, records[k]);
            if (candidate && trial.reproduces(*candidate)) {
                chosen = std::move(candidate);
            } else if (isFactoryCell(k, cell)) {
                // A record left over without its cell: the key does what it did at the factory.
                chosen = KeySetting{};
                chosen->key = k;
                if (enabled) continue;
            } else {
                for (auto& fromBytes : fromCell(k, cell)) {
                    if (trial.reproduces(fromBytes)) {
                        chosen = std::move(fromBytes);
                        break;
                    }
                }
            }
        }
        if (!chosen) {
            out.leftOut.push_back(verbatim(std::string(keys::legend(k))));
            continue;
        }
        // A key assigned to itself is its factory state where that writes the factory cell.
        if (chosen->kind == keys::kind::kSingle && chosen->vks == std::vector{ownVk(k)} &&
            isFactoryCell(k, cell)) {
            chosen->kind = keys::kind::kNone;
            chosen->vks.clear();
            if (enabled) continue;
        }
        chosen->disabled = !enabled;
        c.keys.push_back(std::move(*chosen));
    }

    for (std::size_t m = 0; m < kDiyMaps; ++m) {
        for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
            const auto k = static_cast<keys::KeyIndex>(i);
            if (keys::lighting::diyLightOn(image, m, k)) c.diy[m].push_back(k);
        }
    }

    const std::size_t inUse = table.countInUse();
    for (std::size_t i = 0; i < inUse && i < macros::kMaxMacrosInUse; ++i) {
        c.macros.push_back(table[i]);
    }
    for (std::size_t i = macros::kMaxMacrosInUse; i < inUse; ++i) {
        out.leftOut.push_back(makeError(TR_TEXT("Config", "macro %1 \"%2\""), std::to_string(i),
                                        macros::utf16ToUtf8(table[i].name())));
    }
    // A key playing a macro the table no longer holds (deleted since) has nothing to name.
    std::erase_if(c.keys, [&](const KeySetting& s) {
        if (s.kind != keys::kind::kMacro || s.macro < c.macros.size()) return false;
        out.leftOut.push_back(makeError(TR_TEXT("Config", "%1 (macro %2)"),
                                        std::string(keys::legend(s.key)), std::to_string(s.macro)));
        return true;
    });
    return out;
}

void applyConfiguration(const Configuration& c, device::DeviceImage& image,
                        keys::KeyRecordTable& records, macros::MacroTable& table) {
    image[img::kEffect] = c.lighting.effect;
    if (c.lighting.speed) image[img::kSpeed] = *c.lighting.speed;
    image[img::kBrightness] = c.lighting.brightness;
    if (c.lighting.direction) image[img::kDirection] = *c.lighting.direction;
    image[img::kGameMode] = c.gameMode ? 1 : 0;
    image[img::kWinLock] = c.winLock ? 1 : 0;
    image[img::kResponseTime] = c.responseTime;
    image[img::kReportRate] = c.reportRate;

    keys::ModifiedMarks marks{};
    const keys::LiveKeys live{image, records, marks};
    for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
        const auto k = static_cast<keys::KeyIndex>(i);
        if (!isConfigurableKey(k)) continue;
        const auto named = std::find_if(c.keys.begin(), c.keys.end(),
                                        [k](const KeySetting& s) { return s.key == k; });
        KeySetting setting;
        setting.key = k;
        if (named != c.keys.end()) setting = *named;
        const bool factory = isFactoryRecord(k, records[k]) &&
                             isFactoryCell(k, keys::readCell(image, keys::matrixCellOffset(k)));
        if (setting.kind != keys::kind::kNone || !factory) assign(setting, live);
        keys::setKeyEnabled(image, k, !setting.disabled);
    }

    for (std::size_t m = 0; m < kDiyMaps; ++m) {
        for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
            const auto k = static_cast<keys::KeyIndex>(i);
            const bool lit = std::find(c.diy[m].begin(), c.diy[m].end(), k) != c.diy[m].end();
            // A colour already lit keeps its bytes.
            if (lit != keys::lighting::diyLightOn(image, m, k)) {
                keys::lighting::setDiyLight(image, m, k, lit);
            }
        }
    }

    table = macros::MacroTable();
    for (std::size_t i = 0; i < c.macros.size() && i < macros::kMaxMacrosInUse; ++i) {
        table[i] = c.macros[i];
    }
    macros::packMacroSlots(table, image);
}

}  // namespace tessaron::config

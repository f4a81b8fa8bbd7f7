#include "macros/macro_manager.h"

#include <algorithm>
#include <cstdio>

#include "macros/macro_messages.h"

namespace tessaron::macros {

std::string newMacroName(int i) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, i <= 9 ? "Macro_00%d" : "Macro_0%d", i);
    return buffer;
}

MacroManager::MacroManager(const MacroTable& committed, KeyHook& hook, const Clock& clock)
    : working_(committed), hook_(hook), clock_(clock), frequency_(clock.counterFrequency()) {
    if (working_.countInUse() > 0) select(0);
}

MacroManager::~MacroManager() {
    removeHook();
}

std::vector<std::string> MacroManager::macroNames() const {
    std::vector<std::string> names;
    const std::size_t n = working_.countInUse();
    for (std::size_t i = 0; i < n; ++i) names.push_back(utf16ToUtf8(working_[i].name()));
    return names;
}

void MacroManager::select(std::optional<std::size_t> index) {
    lines_.clear();
    selectedLine_.reset();
    if (!index || *index >= working_.countInUse()) {
        selected_.reset();
        streams_.clear();
        appendPos_ = 0;
        return;
    }
    selected_ = index;
    const MacroRecord& rec = working_[*index];
    recordDelay_ = (rec.delayFlag() & 1) != 0;
    const std::uint16_t loops = rec.loopCount();
    loopsOn_ = loops > 1;
    loopText_ = std::to_string(loops);  // as stored: a 0 is not shown as 1
    loadRecord(*index);
}

bool MacroManager::restore(const MacroTable& table, std::optional<std::size_t> selected) {
    if (hookInstalled_) return false;
    working_ = table;
    select(selected);
    return true;
}

void MacroManager::loadRecord(std::size_t index) {
    streams_.host = working_[index].hostStream();
    streams_.device = working_[index].deviceStream();
    clearPastEnd(streams_);
    appendPos_ = streamEnd(streams_.host);
    rebuildLines();
}

void MacroManager::rebuildLines() {
    lines_ = eventLines(streams_.host);
    selectedLine_.reset();
}

std::uint16_t MacroManager::fieldLoopCount() const {
    unsigned long value = 0;
    for (char c : loopText_) value = value * 10 + static_cast<unsigned long>(c - '0');
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

void MacroManager::storeCurrent() {
    if (!selected_) return;
    MacroRecord& rec = working_[*selected_];
    rec.setLoopCount(loopsOn_ ? fieldLoopCount() : 1);
    rec.setDelayFlag(recordDelay_);
    rec.setDeviceStream(streams_.device);
    rec.setHostStream(streams_.host);
}

void MacroManager::afterEdit() {
    appendPos_ = streamEnd(streams_.host);
    rebuildLines();
    storeCurrent();
}

void MacroManager::removeHook() {
    if (!hookInstalled_) return;
    hook_.remove();
    hookInstalled_ = false;
}

void MacroManager::newMacro() {
    const std::size_t n = working_.countInUse();
    if (n >= kMaxMacrosInUse) return;
    const auto names = macroNames();
    int i = 1;
    while (std::find(names.begin(), names.end(), newMacroName(i)) != names.end()) ++i;

    working_[n].clear();
    working_[n].setName(utf8ToUtf16(newMacroName(i)));
    selected_ = n;
    lines_.clear();
    selectedLine_.reset();
    streams_.clear();
    appendPos_ = 0;
    recording_ = false;
    insertMode_ = false;
    loopText_ = "1";
    removeHook();
    recordDelay_ = false;
    loopsOn_ = false;
    // Nothing is stored yet: the record stays cleared but for its name until the first edit.
}

Status MacroManager::deleteMacro() {
    if (!selected_) return messages::selectToDelete();
    const std::size_t s = *selected_;
    const std::size_t n = working_.countInUse();
    for (std::size_t i = s; i + 1 < kTableRecords; ++i) working_[i] = working_[i + 1];
    working_[kTableRecords - 1].clear();
    working_[n - 1].clear();

    if (n >= 2) {
        select(std::min(s, n - 2));
    } else {
        select(std::nullopt);
    }
    removeHook();
    recording_ = false;
    insertMode_ = false;
    return {};
}

Status MacroManager::rename(std::size_t index, std::string_view name) {
    if (index >= working_.countInUse()) return messages::noMacroSelected();
    auto units = utf8ToUtf16(name);
    // The stored name ends at a NUL; a leading one would empty it and hide this macro and every
    // later one, so only what would be stored is judged.
    units.resize(std::min(units.size(), units.find(u'\0')));
    if (units.empty()) return messages::emptyName();
    if (units.size() > record::kNameMaxUnits) return messages::nameTooLong();
    working_[index].setName(units);
    return {};
}

void MacroManager::toggleRecordDelay() {
    recordDelay_ = !recordDelay_;
    storeCurrent();
}

void MacroManager::toggleLoops() {
    loopsOn_ = !loopsOn_;
    if (!loopsOn_) loopText_ = "1";
    storeCurrent();
}

Status MacroManager::setLoopCountText(std::string_view text) {
    if (text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return messages::badLoopCount();
    }
    loopText_ = std::string(text);
    storeCurrent();
    return {};
}

void MacroManager::editBegins() {
    removeHook();
    recording_ = false;
}

MacroTable MacroManager::accept() {
    removeHook();
    // Every edit is stored when made; only a loop count typed last is left to take. A macro the
    // user did not touch keeps every byte.
    if (selected_ && loopsOn_) working_[*selected_].setLoopCount(fieldLoopCount());
    return working_;
}

}  // namespace tessaron::macros

#pragma once
// The macro manager without its window: the working macro table, the selected macro's working
// streams and event lines, the recorder, and every editing operation. The window turns its
// buttons, menu commands and hook messages into these calls and shows the errors they return.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/result.h"
#include "macros/event_lines.h"
#include "macros/event_stream.h"
#include "macros/key_hook.h"
#include "macros/macro_record.h"

namespace tessaron::macros {

enum class KeyAction { Press, Release };
enum class MouseButton : std::uint8_t {
    Left = kMouseLeft,
    Right = kMouseRight,
    Middle = kMouseMiddle
};
enum class MouseAction { Down, Up, Click };

class MacroManager {
public:
    // Opens on a copy of the committed table and selects the first macro, if any. The counter
    // frequency is read once here.
    MacroManager(const MacroTable& committed, KeyHook& hook, const Clock& clock);
    ~MacroManager();
    MacroManager(const MacroManager&) = delete;
    MacroManager& operator=(const MacroManager&) = delete;

    // --- What the window shows.
    [[nodiscard]] const MacroTable& workingTable() const { return working_; }
    // The macro list: the names of the macros in use, in table order (UTF-8).
    [[nodiscard]] std::vector<std::string> macroNames() const;
    [[nodiscard]] std::optional<std::size_t> selectedMacro() const { return selected_; }
    [[nodiscard]] const StreamPair& streams() const { return streams_; }
    [[nodiscard]] const std::vector<EventLine>& lines() const { return lines_; }
    // The event line the recorder selected last (the newest one); nothing after a rebuild.
    [[nodiscard]] std::optional<std::size_t> selectedLine() const { return selectedLine_; }
    [[nodiscard]] bool recording() const { return recording_; }
    [[nodiscard]] bool hookInstalled() const { return hookInstalled_; }
    [[nodiscard]] bool insertMode() const { return insertMode_; }
    [[nodiscard]] std::size_t insertLine() const { return insertLine_; }
    [[nodiscard]] bool recordDelay() const { return recordDelay_; }
    [[nodiscard]] bool loopsOn() const { return loopsOn_; }
    [[nodiscard]] const std::string& loopCountText() const { return loopText_; }
    [[nodiscard]] std::size_t appendPosition() const { return appendPos_; }

    // --- The macro list.
    void select(std::optional<std::size_t> index);
    // A table of an earlier moment (undo) with its selection. Refused while the hook holds the
    // keyboard: what it records would go into a macro no longer there.
    bool restore(const MacroTable& table, std::optional<std::size_t> selected);
    // Adds "Macro_0nn" with the first free number and selects it; with 32 macros nothing happens.
    void newMacro();
    // Deletes the selected macro (the window has asked "Confirm to delete?" first); later macros
    // move down by one.
    Status deleteMacro();
    // An in-place rename of macro-list line index. Empty and over-long names are refused.
    Status rename(std::size_t index, std::string_view name);

    // --- Options.
    void toggleRecordDelay();
    void toggleLoops();
    // The loop-count field: digits only, at most 3; empty means 0.
    Status setLoopCountText(std::string_view text);

    // --- Recording.
    // The Start/Stop Recording button.
    Status toggleRecording();
    // A keystroke from the hook; the time is read from the clock's counter, or given, or the
    // counter less `late` (the hook holds a release back a moment to tell it from a repeat).
    Status keystroke(std::uint8_t vk, KeyAction action);
    Status keystroke(std::uint8_t vk, KeyAction action, std::int64_t counter);
    Status keystroke(std::uint8_t vk, KeyAction action, std::chrono::nanoseconds late);
    // An in-place edit has started: the hook goes and recording stops.
    void editBegins();

    // --- The event list's context menu; s is the selected event line.
    Status insertBefore(std::size_t s);
    Status insertAfter(std::size_t s);
    Status insertMouseKey(std::size_t s, MouseButton button, MouseAction action);
    Status insertDelay(std::size_t s);
    Status deleteLine(std::size_t s);
    // An in-place delay edit committed on a delay line; the value is kept within 2..60000 ms.
    Status editDelay(std::size_t line, std::int64_t delayMs);

    // --- OK: the hook goes and the working table is handed back to become the committed one.
    MacroTable accept();

private:
    void loadRecord(std::size_t index);
    void storeCurrent();
    [[nodiscard]] std::uint16_t fieldLoopCount() const;
    void rebuildLines();
    void afterEdit();
    void removeHook();
    void endInsertMode();
    Status appendRecorded(std::uint8_t vk, bool release, std::int64_t counter);
    Status insertKeystroke(std::uint8_t vk, bool release);
    std::uint16_t elapsedMs(std::int64_t counter);

    MacroTable working_;
    KeyHook& hook_;
    const Clock& clock_;

    std::optional<std::size_t> selected_;
    StreamPair streams_;
    std::vector<EventLine> lines_;
    std::optional<std::size_t> selectedLine_;

    bool recording_ = false;
    bool hookInstalled_ = false;
    bool insertMode_ = false;
    std::size_t insertLine_ = 0;
    std::size_t appendPos_ = 0;
    std::string lastEventText_;
    std::int64_t frequency_ = 0;
    std::int64_t lastCounter_ = 0;

    bool recordDelay_ = false;
    bool loopsOn_ = false;
    std::string loopText_ = "1";
};

// "Macro_001" .. "Macro_009", "Macro_010" .. : the name New gives the i-th macro.
std::string newMacroName(int i);

}  // namespace tessaron::macros

#pragma once
// The macro manager window on the offscreen platform: a window over a committed table, with a
// fake clock, message boxes that only record, and keystrokes sent as the hook sends them.

#include <QPoint>
#include <QStringList>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/macro_manager/macro_manager_dlg.h"
#include "macros/macro_record.h"
#include "macros/macro_test_support.h"
#include "support/fake_clock.h"
#include "ui/geometry.h"

class QAction;
class QMenu;

namespace tessaron::app::testing {

class RecordingPrompts final : public MacroManagerPrompts {
public:
    void inform(const Error& caption, const Error& text) override {
        shown.push_back({caption.english, text.english});
    }
    bool confirm(const Error& caption, const Error& text) override {
        asked.push_back({caption.english, text.english});
        return answerOk;
    }
    struct Box {
        std::string caption;
        std::string text;
    };
    std::vector<Box> shown;
    std::vector<Box> asked;
    bool answerOk = true;
};

// Records with the given names; each is empty.
macros::MacroTable tableWith(const std::vector<std::string>& names);
using macros::testing::deviceFor;
using macros::testing::streamOf;

// The generated images of the macro manager, in the given language.
QString imageFolderFor(Language lang);

class ManagerRig {
public:
    explicit ManagerRig(const macros::MacroTable& committed, Language lang = Language::English);
    ~ManagerRig();

    // A left click on a window point (a button area, an option box).
    void click(QPoint pos);
    void click(const ui::Rect& area) { click(area.centre()); }
    // One keystroke as the hook delivers it.
    void key(std::uint8_t vk, bool release);
    void type(std::uint8_t vk) {
        key(vk, false);
        key(vk, true);
    }
    void advanceMs(int ms);
    // Selects an event line and runs the menu item found under the given labels.
    void menu(int line, const QStringList& path);
    [[nodiscard]] QStringList eventTexts() const;
    [[nodiscard]] QStringList macroTexts() const;
    // The model's lines, as the list must show them.
    [[nodiscard]] QStringList modelLines() const;

    macros::MacroTable committed;
    FakeClock clock;
    RecordingPrompts prompts;
    std::unique_ptr<CMacroRecordDlg> dlg;
};

}  // namespace tessaron::app::testing

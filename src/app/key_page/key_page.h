#pragma once
// The key customization page, CKeyMap: a modal, borderless page drawn from the images of the
// "Custom" folder, on which the user chooses what one key does. It fills the pending assignment
// and ends with OK or Cancel; the main window applies the result. Keystrokes come from the
// keyboard-hook library while the page is open.

#include <QDialog>
#include <QPoint>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "app/key_page/key_page_model.h"
#include "core/clock.h"
#include "core/language.h"
#include "keys/assignment.h"
#include "keys/key_record.h"
#include "macros/macro_record.h"
#include "ui/accessible_areas.h"
#include "ui/accessible_keys.h"
#include "ui/window_drag.h"

class QLineEdit;
class QListWidget;

namespace tessaron::ui {
class VividTree;
}

namespace tessaron::app {

class KeyPageDialogs;

// Area ids of the page beyond its button numbers (key_page::button).
namespace key_page::area {
inline constexpr int kHeader = 19;
inline constexpr int kSingle = 20;
inline constexpr int kCombination = 21;
inline constexpr int kMacroList = 22;
inline constexpr int kTree = 23;
inline constexpr int kRow = 30;     // + row
inline constexpr int kBrowse = 40;  // + row
}  // namespace key_page::area

struct KeyPageSetup {
    QString imageFolder;  // the page's image folder ("png/<language>/Custom/"), ending in '/'
    Language language = Language::English;
    // selectedKey and selectedVk name the key; the rest is filled by the page.
    keys::PendingAssignment* pending = nullptr;
    // The selected key's record is read when the page opens and replaced on OK.
    keys::KeyRecordTable* records = nullptr;
    bool keyEnabled = true;                      // the key's bit in the key enable bitmap
    const macros::MacroTable* macros = nullptr;  // for the names of the macros in use
    KeyPageDialogs* dialogs = nullptr;           // null: Qt's own choosers and message boxes
    Clock* clock = nullptr;                      // times the capture's quiet moment; null: real
};

class CKeyMap final : public QDialog, public ui::PaintedAreaSource {
    Q_OBJECT

public:
    // Used when the background image cannot be loaded, so the page stays usable.
    static constexpr QSize kFallbackSize{326, 276};

    explicit CKeyMap(const KeyPageSetup& setup, QWidget* parent = nullptr);
    ~CKeyMap() override;
    CKeyMap(const CKeyMap&) = delete;
    CKeyMap& operator=(const CKeyMap&) = delete;

    // ---- For the window's tests and screenshots.
    [[nodiscard]] const key_page::KeyPageModel& model() const { return model_; }
    [[nodiscard]] QLineEdit* singleField() const { return single_; }
    [[nodiscard]] QLineEdit* combinationField() const { return combination_; }
    [[nodiscard]] QListWidget* macroList() const { return macroList_; }
    [[nodiscard]] ui::VividTree* functionTree() const { return tree_; }
    [[nodiscard]] int hoveredButton() const { return hovered_; }
    [[nodiscard]] bool hookInstalled() const { return model_.hookInstalled(); }
    // A capture field takes every key until the keys typed into it are all let go (the single
    // field), or have been up for kCaptureQuiet (the combination field, typed one key after
    // another or held together).
    [[nodiscard]] bool listening() const { return listening_; }
    static constexpr std::chrono::milliseconds kCaptureQuiet{1000};

    // ---- Painted areas, for screen readers and the keyboard (key_page_accessible.cpp).
    // The page's areas (key_page_areas.cpp): one table, read by the paint for the names it
    // writes and by screen readers and the keyboard. Clicks go to the model by their point.
    [[nodiscard]] std::vector<ui::WindowArea> areaTable() const;
    [[nodiscard]] std::vector<ui::PaintedArea> paintedAreas() const override;
    [[nodiscard]] static QString areaName(const std::vector<ui::WindowArea>& areas, int id);
    void activatePaintedArea(int id) override;
    [[nodiscard]] int focusedPaintedArea() const override { return keyboard_.current(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void done(int result) override;

private:
    Clock& clock() const { return setup_.clock ? *setup_.clock : SystemClock::instance(); }
    class Host;

    void createControls();
    void fillTree();
    void syncControls();
    void finish(key_page::Outcome outcome);
    void removeHook();
    void paintAdvanceTab(QPainter& p) const;
    [[nodiscard]] bool isFreeSpot(QPoint at) const;
    // A keystroke from the hook as the keyboard's way through the page; false when it is for
    // the model (a key to capture).
    bool keyboardKey(std::uint8_t vk, bool release);
    // Arrows inside the macro list and the function tree, which the hook keeps keys from.
    bool stepInWidget(int qtKey);
    // A click's release at a client point, as the page's rules take it.
    key_page::Outcome releaseAt(QPoint at);
    // Where the keyboard starts: the field of the assignment shown.
    [[nodiscard]] int startArea() const;

    KeyPageSetup setup_;
    keys::KeyRecord* record_ = nullptr;
    key_page::KeyPageModel model_;
    std::unique_ptr<KeyPageDialogs> ownDialogs_;
    KeyPageDialogs* dialogs_ = nullptr;
    std::unique_ptr<Host> host_;

    QLineEdit* single_ = nullptr;
    QLineEdit* combination_ = nullptr;
    QListWidget* macroList_ = nullptr;
    ui::VividTree* tree_ = nullptr;

    int hovered_ = -1;        // button under the pointer
    int hoveredBrowse_ = -1;  // Advance row whose browse button is under the pointer
    bool syncing_ = false;    // the page itself is changing its controls
    ui::WindowDrag drag_;

    ui::AreaKeyboard keyboard_{this};
    bool listening_ = false;
    std::vector<std::uint8_t> held_;       // keys down, as the hook reported them
    std::vector<std::uint8_t> capturing_;  // keys down that went to the capture
    std::vector<std::uint8_t> deferred_;   // modifiers down before a key to capture or move by
    Clock::TimePoint allUpAt_;  // when the captured keys were last all up
    bool capturedAny_ = false;  // a key went to the capture since it began listening
};

}  // namespace tessaron::app

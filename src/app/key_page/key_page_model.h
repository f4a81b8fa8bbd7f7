#pragma once
// The key page without its window: tabs, fields, lists and the Advance rows as plain state, and
// the rules by which clicks, keystrokes and field focus fill the pending assignment. The window
// (CKeyMap) draws this state and feeds it events, so every rule can be exercised without one.
//
// The page edits a draft of the selected key's record. Tab changes alter the draft at once; the
// draft replaces the live record only when the page ends with OK, so a cancelled page leaves
// the key exactly as it was.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/language.h"
#include "keys/assignment.h"
#include "keys/host_action.h"
#include "keys/key_record.h"
#include "macros/macro_record.h"
#include "ui/geometry.h"

namespace tessaron::app::key_page {

enum class Tab : std::uint8_t { SingleCombine = 0, Macro = 1, Basic = 2, Advance = 3 };
inline constexpr int kTabCount = 4;

// Rows of the Advance tab; the chosen kind of row r is kind::kPlaySound + r.
inline constexpr int kRowCount = 4;
inline constexpr std::uint8_t kNoRow = 255;
inline constexpr std::uint8_t kNoMarker = 255;  // the row marker is 4 x row
inline constexpr std::uint8_t kMarkerStep = 4;

namespace button {
inline constexpr int kClose = 0;
inline constexpr int kTabSingle = 1;  // tabs 0..3 are buttons 1..4
inline constexpr int kTabMacro = 2;
inline constexpr int kTabBasic = 3;
inline constexpr int kTabAdvance = 4;
inline constexpr int kTabStrip = 5;  // the picture under the tabs; does nothing
inline constexpr int kDisable = 6;
inline constexpr int kDefault = 7;
inline constexpr int kCancel = 8;
inline constexpr int kSave = 9;
inline constexpr int kCount = 10;
}  // namespace button

// Client rectangles, as the hit tests use them.
inline constexpr std::array<ui::Rect, button::kCount> kButtonRects{{
    {303, 2, 318, 17},
    {0, 31, 81, 57},
    {81, 31, 162, 57},
    {162, 31, 243, 57},
    {243, 31, 324, 57},
    {0, 30, 325, 36},
    {19, 251, 29, 260},
    {156, 246, 197, 268},
    {210, 246, 251, 268},
    {264, 246, 305, 268},
}};
// The Disable box is small, so its hit area reaches this far beyond its picture.
inline constexpr int kDisableHitMargin = 5;

// The button under a client point: the Disable box (widened) first, then 0..9 in order.
std::optional<int> buttonAt(int x, int y);

enum class SubItemRole : std::uint8_t { Radio = 0, Label = 1, PathBox = 2, Browse = 3 };
struct SubItem {
    int row = 0;
    SubItemRole role = SubItemRole::Radio;
    friend bool operator==(const SubItem&, const SubItem&) = default;
};
inline constexpr int kRowPitch = 30;
ui::Rect subItemRect(int row, SubItemRole role);
// The Advance sub-item under a client point, tested row by row in the order radio, label, path
// box, browse button.
std::optional<SubItem> advanceSubItemAt(int x, int y);

// The path box shows a long path as ".." and its last component.
inline constexpr std::size_t kPathBoxMaxChars = 13;
// Paths of at most 13 characters unchanged; longer ones as ".." followed by the text from the
// last separator that is not the final character; nothing when there is no such separator.
std::string pathBoxText(std::string_view path, char separator = keys::kPathSeparator);

// The Basic tab's tree: 23 functions, three of them grouped under categories.
struct TreeItem {
    std::string text;
    int parent = -1;  // index of the category item, -1 at top level
    bool category = false;
};
std::vector<TreeItem> functionTreeItems(Language lang);
// Category texts in either language ("Media", "多媒体", "Shortcut", "快捷健", "Windows").
bool isCategoryText(std::string_view text);

// The names of the macros in use, in table order (list position = macro number).
std::vector<std::string> macroNamesInUse(const macros::MacroTable& table);

enum class Field : std::uint8_t { Single, Combination, MacroList };

enum class Chooser : std::uint8_t { Sound, Program, File, Folder };

// What the rules need of the window around them.
class PageHost {
public:
    virtual ~PageHost() = default;
    // Runs the chooser; the chosen path (UTF-8), or nothing when the user made no usable choice.
    // The host tells the user itself why a choice was not usable.
    virtual std::optional<std::string> choose(Chooser chooser) = 0;
    // A message box owned by the page.
    virtual void showMessage(const std::string& text) = 0;
};

enum class Outcome : std::uint8_t { Stay, Ok, Cancel };

class KeyPageModel {
public:
    // pending.selectedKey names the key; its record is copied into the draft.
    KeyPageModel(keys::PendingAssignment& pending, const keys::KeyRecord& record, Language lang,
                 std::vector<std::string> macroNames);

    // Opening: resets the pending assignment and the page, loads the draft record and the
    // key's enable bit.
    void open(bool keyEnabled);
    void setHookInstalled(bool installed) { hookInstalled_ = installed; }
    [[nodiscard]] bool hookInstalled() const { return hookInstalled_; }

    // WM_MACRO_KEY with a virtual-key code; ignored without the hook.
    void keystroke(std::uint8_t vk);
    // The user moved the keyboard focus into a field.
    void singleFieldFocused();
    void combinationFieldFocused();
    // Left button released at a client point on the page itself.
    Outcome release(int x, int y, PageHost& host);

    void selectTreeItem(std::optional<std::size_t> item) { treeSelection_ = item; }
    void selectMacro(int entry) { macroSelection_ = entry; }

    // The field the page wants the keyboard focus in; cleared by taking it.
    std::optional<Field> takeFocusRequest();

    [[nodiscard]] Tab tab() const { return tab_; }
    [[nodiscard]] bool disabled() const { return disabled_; }
    [[nodiscard]] std::uint8_t advanceRow() const { return advanceRow_; }
    [[nodiscard]] std::uint8_t rowMarker() const { return rowMarker_; }
    [[nodiscard]] bool restoring() const { return restoring_; }
    // Whether row r draws its radio as chosen.
    [[nodiscard]] bool rowLit(int row) const;
    [[nodiscard]] const std::string& singleText() const { return singleText_; }
    [[nodiscard]] const std::string& combinationText() const { return combinationText_; }
    [[nodiscard]] const std::vector<TreeItem>& treeItems() const { return tree_; }
    [[nodiscard]] std::optional<std::size_t> treeSelection() const { return treeSelection_; }
    // The category opened at the start: the parent of the item selected when the page opened.
    [[nodiscard]] std::optional<std::size_t> expandedCategory() const { return expanded_; }
    [[nodiscard]] const std::vector<std::string>& macroNames() const { return macroNames_; }
    [[nodiscard]] int macroSelection() const { return macroSelection_; }
    // The text of the chosen row's path box; empty without a chosen row.
    [[nodiscard]] std::string pathBox() const;

    [[nodiscard]] const keys::PendingAssignment& pending() const { return pending_; }
    [[nodiscard]] const keys::KeyRecord& draft() const { return draft_; }

private:
    void handleButton(int b, Outcome& outcome, PageHost& host);
    void handleAdvance(int x, int y, PageHost& host);
    void clearCaptured();
    void emptyFields();
    bool runChooser(Chooser chooser, PageHost& host);
    [[nodiscard]] std::uint8_t countCapturedKeys() const;

    keys::PendingAssignment& pending_;
    keys::KeyRecord draft_;
    Language lang_;
    std::vector<std::string> macroNames_;
    std::vector<TreeItem> tree_;

    Tab tab_ = Tab::SingleCombine;
    bool disabled_ = false;
    std::uint8_t advanceRow_ = kNoRow;
    std::uint8_t rowMarker_ = kNoMarker;
    bool restoring_ = false;
    bool hookInstalled_ = false;
    std::uint8_t lastPress_ = 0;  // the previous keystroke of the combination being typed

    std::string singleText_;
    std::string combinationText_;
    std::optional<std::size_t> treeSelection_;
    std::optional<std::size_t> expanded_;
    int macroSelection_ = -1;
    std::optional<Field> focusRequest_;
};

}  // namespace tessaron::app::key_page

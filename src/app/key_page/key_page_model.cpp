#include "app/key_page/key_page_model.h"

#include <algorithm>
#include <span>

#include "core/text.h"
#include "keys/functions.h"
#include "keys/key_names.h"

namespace tessaron::app::key_page {
namespace {

using keys::kind::kNone;

// Where the function table's entries fall in the tree: the categories and the run of functions
// each one holds.
struct Category {
    Text name;
    std::size_t firstFunction;
    std::size_t functionCount;
};
constexpr std::array<Category, 3> kCategories{{
    {TR_TEXT("KeyPage", "Media"), 2, 8},
    {TR_TEXT("KeyPage", "Shortcut"), 10, 7},
    {TR_TEXT("KeyPage", "Windows"), 17, 2},
}};

constexpr ui::Rect kSubItemRow0[kRowCount] = {
    {15, 72, 25, 81},
    {30, 69, 72, 84},
    {83, 68, 243, 83},
    {256, 68, 302, 83},
};

std::size_t utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

constexpr std::size_t kMaxCombination = 3;

}  // namespace

std::optional<int> buttonAt(int x, int y) {
    if (kButtonRects[button::kDisable].grown(kDisableHitMargin).contains(x, y)) {
        return button::kDisable;
    }
    for (int b = 0; b < button::kCount; ++b) {
        if (kButtonRects[static_cast<std::size_t>(b)].contains(x, y)) return b;
    }
    return std::nullopt;
}

ui::Rect subItemRect(int row, SubItemRole role) {
    ui::Rect r = kSubItemRow0[static_cast<int>(role)];
    r.top += kRowPitch * row;
    r.bottom += kRowPitch * row;
    return r;
}

std::optional<SubItem> advanceSubItemAt(int x, int y) {
    for (int row = 0; row < kRowCount; ++row) {
        for (int role = 0; role < kRowCount; ++role) {
            const SubItem item{row, static_cast<SubItemRole>(role)};
            if (subItemRect(row, item.role).contains(x, y)) return item;
        }
    }
    return std::nullopt;
}

std::string pathBoxText(std::string_view path, char separator) {
    if (utf8Length(path) <= kPathBoxMaxChars) return std::string(path);
    if (path.size() < 2) return {};
    const auto at = path.rfind(separator, path.size() - 2);
    if (at == std::string_view::npos) return {};
    return ".." + std::string(path.substr(at));
}

std::vector<TreeItem> functionTreeItems(Language lang) {
    const auto functions = keys::functionTable();
    std::vector<TreeItem> items;
    std::size_t f = 0;
    while (f < functions.size()) {
        const auto category = std::find_if(kCategories.begin(), kCategories.end(),
                                           [f](const Category& c) { return c.firstFunction == f; });
        if (category == kCategories.end()) {
            items.push_back({std::string(functions[f].name(lang)), -1, false});
            ++f;
            continue;
        }
        const int parent = static_cast<int>(items.size());
        items.push_back({translate(lang, category->name), -1, true});
        for (std::size_t i = 0; i < category->functionCount; ++i, ++f) {
            items.push_back({std::string(functions[f].name(lang)), parent, false});
        }
    }
    return items;
}

bool isCategoryText(std::string_view text) {
    return std::any_of(kCategories.begin(), kCategories.end(), [text](const Category& c) {
        return text == c.name.source || text == translate(Language::Chinese, c.name);
    });
}

std::vector<std::string> macroNamesInUse(const macros::MacroTable& table) {
    std::vector<std::string> names;
    const std::size_t n = table.countInUse();
    names.reserve(n);
    for (std::size_t i = 0; i < n; ++i) names.push_back(macros::utf16ToUtf8(table[i].name()));
    return names;
}

KeyPageModel::KeyPageModel(keys::PendingAssignment& pending, const keys::KeyRecord& record,
                           Language lang, std::vector<std::string> macroNames)
    : pending_(pending),
      draft_(record),
      lang_(lang),
      macroNames_(std::move(macroNames)),
      tree_(functionTreeItems(lang)) {}

void KeyPageModel::open(bool keyEnabled) {
    pending_.clearChoice();
    tab_ = Tab::SingleCombine;
    advanceRow_ = kNoRow;
    rowMarker_ = kNoMarker;
    restoring_ = false;
    singleText_.clear();
    combinationText_.clear();
    macroSelection_ = -1;
    treeSelection_.reset();
    expanded_.reset();
    lastPress_ = 0;

    const std::uint8_t kind = draft_.kind;
    pending_.kind = kind;
    // 255 would read as the Default button; only a damaged file can hold it.
    pending_.keyCount = draft_.keyCount == keys::kDefaultKeyCount ? 0 : draft_.keyCount;

    if (kind == keys::kind::kFunction) {
        keys::KeyCell cell{};
        std::copy_n(draft_.bytes.begin(), cell.size(), cell.begin());
        if (const auto f = keys::findFunctionByCell(cell)) {
            pending_.functionName = std::string(keys::functionTable()[*f].name(lang_));
        }
    }
    if (!pending_.functionName.empty()) {
        for (std::size_t i = 0; i < tree_.size(); ++i) {
            if (tree_[i].text != pending_.functionName) continue;
            treeSelection_ = i;
            if (tree_[i].parent >= 0) expanded_ = static_cast<std::size_t>(tree_[i].parent);
            break;
        }
    }

    switch (kind) {
        case keys::kind::kSingle:
            singleText_ = std::string(keys::keyName(draft_.bytes[0]));
            focusRequest_ = Field::Single;
            singleFieldFocused();
            pending_.capturedKeys = draft_.bytes;
            restoring_ = true;
            break;
        case keys::kind::kCombination:
            combinationText_ = keys::joinKeyNames(std::span(draft_.bytes).first(kMaxCombination));
            focusRequest_ = Field::Combination;
            combinationFieldFocused();
            pending_.capturedKeys = draft_.bytes;
            restoring_ = true;
            break;
        case keys::kind::kMacro:
            if (draft_.bytes[0] == keys::cell::kMacro) {
                tab_ = Tab::Macro;
                focusRequest_ = Field::MacroList;
                const std::size_t entry = draft_.bytes[keys::kCellValueByte];
                macroSelection_ = entry < macroNames_.size() ? static_cast<int>(entry) : -1;
            }
            break;
        case keys::kind::kFunction:
            tab_ = Tab::Basic;
            break;
        case keys::kind::kPlaySound:
        case keys::kind::kStartup:
        case keys::kind::kOpenFile:
        case keys::kind::kOpenFolder:
            tab_ = Tab::Advance;
            pending_.hostPath = keys::hostPath(draft_);
            advanceRow_ = static_cast<std::uint8_t>(kind - keys::kind::kPlaySound);
            break;
        default:
            break;
    }

    disabled_ = !keyEnabled;
    pending_.enabled = keyEnabled;
}

void KeyPageModel::clearCaptured() {
    pending_.keyCount = 0;
    pending_.capturedKeys.fill(0);
    lastPress_ = 0;
}

void KeyPageModel::emptyFields() {
    singleText_.clear();
    combinationText_.clear();
}

void KeyPageModel::keystroke(std::uint8_t vk) {
    if (!hookInstalled_) return;
    if (pending_.kind == keys::kind::kSingle) {
        clearCaptured();
        pending_.capturedKeys[0] = vk;
        pending_.keyCount = 1;
        singleText_ = std::string(keys::keyName(vk));
    } else if (pending_.kind == keys::kind::kCombination) {
        // A held key repeats; holding a modifier while typing the rest must not fill the
        // combination with it.
        if (pending_.keyCount > 0 && vk == lastPress_) return;
        // A fourth key, or the first one after a stored combination was shown, starts over, so
        // what is saved is exactly what the field shows.
        if (pending_.keyCount == 0 || pending_.keyCount >= kMaxCombination) clearCaptured();
        pending_.capturedKeys[pending_.keyCount] = vk;
        ++pending_.keyCount;
        lastPress_ = vk;
        combinationText_ =
            keys::joinKeyNames(std::span(pending_.capturedKeys).first(pending_.keyCount));
    }
}

void KeyPageModel::singleFieldFocused() {
    if (restoring_ && pending_.kind == keys::kind::kSingle) {
        restoring_ = false;
        return;
    }
    pending_.kind = keys::kind::kSingle;
    clearCaptured();
    combinationText_.clear();
}

void KeyPageModel::combinationFieldFocused() {
    if (restoring_ && pending_.kind == keys::kind::kCombination) {
        restoring_ = false;
        return;
    }
    pending_.kind = keys::kind::kCombination;
    clearCaptured();
    singleText_.clear();
}

std::uint8_t KeyPageModel::countCapturedKeys() const {
    const auto& keys = pending_.capturedKeys;
    if (keys[0] == 0) return 0;
    std::size_t n = 1;
    while (n < keys.size() && keys[n] != 0) ++n;
    // 255 stands for the Default button.
    return static_cast<std::uint8_t>(std::min<std::size_t>(n, keys::kDefaultKeyCount - 1));
}

Outcome KeyPageModel::release(int x, int y, PageHost& host) {
    Outcome outcome = Outcome::Stay;
    if (const auto b = buttonAt(x, y)) handleButton(*b, outcome, host);
    // Also after Save: leaving the Advance tab without a row chosen restores the key.
    if (tab_ == Tab::Advance) handleAdvance(x, y, host);
    return outcome;
}

void KeyPageModel::handleButton(int b, Outcome& outcome, PageHost& host) {
    switch (b) {
        case button::kClose:
            outcome = Outcome::Cancel;
            break;
        case button::kTabSingle:
            if (tab_ != Tab::SingleCombine) {
                clearCaptured();
                emptyFields();
                draft_.makeFactoryState();
                pending_.kind = keys::kind::kSingle;
                focusRequest_ = Field::Single;
                singleFieldFocused();
            }
            tab_ = Tab::SingleCombine;
            advanceRow_ = kNoRow;
            rowMarker_ = kNoMarker;
            break;
        case button::kTabMacro:
            tab_ = Tab::Macro;
            rowMarker_ = kNoMarker;
            pending_.kind = keys::kind::kCombination;
            advanceRow_ = kNoRow;
            break;
        case button::kTabBasic:
            if (tab_ != Tab::Basic) treeSelection_ = 0;
            tab_ = Tab::Basic;
            rowMarker_ = kNoMarker;
            // Kind 2 until Save makes it a function; it only keeps keystrokes out.
            pending_.kind = keys::kind::kMacro;
            advanceRow_ = kNoRow;
            break;
        case button::kTabAdvance:
            if (tab_ != Tab::Advance) {
                clearCaptured();
                draft_.kind = kNone;
                draft_.bytes.fill(0);
                emptyFields();
                pending_.kind = kNone;
                advanceRow_ = kNoRow;
            }
            tab_ = Tab::Advance;
            break;
        case button::kDisable:
            disabled_ = !disabled_;
            break;
        case button::kDefault:
            pending_.keyCount = keys::kDefaultKeyCount;
            outcome = Outcome::Ok;
            break;
        case button::kCancel:
            clearCaptured();
            outcome = Outcome::Cancel;
            break;
        case button::kSave:
            switch (tab_) {
                case Tab::SingleCombine:
                    pending_.enabled = !disabled_;
                    pending_.keyCount = countCapturedKeys();
                    if (pending_.keyCount == 0) pending_.kind = keys::kind::kRestore;
                    outcome = Outcome::Ok;
                    break;
                case Tab::Macro:
                    pending_.kind = keys::kind::kMacro;
                    pending_.macroNumber = macroSelection_;
                    if (macroSelection_ < 0) {
                        pending_.enabled = true;
                        pending_.kind = keys::kind::kRestore;
                    } else {
                        pending_.enabled = !disabled_;
                    }
                    outcome = Outcome::Ok;
                    break;
                case Tab::Basic: {
                    pending_.kind = keys::kind::kFunction;
                    const std::string text = treeSelection_ && *treeSelection_ < tree_.size()
                                                 ? tree_[*treeSelection_].text
                                                 : std::string();
                    if (isCategoryText(text)) {
                        host.showMessage(
                            Error(TR_TEXT("KeyPage", "Please select Sub item")).text(lang_));
                        break;
                    }
                    pending_.functionName = text;
                    pending_.enabled = !disabled_;
                    outcome = Outcome::Ok;
                    break;
                }
                case Tab::Advance:
                    pending_.enabled = !disabled_;
                    outcome = Outcome::Ok;
                    break;
            }
            break;
        default:  // the picture under the tabs
            break;
    }
}

void KeyPageModel::handleAdvance(int x, int y, PageHost& host) {
    const auto item = advanceSubItemAt(x, y);
    if (!item) {
        if (advanceRow_ == kNoRow) {
            rowMarker_ = kNoMarker;
            pending_.kind = keys::kind::kRestore;
        }
        return;
    }
    const auto row = static_cast<std::uint8_t>(item->row);
    const auto marker = static_cast<std::uint8_t>(kMarkerStep * row);
    const auto kind = static_cast<std::uint8_t>(keys::kind::kPlaySound + row);
    switch (item->role) {
        case SubItemRole::Radio:
            rowMarker_ = marker;
            advanceRow_ = row;
            pending_.hostPath.clear();
            break;
        case SubItemRole::Browse: {
            static constexpr Chooser kChoosers[kRowCount] = {Chooser::Sound, Chooser::Program,
                                                             Chooser::File, Chooser::Folder};
            // The sound and program rows take the marker even when the chooser is cancelled.
            const bool markFirst = row <= 1;
            if (markFirst) rowMarker_ = marker;
            if (!runChooser(kChoosers[row], host)) break;
            advanceRow_ = row;
            rowMarker_ = marker;
            pending_.kind = kind;
            break;
        }
        case SubItemRole::Label:
        case SubItemRole::PathBox:
            break;
    }
}

bool KeyPageModel::runChooser(Chooser chooser, PageHost& host) {
    auto path = host.choose(chooser);
    if (!path) return false;
    if (auto fits = keys::validateHostPath(*path); !fits) {
        host.showMessage(fits.error().text(lang_));
        return false;
    }
    pending_.hostPath = std::move(*path);
    return true;
}

std::optional<Field> KeyPageModel::takeFocusRequest() {
    auto request = focusRequest_;
    focusRequest_.reset();
    return request;
}

bool KeyPageModel::rowLit(int row) const {
    return row == advanceRow_ || (rowMarker_ != kNoMarker && rowMarker_ == kMarkerStep * row);
}

std::string KeyPageModel::pathBox() const {
    if (advanceRow_ == kNoRow) return {};
    return pathBoxText(pending_.hostPath);
}

}  // namespace tessaron::app::key_page

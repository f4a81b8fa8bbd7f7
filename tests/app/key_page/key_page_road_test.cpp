// The whole road of a reassignment: a click on the main window's keyboard picture opens the key
// page, the choice is saved there and on the window, and the virtual keyboard holds the new cell
// and enable bit. A host-action key pressed on the keyboard then reaches the launcher.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

#include "../keyboard_road.h"
#include "../main_window/main_window_test_support.h"
#include "app/key_page/key_page.h"
#include "app/key_page/key_page_dialogs.h"
#include "app/key_page/key_page_run.h"
#include "app/main_window/main_window.h"
#include "app/main_window/window_layout.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "keys/keymap_file.h"

namespace tessaron::app {
namespace {

namespace button = key_page::button;

constexpr keys::KeyIndex kKeyQ = 42;
constexpr keys::KeyIndex kKeyF5 = 5;

using testing::waitFor;

class ChosenFiles final : public KeyPageDialogs {
public:
    QString path;
    std::optional<QString> choose(QWidget*, key_page::Chooser, Language) override { return path; }
    void message(QWidget*, const QString& text, Language) override { messages << text; }
    QStringList messages;
};

class KeyPageRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::RigOptions options;
        options.pages.keyPage = [this](QWidget* parent, LiveConfig& config, keys::KeyIndex key) {
            return runKeyPage(parent, config, key, &files);
        };
        rig = std::make_unique<testing::Rig>(std::move(options));
        ASSERT_TRUE(
            waitFor([this] { return !rig->window->busy() && rig->keyboard->hasEventReader(); }));
    }

    // Clicks the key on the keyboard picture; `onPage` runs on the page once it is open.
    void editKey(keys::KeyIndex key, std::function<void(CKeyMap&)> onPage) {
        bool ran = false;
        road::whenOpen(std::move(onPage), ran);
        const keys::KeyRect r = keys::keyRect(key);
        QTest::mouseClick(rig->window.get(), Qt::LeftButton, {},
                          QPoint(keys::kKeyboardOrigin.x + (r.left + r.right) / 2,
                                 keys::kKeyboardOrigin.y + (r.top + r.bottom) / 2));
        EXPECT_TRUE(ran) << "the key page did not open";
    }

    void saveOnWindow() {
        const auto areas = rig->window->areaTable(false);
        const auto save = std::find_if(areas.begin(), areas.end(),
                                       [](const WindowArea& a) { return a.id == area::kSave; });
        ASSERT_NE(save, areas.end());
        QTest::mouseClick(rig->window.get(), Qt::LeftButton, {}, save->rect.center());
        ASSERT_TRUE(rig->settle());
    }

    keys::KeyCell keyboardCell(keys::KeyIndex key) const {
        return keys::readCell(rig->keyboard->settings(), keys::matrixCellOffset(key));
    }

    LiveConfig& live() { return rig->live(); }

    ChosenFiles files;
    std::unique_ptr<testing::Rig> rig;
};

void click(CKeyMap& page, QPoint at) {
    QTest::mouseClick(&page, Qt::LeftButton, {}, at);
}

TEST_F(KeyPageRoadTest, TypedKeyAndDisableReachTheKeyboardOnSave) {
    editKey(kKeyQ, [](CKeyMap& page) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 52, 0x7a, 0);
        QApplication::sendEvent(&page, &down);
        click(page, key_page::kButtonRects[button::kDisable].centre());
        click(page, key_page::kButtonRects[button::kSave].centre());
    });
    const keys::KeyCell expected{0x00, 0x00, 0x1D, 0x00};  // Z
    EXPECT_EQ(keys::readCell(live().image, keys::matrixCellOffset(kKeyQ)), expected);
    EXPECT_EQ(live().marks[kKeyQ], 1);
    EXPECT_NE(keyboardCell(kKeyQ), expected) << "nothing reaches the keyboard before Save";

    // keymap.bin holds the choice at once, so the next page shows it.
    auto image = std::make_unique<device::DeviceImage>();
    auto records = std::make_unique<keys::KeyRecordTable>();
    ASSERT_TRUE(keys::loadKeymap(live().keymapPath(), *image, *records));
    EXPECT_EQ((*records)[kKeyQ].kind, keys::kind::kSingle);
    EXPECT_EQ((*records)[kKeyQ].bytes[0], 'Z');

    saveOnWindow();
    EXPECT_EQ(keyboardCell(kKeyQ), expected);
    EXPECT_FALSE(keys::keyEnabled(rig->keyboard->settings(), kKeyQ));

    // Default brings the key back, enabled, on the keyboard too.
    editKey(kKeyQ, [](CKeyMap& page) {
        EXPECT_EQ(page.singleField()->text(), QStringLiteral("Z "));
        click(page, key_page::kButtonRects[button::kDefault].centre());
    });
    saveOnWindow();
    EXPECT_EQ(keyboardCell(kKeyQ), (keys::KeyCell{0x00, 0x00, 0x14, 0x00}));  // Q, as shipped
    EXPECT_TRUE(keys::keyEnabled(rig->keyboard->settings(), kKeyQ));
}

TEST_F(KeyPageRoadTest, MediaKeysKeepTheirConsumerCellsWhenRestored) {
    // Key indices 16..19 and their factory cells as the keyboard ships them.
    const std::pair<keys::KeyIndex, keys::KeyCell> media[] = {{16, {0x03, 0x00, 0xEA, 0x00}},
                                                               {17, {0x03, 0x00, 0x83, 0x01}},
                                                               {18, {0x03, 0x00, 0xCD, 0x00}},
                                                               {19, {0x03, 0x00, 0xE9, 0x00}}};
    for (const auto& [key, factory] : media) {
        SCOPED_TRACE(key);
        // Save on Single/Combine with nothing typed restores the key.
        editKey(key, [](CKeyMap& page) {
            click(page, key_page::kButtonRects[button::kSave].centre());
        });
        EXPECT_EQ(keys::readCell(live().image, keys::matrixCellOffset(key)), factory);
        EXPECT_EQ(live().marks[key], 0);
        // Default after another key.
        editKey(key, [](CKeyMap& page) {
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 52, 0x7a, 0);
            QApplication::sendEvent(&page, &down);
            click(page, key_page::kButtonRects[button::kSave].centre());
        });
        EXPECT_EQ(live().marks[key], 1);
        editKey(key, [](CKeyMap& page) {
            click(page, key_page::kButtonRects[button::kDefault].centre());
        });
        EXPECT_EQ(keys::readCell(live().image, keys::matrixCellOffset(key)), factory);
        EXPECT_EQ(live().marks[key], 0);
    }
    saveOnWindow();
    for (const auto& [key, factory] : media) EXPECT_EQ(keyboardCell(key), factory) << key;
}

TEST_F(KeyPageRoadTest, HostActionKeyPressedOnTheKeyboardOpensItsTarget) {
    files.path = QStringLiteral("/home/user/notes/todo.txt");
    editKey(kKeyF5, [](CKeyMap& page) {
        click(page, key_page::kButtonRects[button::kTabAdvance].centre());
        click(page, key_page::subItemRect(2, key_page::SubItemRole::Browse).centre());
        click(page, key_page::kButtonRects[button::kSave].centre());
    });
    saveOnWindow();
    EXPECT_EQ(keyboardCell(kKeyF5), (keys::KeyCell{0x0A, 0x00, 0x74, 0x00}));  // reports F5

    const auto& at = keys::layoutEntry(kKeyF5);
    ASSERT_EQ(rig->keyboard->pressKeyAt(at.column, at.row),
              device::VirtualKeyboard::KeyPress::Reported);
    ASSERT_TRUE(waitFor([this] { return !rig->launcher.actions.empty(); }));
    EXPECT_EQ(rig->launcher.actions[0].kind, keys::kind::kOpenFile);
    EXPECT_EQ(rig->launcher.actions[0].folder, "/home/user/notes");
    EXPECT_EQ(rig->launcher.actions[0].file, "todo.txt");
}

}  // namespace
}  // namespace tessaron::app

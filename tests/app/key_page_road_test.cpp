// The whole road of a reassignment: a click on the main window's keyboard picture opens the key
// page, the choice is saved there and on the window, and the virtual keyboard holds the new cell
// and enable bit. A host-action key pressed on the keyboard then reaches the launcher.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "app/desktop.h"
#include "app/device_session.h"
#include "app/key_page.h"
#include "app/key_page_dialogs.h"
#include "app/key_page_run.h"
#include "app/live_config.h"
#include "app/main_window.h"
#include "app/window_layout.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "keys/key_names.h"
#include "keys/keymap_file.h"
#include "support/qt_wait.h"

namespace tessaron::app {
namespace {

namespace button = key_page::button;

constexpr keys::KeyIndex kKeyQ = 42;
constexpr keys::KeyIndex kKeyF5 = 5;

class QuietDialogs final : public UserDialogs {
public:
    bool confirm(QWidget*, const QString&, const QString&) override { return true; }
    void inform(QWidget*, const QString&, const QString& text) override { shown << text; }
    QStringList shown;
};

class NoPrograms final : public ProgramStarter {
public:
    Status startProgram(const std::filesystem::path&) override { return {}; }
    Status openUrl(const QUrl&) override { return {}; }
};

class RecordingLauncher final : public keys::Launcher {
public:
    void launch(const keys::HostAction& action) override { actions.push_back(action); }
    std::vector<keys::HostAction> actions;
};

class ChosenFiles final : public KeyPageDialogs {
public:
    QString path;
    std::optional<QString> choose(QWidget*, key_page::Chooser, Language) override { return path; }
    void message(QWidget*, const QString& text) override { messages << text; }
    QStringList messages;
};

using tessaron::testing::waitFor;

class KeyPageRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        keyboard = std::make_shared<device::VirtualKeyboard>();
        transport = std::make_unique<device::VirtualTransport>(keyboard);
        live = std::make_unique<LiveConfig>();
        live->dataFolder = dir.path().toStdString();
        live->imageBase = TESSARON_TEST_SHARE_DIR;
        session = std::make_unique<DeviceSession>(*transport, SystemClock::instance(), nullptr);
        MainWindowSetup setup;
        setup.live = live.get();
        setup.session = session.get();
        setup.dialogs = &dialogs;
        setup.programs = &programs;
        setup.launcher = &launcher;
        setup.useTray = false;
        setup.pages.keyPage = [this](QWidget* parent, LiveConfig& config, keys::KeyIndex key) {
            return runKeyPage(parent, config, key, &files);
        };
        window = std::make_unique<CTessaronDlg>(std::move(setup));
        window->initialise();
        window->show();
        ASSERT_TRUE(waitFor([this] { return !window->busy() && session->isListening(); }));
    }
    void TearDown() override {
        session.reset();
        window.reset();
    }

    // Clicks the key on the keyboard picture; `onPage` runs on the page once it is open.
    void editKey(keys::KeyIndex key, std::function<void(CKeyMap&)> onPage) {
        bool ran = false;
        std::function<void()> poll;
        poll = [&] {
            auto* page = qobject_cast<CKeyMap*>(QApplication::activeModalWidget());
            if (!page || !page->isVisible()) {
                QTimer::singleShot(10, poll);
                return;
            }
            ran = true;
            onPage(*page);
            if (page->isVisible()) page->reject();  // never leave the window blocked
        };
        QTimer::singleShot(0, poll);
        const keys::KeyRect r = keys::keyRect(key);
        QTest::mouseClick(window.get(), Qt::LeftButton, {},
                          QPoint(keys::kKeyboardOrigin.x + (r.left + r.right) / 2,
                                 keys::kKeyboardOrigin.y + (r.top + r.bottom) / 2));
        EXPECT_TRUE(ran) << "the key page did not open";
    }

    void saveOnWindow() {
        QTest::mouseClick(window.get(), Qt::LeftButton, {},
                          staticButtonTable()[area::kSave].centre());
        ASSERT_TRUE(waitFor([this] { return !window->busy(); }));
    }

    keys::KeyCell keyboardCell(keys::KeyIndex key) const {
        return keys::readCell(keyboard->settings(), keys::matrixCellOffset(key));
    }

    QTemporaryDir dir;
    std::shared_ptr<device::VirtualKeyboard> keyboard;
    std::unique_ptr<device::VirtualTransport> transport;
    std::unique_ptr<LiveConfig> live;
    QuietDialogs dialogs;
    NoPrograms programs;
    RecordingLauncher launcher;
    ChosenFiles files;
    std::unique_ptr<DeviceSession> session;
    std::unique_ptr<CTessaronDlg> window;
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
    const keys::KeyCell expected = keys::plainKeyCell(keys::usageCode('Z'));
    EXPECT_EQ(keys::readCell(live->image, keys::matrixCellOffset(kKeyQ)), expected);
    EXPECT_EQ(live->marks[kKeyQ], 1);
    EXPECT_NE(keyboardCell(kKeyQ), expected) << "nothing reaches the keyboard before Save";

    // keymap.bin holds the choice at once, so the next page shows it.
    auto image = std::make_unique<device::DeviceImage>();
    auto records = std::make_unique<keys::KeyRecordTable>();
    ASSERT_TRUE(keys::loadKeymap(live->keymapPath(), *image, *records));
    EXPECT_EQ((*records)[kKeyQ].kind, keys::kind::kSingle);
    EXPECT_EQ((*records)[kKeyQ].bytes[0], 'Z');

    saveOnWindow();
    EXPECT_EQ(keyboardCell(kKeyQ), expected);
    EXPECT_FALSE(keys::keyEnabled(keyboard->settings(), kKeyQ));

    // Default brings the key back, enabled, on the keyboard too.
    editKey(kKeyQ, [](CKeyMap& page) {
        EXPECT_EQ(page.singleField()->text(), QStringLiteral("Z "));
        click(page, key_page::kButtonRects[button::kDefault].centre());
    });
    saveOnWindow();
    EXPECT_EQ(keyboardCell(kKeyQ), keys::factoryCell(kKeyQ));
    EXPECT_TRUE(keys::keyEnabled(keyboard->settings(), kKeyQ));
}

TEST_F(KeyPageRoadTest, HostActionKeyPressedOnTheKeyboardOpensItsTarget) {
    files.path = QStringLiteral("/home/user/notes/todo.txt");
    editKey(kKeyF5, [](CKeyMap& page) {
        click(page, key_page::kButtonRects[button::kTabAdvance].centre());
        click(page, key_page::subItemRect(2, key_page::SubItemRole::Browse).centre());
        click(page, key_page::kButtonRects[button::kSave].centre());
    });
    saveOnWindow();
    EXPECT_EQ(keyboardCell(kKeyF5), keys::hostActionCell(keys::layoutVk(kKeyF5)));

    const auto& at = keys::layoutEntry(kKeyF5);
    ASSERT_TRUE(keyboard->pressKeyAt(at.column, at.row));
    ASSERT_TRUE(waitFor([this] { return !launcher.actions.empty(); }));
    EXPECT_EQ(launcher.actions[0].kind, keys::kind::kOpenFile);
    EXPECT_EQ(launcher.actions[0].folder, "/home/user/notes");
    EXPECT_EQ(launcher.actions[0].file, "todo.txt");
}

}  // namespace
}  // namespace tessaron::app

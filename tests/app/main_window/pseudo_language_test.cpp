// Every window in the pseudo-language, as a screen reader walks it: a text that shows without
// brackets did not come from the catalogue. Each window state is also saved as a picture
// (pseudo-screens/ in the test's folder) for a look at what the longer texts do to the layout.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <set>

#include "app/key_page/key_page.h"
#include "app/macro_manager/macro_manager_dlg.h"
#include "app/profiles/profiles_dlg.h"
#include "keys/key_description.h"
#include "keys/key_layout.h"
#include "main_window_test_support.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"
#include "tholwin/tholwin.h"
#include "ui/accessible_areas.h"
#include "ui/edit_helper.h"  // completes the list box's editor pointer
#include "ui/image_folders.h"

namespace tessaron::app::testing {
namespace {

constexpr Language kPseudo = Language::Pseudo;

// What is left of a text once its bracketed parts are taken out holds no letter.
bool bracketed(const QString& text) {
    static const QRegularExpression kBracketed(QStringLiteral("\\[[^\\[\\]]*\\]"));
    QString rest = text;
    for (QString before; before != rest;) {
        before = rest;
        rest.remove(kBracketed);  // inner brackets first: messages quote messages
    }
    return !rest.contains(QRegularExpression(QStringLiteral("\\p{L}")));
}

// The names the keyboard picture gives its keys are key names, not catalogue texts.
bool isKeyOfThePicture(QAccessibleInterface* c) {
    const QString description = c->text(QAccessible::Description);
    return description.startsWith(c->text(QAccessible::Name) + QStringLiteral(": ")) ||
           description.startsWith(c->text(QAccessible::Name) + QStringLiteral("["));
}

class Walk {
public:
    explicit Walk(QString window) : window_(std::move(window)) {}

    // Every name, description and value the window's reader objects give now.
    void look(QWidget* w, const QString& state) {
        ui::installPaintedAccessibility();
        w->repaint();
        QCoreApplication::processEvents();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(iface, nullptr);
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* c = iface->child(i);
            if (c == nullptr || isKeyOfThePicture(c)) continue;
            check(c->text(QAccessible::Name), state);
            check(c->text(QAccessible::Description), state);
        }
        save(w, state);
    }

    // Presses every reader object the predicate picks, looking after each press.
    void pressEach(QWidget* w, const std::function<bool(QAccessibleInterface*)>& pick) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        std::vector<QString> names;
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* c = iface->child(i);
            if (c != nullptr && pick(c)) names.push_back(c->text(QAccessible::Name));
        }
        for (const QString& name : names) {
            for (int i = 0; i < iface->childCount(); ++i) {
                QAccessibleInterface* c = iface->child(i);
                if (c == nullptr || c->text(QAccessible::Name) != name) continue;
                c->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                QTest::qWait(50);
                look(w, name);
                break;
            }
        }
    }

    [[nodiscard]] const std::set<QString>& unbracketed() const { return unbracketed_; }

private:
    void check(const QString& text, const QString& state) {
        if (text.isEmpty() || bracketed(text)) return;
        unbracketed_.insert(window_ + QStringLiteral(" (") + state + QStringLiteral("): ") + text);
    }

    void save(QWidget* w, const QString& state) {
        QDir().mkpath(QStringLiteral("pseudo-screens"));
        QString file = window_ + QLatin1Char('-') + state;
        file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]")), QStringLiteral("_"));
        w->grab().save(QStringLiteral("pseudo-screens/") + file + QStringLiteral(".png"));
    }

    QString window_;
    std::set<QString> unbracketed_;
};

std::string listed(const std::set<QString>& texts) {
    std::string out;
    for (const QString& t : texts) out += "\n  " + t.toStdString();
    return out;
}

TEST(PseudoLanguage, HelperTellsBracketedTexts) {
    EXPECT_TRUE(bracketed(QStringLiteral("[Šàvé~~]")));
    EXPECT_TRUE(bracketed(QStringLiteral("[Ĺîñé 3: [ùñķñöŵñ ķéý~~~]~~~] 12:40")));
    EXPECT_FALSE(bracketed(QStringLiteral("[Šàvé~~] Cancel")));
    EXPECT_FALSE(bracketed(QStringLiteral("Save")));
}

TEST(PseudoLanguage, EveryTextOfTheMainWindowComesFromTheCatalogue) {
    RigOptions options;
    options.language = kPseudo;
    Rig rig(options);
    ASSERT_TRUE(waitFor([&] { return !rig.window->busy(); }));
    Walk walk(QStringLiteral("main"));
    walk.look(rig.window.get(), QStringLiteral("closed"));
    // Open each section that is closed, then the help menu.
    walk.pressEach(rig.window.get(), [](QAccessibleInterface* c) {
        return c->state().collapsed && !c->state().hasPopup;
    });
    walk.pressEach(rig.window.get(), [](QAccessibleInterface* c) { return c->state().hasPopup; });
    EXPECT_TRUE(walk.unbracketed().empty()) << listed(walk.unbracketed());
}

TEST(PseudoLanguage, EveryTextOfTheKeyPageComesFromTheCatalogue) {
    auto records = std::make_unique<keys::KeyRecordTable>();
    keys::fillLayoutVks(*records);
    keys::PendingAssignment pending;
    pending.selectedKey = 20;
    pending.selectedVk = keys::layoutVk(20);
    macros::MacroTable macros;
    macros[0].setName(u"Combo");
    KeyPageSetup setup;
    setup.imageFolder =
        ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), kPseudo, ui::Panel::Custom);
    setup.language = kPseudo;
    setup.pending = &pending;
    setup.records = records.get();
    setup.macros = &macros;
    CKeyMap page(setup);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    Walk walk(QStringLiteral("key-page"));
    walk.look(&page, QStringLiteral("open"));
    walk.pressEach(&page,
                   [](QAccessibleInterface* c) { return c->role() == QAccessible::PageTab; });
    EXPECT_TRUE(walk.unbracketed().empty()) << listed(walk.unbracketed());
}

TEST(PseudoLanguage, EveryTextOfTheMacroManagerComesFromTheCatalogue) {
    macros::MacroTable committed;
    committed[0].setName(u"Macro_001");
    FakeClock clock;
    MacroManagerSetup setup;
    setup.imageFolder = ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), kPseudo,
                                        ui::Panel::MacroManagement);
    setup.language = kPseudo;
    setup.clock = &clock;
    CMacroRecordDlg dlg(committed, setup);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    Walk walk(QStringLiteral("macro-manager"));
    walk.look(&dlg, QStringLiteral("open"));
    dlg.hide();
    tholwin::removehook();
    EXPECT_TRUE(walk.unbracketed().empty()) << listed(walk.unbracketed());
}

TEST(PseudoLanguage, EveryTextOfTheProfilesPanelComesFromTheCatalogue) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    device::DeviceImage image{};
    auto records = std::make_unique<keys::KeyRecordTable>();
    FakeClock clock;
    CConfigureDlg panel(profiles::LiveConfiguration{image, *records},
                        ProfilesPanelSetup{QStringLiteral(TESSARON_TEST_SHARE_DIR),
                                           std::filesystem::path(dir.path().toStdString()), kPseudo,
                                           &clock, nullptr, {}});
    panel.prepare(QRect(100, 80, 1000, 640));
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    Walk walk(QStringLiteral("profiles"));
    walk.look(&panel, QStringLiteral("open"));
    EXPECT_TRUE(walk.unbracketed().empty()) << listed(walk.unbracketed());
}

}  // namespace
}  // namespace tessaron::app::testing

// Every window in the pseudo-language, as a screen reader walks it (the windows Qt lays out, by
// their widgets' texts): a text that shows without brackets did not come from the catalogue. Each window state is also saved as a picture
// (pseudo-screens/ in the test's folder) for a look at what the longer texts do to the layout,
// and every painted label of a window's area table is measured in the font it is painted with:
// it must end inside its area (or, beside a box, inside the window; a centred name inside its
// button, on two lines at most) and cross no other label. In a window Qt lays out, no label or
// button may be narrower than its text.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <set>

#include "app/key_page/key_page.h"
#include "app/macro_manager/macro_manager_dlg.h"
#include "app/profiles/profiles_dlg.h"
#include "app/switching/rules_dlg.h"
#include "app/switching/window_switching.h"
#include "keys/key_description.h"
#include "keys/key_layout.h"
#include "macros/macro_test_support.h"
#include "main_window_test_support.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"
#include "tholwin/tholwin.h"
#include "ui/accessible_areas.h"
#include "ui/edit_helper.h"  // completes the list box's editor pointer
#include "ui/image_folders.h"
#include "ui/panel_painter.h"
#include "ui/transparent_list_box.h"

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

// The painted labels of an area table that are cut or cross another; usualHeight is the pixel
// height a window paints a label in when its area names none.
std::set<QString> unfitLabels(const std::vector<ui::WindowArea>& areas, int usualHeight,
                              const QRect& window) {
    struct Placed {
        const ui::WindowArea* area;
        QRect box;
    };
    std::vector<Placed> placed;
    std::set<QString> faults;
    for (const ui::WindowArea& a : areas) {
        if (a.labelCentred &&
            !ui::centredLabel(a.paintedLabel(), a.centredRoom(), a.labelHeight, a.labelAlign)
                 .fits) {
            faults.insert(QStringLiteral("cut on its button: ") + a.paintedLabel());
        }
        if (!a.labelled || a.paintedLabel().isEmpty()) continue;
        const QFontMetrics metrics(ui::panelFont(a.labelHeight > 0 ? a.labelHeight : usualHeight));
        const QRect box(a.labelAt, QSize(metrics.horizontalAdvance(a.paintedLabel()), metrics.height()));
        // A label written inside its area has the area for room; one beside its box, the window,
        // unless the area names its room.
        const QRect room = !a.labelRoom.isEmpty()        ? a.labelRoom
                           : a.rect.contains(a.labelAt) ? a.rect
                                                        : window;
        if (box.right() > room.right()) {
            faults.insert(QStringLiteral("cut by %1 px: ").arg(box.right() - room.right()) +
                          a.paintedLabel());
        }
        placed.push_back({&a, box});
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
        for (std::size_t j = i + 1; j < placed.size(); ++j) {
            // An open list lies over the window: only labels on one layer can cross.
            if (placed[i].area->parent != placed[j].area->parent) continue;
            if (!placed[i].box.intersects(placed[j].box)) continue;
            faults.insert(QStringLiteral("crosses: ") + placed[i].area->paintedLabel() +
                          QStringLiteral(" / ") + placed[j].area->paintedLabel());
        }
    }
    return faults;
}

// The texts a window Qt lays out shows, and those of its labels and buttons that got less width
// than their text needs.
struct LaidOutTexts {
    std::vector<QString> shown;
    std::set<QString> squeezed;
};
LaidOutTexts laidOutTexts(QWidget* window) {
    LaidOutTexts out;
    out.shown.push_back(window->windowTitle());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        QString text;
        if (const auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text();
            if (label->wordWrap()) text.clear();  // measured by its height, which Qt gives it
            out.shown.push_back(label->text());
        } else if (const auto* button = qobject_cast<QAbstractButton*>(w)) {
            text = button->text();
            out.shown.push_back(text);
        } else if (const auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) out.shown.push_back(combo->itemText(i));
        }
        out.shown.push_back(w->accessibleName());
        out.shown.push_back(w->toolTip());
        if (!text.isEmpty() && w->width() < w->sizeHint().width()) {
            out.squeezed.insert(QStringLiteral("squeezed by %1 px: ")
                                    .arg(w->sizeHint().width() - w->width()) +
                                text);
        }
    }
    return out;
}

class Walk {
public:
    using AreaTable = std::function<std::vector<ui::WindowArea>()>;
    // Texts are checked for brackets in the pseudo-language, labels for fit in every language.
    Walk(QString window, Language language, AreaTable areas = {}, int usualHeight = 0)
        : window_(std::move(window) + QLatin1Char('-') + languageCode(language)),
          language_(language), areas_(std::move(areas)), usualHeight_(usualHeight) {}

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
            check(c->text(QAccessible::Value), state);
        }
        if (areas_) {
            for (const QString& fault : unfitLabels(areas_(), usualHeight_, w->rect())) {
                unfit_.insert(window_ + QStringLiteral(" (") + state + QStringLiteral("): ") + fault);
            }
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

    // The same for a window Qt lays out.
    void lookLaidOut(QWidget* w, const QString& state) {
        QCoreApplication::processEvents();
        const LaidOutTexts texts = laidOutTexts(w);
        for (QString text : texts.shown) check(text.remove(QLatin1Char('&')), state);
        for (const QString& fault : texts.squeezed) {
            unfit_.insert(window_ + QStringLiteral(" (") + state + QStringLiteral("): ") + fault);
        }
        save(w, state);
    }

    // The texts a delay list draws and speaks for each item (its own text is a notation).
    void lookList(const ui::CTransparentListBox* list, const QString& state) {
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem* item = list->item(i);
            // A reader says the item's own text when it is given no other.
            const QString spoken = item->data(Qt::AccessibleTextRole).toString();
            check(spoken.isEmpty() ? item->text() : spoken, state);
            // A key line draws the key's legend and an icon; any other line its text.
            const QString shown = item->data(ui::CTransparentListBox::kShownTextRole).toString();
            const bool keyLine = item->text().endsWith(QStringLiteral(" dn")) ||
                                 item->text().endsWith(QStringLiteral(" up"));
            if (!keyLine) check(shown.isEmpty() ? item->text() : shown, state);
        }
        save(list->window(), state);
    }

    [[nodiscard]] const std::set<QString>& unbracketed() const { return unbracketed_; }
    [[nodiscard]] const std::set<QString>& unfit() const { return unfit_; }

private:
    void check(const QString& text, const QString& state) {
        if (language_ != Language::Pseudo || text.isEmpty() || bracketed(text)) return;
        unbracketed_.insert(window_ + QStringLiteral(" (") + state + QStringLiteral("): ") + text);
    }

    void save(QWidget* w, const QString& state) {
        QDir().mkpath(QStringLiteral("pseudo-screens"));
        QString file = window_ + QLatin1Char('-') + state;
        file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]")), QStringLiteral("_"));
        w->grab().save(QStringLiteral("pseudo-screens/") + file + QStringLiteral(".png"));
    }

    static QString languageCode(Language language) {
        switch (language) {
        case Language::Chinese: return QStringLiteral("zh");
        case Language::Pseudo: return QStringLiteral("pseudo");
        default: return QStringLiteral("en");
        }
    }

    QString window_;
    Language language_;
    AreaTable areas_;
    int usualHeight_;
    std::set<QString> unbracketed_;
    std::set<QString> unfit_;
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

// Fails the test for what the walk found.
void report(const Walk& walk) {
    EXPECT_TRUE(walk.unbracketed().empty()) << listed(walk.unbracketed());
    EXPECT_TRUE(walk.unfit().empty()) << listed(walk.unfit());
}

TEST(PseudoLanguage, EveryTextOfTheMainWindowComesFromTheCatalogueAndFits) {
    for (const Language language : kLanguages) {
        RigOptions options;
        options.language = language;
        Rig rig(options);
        ASSERT_TRUE(waitFor([&] { return !rig.window->busy(); }));
        Walk walk(QStringLiteral("main"), language, [&] { return rig.window->areaTable(false); },
                  CTessaronDlg::kLabelHeight);
        walk.look(rig.window.get(), QStringLiteral("closed"));
        // Open each section that is closed, then the help menu.
        walk.pressEach(rig.window.get(), [](QAccessibleInterface* c) {
            return c->state().collapsed && !c->state().hasPopup;
        });
        walk.pressEach(rig.window.get(),
                       [](QAccessibleInterface* c) { return c->state().hasPopup; });
        // A DIY effect trades the directions for the Keymap and DIY radios.
        rig.live().image[device::image::kEffect] = 51;
        rig.live().diyMode = true;
        walk.look(rig.window.get(), QStringLiteral("DIY"));
        report(walk);
    }
}

TEST(PseudoLanguage, EveryTextOfTheKeyPageComesFromTheCatalogueAndFits) {
    for (const Language language : kLanguages) {
        auto records = std::make_unique<keys::KeyRecordTable>();
        keys::fillLayoutVks(*records);
        keys::PendingAssignment pending;
        pending.selectedKey = 20;
        pending.selectedVk = keys::layoutVk(20);
        macros::MacroTable macros;
        macros[0].setName(u"Combo");
        KeyPageSetup setup;
        setup.imageFolder =
            ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), language, ui::Panel::Custom);
        setup.language = language;
        setup.pending = &pending;
        setup.records = records.get();
        setup.macros = &macros;
        CKeyMap page(setup);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        Walk walk(QStringLiteral("key-page"), language, [&] { return page.areaTable(); });
        walk.look(&page, QStringLiteral("open"));
        walk.pressEach(&page,
                       [](QAccessibleInterface* c) { return c->role() == QAccessible::PageTab; });
        report(walk);
    }
}

TEST(PseudoLanguage, EveryTextOfTheMacroManagerComesFromTheCatalogueAndFits) {
    for (const Language language : kLanguages) {
        macros::MacroTable committed;
        committed[0].setName(u"Macro_001");
        // A dn, 300 ms, A up, 5 ms, B dn, B up.
        committed[0].setHostStream(
            macros::testing::streamOf({0x01, 0x41, 0xFF, 0x41, 0x01, 0x2C, 0x05, 0x42, 0x81, 0x42}));
        FakeClock clock;
        MacroManagerSetup setup;
        setup.imageFolder = ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), language,
                                            ui::Panel::MacroManagement);
        setup.language = language;
        setup.clock = &clock;
        CMacroRecordDlg dlg(committed, setup);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        Walk walk(QStringLiteral("macro-manager"), language, [&] { return dlg.areaTable(); });
        walk.look(&dlg, QStringLiteral("open"));
        const auto lists = dlg.findChildren<ui::CTransparentListBox*>();
        for (auto* list : lists) {
            if (list->editMode() != ui::CTransparentListBox::kDelay) list->setCurrentRow(0);
        }
        for (auto* list : lists) {
            if (list->editMode() != ui::CTransparentListBox::kDelay) continue;
            EXPECT_EQ(list->count(), 6);
            walk.lookList(list, QStringLiteral("events"));
        }
        dlg.hide();
        tholwin::removehook();
        report(walk);
    }
}

TEST(PseudoLanguage, EveryTextOfTheProfilesPanelComesFromTheCatalogueAndFits) {
    for (const Language language : kLanguages) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        device::DeviceImage image{};
        auto records = std::make_unique<keys::KeyRecordTable>();
        FakeClock clock;
        CConfigureDlg panel(profiles::LiveConfiguration{image, *records},
                            ProfilesPanelSetup{QStringLiteral(TESSARON_TEST_SHARE_DIR),
                                               std::filesystem::path(dir.path().toStdString()),
                                               language, &clock, nullptr, {}});
        panel.prepare(QRect(100, 80, 1000, 640));
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        Walk walk(QStringLiteral("profiles"), language, [&] { return panel.areaTable(); });
        walk.look(&panel, QStringLiteral("open"));
        report(walk);
    }
}

TEST(PseudoLanguage, EveryTextOfTheRulesWindowsComesFromTheCatalogueAndFits) {
    for (const Language language : kLanguages) {
        RigOptions options;
        options.language = language;
        Rig rig(options);
        WindowSwitching switching(*rig.controller, rig.folder());
        // The reason a session without a display gives, so it is a catalogue text too.
        switching.start(switching::chooseWatcher(switching::SessionFacts{}), {});
        Walk walk(QStringLiteral("rules"), language);
        // No rules and no profiles: the list would show their names, which are no texts.
        CRulesDlg rules(switching, {}, language);
        rules.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&rules));
        walk.lookLaidOut(&rules, QStringLiteral("open"));
        CRuleEditDlg editor(switching, {}, switching::Rule{}, language, &rules);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        walk.lookLaidOut(&editor, QStringLiteral("rule"));
        report(walk);
    }
}

}  // namespace
}  // namespace tessaron::app::testing

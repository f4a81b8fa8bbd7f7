// The main window as a screen reader finds it: every key of the picture and every control named
// in the interface language, with its role, state and action; changes raise their events.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>

#include "app/main_window/window_layout.h"
#include "keys/key_description.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "keys/lighting.h"
#include "main_window_test_support.h"
#include "support/test_names.h"
#include "ui/accessible_areas.h"
#include "ui/bit_slider.h"

namespace tessaron::app::testing {
namespace {

namespace img = device::image;

constexpr keys::KeyIndex kCapsLock = 62;
constexpr keys::KeyIndex kF5 = 5;
constexpr keys::KeyIndex kF12 = 12;

std::vector<QAccessibleInterface*> children(QAccessibleInterface* parent) {
    std::vector<QAccessibleInterface*> out;
    for (int i = 0; i < parent->childCount(); ++i) out.push_back(parent->child(i));
    return out;
}

QAccessibleInterface* windowInterface(QWidget* w) {
    ui::installPaintedAccessibility();
    return QAccessible::queryAccessibleInterface(w);
}

QAccessibleInterface* named(QAccessibleInterface* parent, const QString& name) {
    for (auto* c : children(parent)) {
        if (c != nullptr && c->text(QAccessible::Name) == name) return c;
    }
    return nullptr;
}

QStringList actions(QAccessibleInterface* iface) {
    auto* a = iface->actionInterface();
    return a == nullptr ? QStringList() : a->actionNames();
}

// Events raised while a test runs.
std::vector<std::pair<QAccessible::Event, QString>> g_events;
void recordEvent(QAccessibleEvent* e) {
    QAccessibleInterface* iface = e->accessibleInterface();
    g_events.emplace_back(e->type(), iface ? iface->text(QAccessible::Name) : QString());
}

class MainWindowAccessible : public ::testing::TestWithParam<Language> {};

TEST_P(MainWindowAccessible, EveryKeyOfThePictureIsNamedByItsLegendAndSaysWhatItDoes) {
    RigOptions options;
    options.language = GetParam();
    Rig rig(options);
    const bool zh = GetParam() == Language::Chinese;
    auto& live = rig.live();
    // Caps Lock: Left Ctrl + Z; F5 switched off; F12 starts a program.
    auto& caps = live.records[kCapsLock];
    caps.kind = keys::kind::kCombination;
    caps.bytes[0] = 0xA2;
    caps.bytes[1] = 'Z';
    caps.keyCount = 2;
    keys::setKeyEnabled(live.image, kF5, false);
    auto& f12 = live.records[kF12];
    f12.kind = keys::kind::kStartup;
    ASSERT_TRUE(keys::setHostPath(f12, "/usr/bin/xterm"));

    QAccessibleInterface* w = windowInterface(rig.window.get());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->role(), QAccessible::Window);
    std::map<QString, QString> keyDescriptions;
    int keyCount = 0;
    std::set<QString> fixed;
    for (auto* c : children(w)) {
        ASSERT_NE(c, nullptr);
        EXPECT_FALSE(c->text(QAccessible::Name).isEmpty()) << c->role();
        const QString description = c->text(QAccessible::Description);
        const QString legendPart =
            c->text(QAccessible::Name) + (zh ? QStringLiteral("：") : QStringLiteral(": "));
        if (!description.startsWith(legendPart)) continue;
        ++keyCount;
        keyDescriptions[c->text(QAccessible::Name)] = description;
        const QRect r = c->rect();
        EXPECT_TRUE(r.isValid());
        // The reader's point lands back on the key.
        EXPECT_EQ(w->childAt(r.center().x(), r.center().y()), c);
        if (!actions(c).contains(QAccessibleActionInterface::pressAction())) {
            EXPECT_TRUE(c->state().disabled);
            fixed.insert(c->text(QAccessible::Name));
        }
    }
    // Outside DIY mode the picture leaves the left Windows key and Fn alone.
    const auto keyName = [&](keys::KeyIndex k) {
        return QString::fromStdString(keys::pictureKeyName(k, GetParam()));
    };
    EXPECT_EQ(fixed, (std::set<QString>{keyName(keys::kLeftWinKey), keyName(keys::kFnKey)}));
    // Keys sharing a legend are told apart by their spoken names.
    for (const char* name : {"Left Shift", "Right Shift", "Left Ctrl", "Right Ctrl", "Enter",
                             "Print Screen", "Escape", "7", "/"}) {
        EXPECT_EQ(keyDescriptions.count(QString::fromUtf8(name)), 1U) << name;
    }
    for (const char* name : {"Keypad 7", "Keypad Enter", "Keypad /"}) {
        const QString spoken = zh ? QString::fromUtf8(name).replace(QStringLiteral("Keypad "),
                                                                    QStringLiteral("小键盘 "))
                                  : QString::fromUtf8(name);
        EXPECT_EQ(keyDescriptions.count(spoken), 1U) << name;
    }
    EXPECT_EQ(keyCount, static_cast<int>(keys::kRealKeyCount));
    EXPECT_EQ(keyDescriptions.size(), keys::kRealKeyCount) << "two keys share a name";
    std::map<QString, int> shared;
    for (auto* c : children(w)) ++shared[c->text(QAccessible::Name)];
    for (const auto& [name, n] : shared) EXPECT_EQ(n, 1) << name.toStdString();
    if (zh) {
        EXPECT_EQ(keyDescriptions["Caps Lock"], QStringLiteral("Caps Lock：Left Ctrl + Z"));
        EXPECT_EQ(keyDescriptions["F5"], QStringLiteral("F5：已禁用"));
        EXPECT_EQ(keyDescriptions["F12"], QStringLiteral("F12：启动 /usr/bin/xterm"));
        EXPECT_EQ(keyDescriptions["F1"], QStringLiteral("F1：默认"));
    } else {
        EXPECT_EQ(keyDescriptions["Caps Lock"], QStringLiteral("Caps Lock: Left Ctrl + Z"));
        EXPECT_EQ(keyDescriptions["F5"], QStringLiteral("F5: disabled"));
        EXPECT_EQ(keyDescriptions["F12"], QStringLiteral("F12: starts /usr/bin/xterm"));
        EXPECT_EQ(keyDescriptions["F1"], QStringLiteral("F1: default"));
    }
}

TEST_P(MainWindowAccessible, ControlsCarryRolesStatesAndActionsInTheInterfaceLanguage) {
    RigOptions options;
    options.language = GetParam();
    Rig rig(options);
    const bool zh = GetParam() == Language::Chinese;
    const auto t = [zh](const char* en, const char* cn) { return QString::fromUtf8(zh ? cn : en); };
    QAccessibleInterface* w = windowInterface(rig.window.get());
    ASSERT_NE(w, nullptr);

    // Collapsed sections: their headers, the buttons of the title and of the bottom.
    for (const QString& name :
         {t("Help", "帮助"), t("Minimize", "最小化"), t("Close", "关闭"), t("Light", "灯光"),
          t("Macro Management", "宏管理"), t("Game Mode and Win Lock", "游戏模式和Win Lock模式"),
          t("Response Time", "按键响应时间"), t("USB Report Rate", "USB报告率"),
          t("Profile", "配置"), t("Return", "恢复"), t("Cancel", "取消"), t("Save", "保存")}) {
        QAccessibleInterface* c = named(w, name);
        ASSERT_NE(c, nullptr) << name.toStdString();
        EXPECT_EQ(c->role(), QAccessible::Button) << name.toStdString();
        EXPECT_TRUE(actions(c).contains(QAccessibleActionInterface::pressAction()));
    }
    QAccessibleInterface* light = named(w, t("Light", "灯光"));
    EXPECT_TRUE(light->state().collapsed);
    EXPECT_FALSE(light->state().expanded);

    // The press action opens the section, later (it may open a modal window).
    g_events.clear();
    ui::observeAccessibleEvents(&recordEvent);
    light->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(rig.window->sections().light);
    ASSERT_TRUE(waitFor([&] { return !rig.window->sections().light; }));
    rig.window->repaint();
    light = named(w, t("Light", "灯光"));
    EXPECT_TRUE(light->state().expanded);

    QAccessibleInterface* effect = named(w, t("Effect", "效果"));
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->role(), QAccessible::ComboBox);
    EXPECT_FALSE(effect->text(QAccessible::Value).isEmpty());
    QAccessibleInterface* brightness = named(w, t("Brightness", "亮度"));
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(brightness->role(), QAccessible::Slider);
    EXPECT_EQ(brightness->object(), rig.window->slider(kBrightnessSliderId));
    EXPECT_GE(w->indexOfChild(brightness), 0);

    // Game Mode's radios: checked follows the image, and a change is told.
    rig.click(100, rig.window->layout().gameModeTop + 5);
    rig.window->repaint();
    QAccessibleInterface* on = named(w, t("Game Mode on", "游戏模式 开启"));
    QAccessibleInterface* off = named(w, t("Game Mode off", "游戏模式 关闭"));
    ASSERT_NE(on, nullptr);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(on->role(), QAccessible::RadioButton);
    EXPECT_EQ(on->state().checked, rig.live().image[img::kGameMode] != 0);
    EXPECT_NE(on->state().checked, off->state().checked);
    const bool wasOn = on->state().checked;
    g_events.clear();
    (wasOn ? off : on)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return (rig.live().image[img::kGameMode] != 0) != wasOn; }));
    rig.window->repaint();
    EXPECT_NE(on->state().checked, wasOn);
    const auto told = [&](QAccessible::Event type, const QString& name) {
        return std::find(g_events.begin(), g_events.end(), std::pair{type, name}) != g_events.end();
    };
    EXPECT_TRUE(told(QAccessible::StateChanged, on->text(QAccessible::Name)));
    EXPECT_TRUE(told(QAccessible::StateChanged, off->text(QAccessible::Name)));
    ui::observeAccessibleEvents(nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MainWindowAccessible,
                         ::testing::Values(Language::English, Language::Chinese),
                         tessaron::testing::languageName);

// ---- The keyboard alone.

void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(w, key, modifiers);
    QCoreApplication::processEvents();
}

QString focusedName(CTessaronDlg& w) {
    const auto areas = w.paintedAreas();
    const ui::PaintedArea* a = ui::findArea(areas, w.focusedPaintedArea());
    return a == nullptr ? QString() : a->name;
}

TEST(MainWindowKeyboard, TabGroupsArrowsWithinAndSpaceOrEnterActivate) {
    Rig rig;
    auto& w = *rig.window;
    w.activateWindow();
    w.setFocus();
    // Reading order: the title's buttons, then the sections.
    press(&w, Qt::Key_Tab);
    EXPECT_EQ(focusedName(w), QStringLiteral("Help"));
    EXPECT_TRUE(w.areaKeyboard().markVisible());
    press(&w, Qt::Key_Right);
    EXPECT_EQ(focusedName(w), QStringLiteral("Minimize"));
    // The help menu: its rows, then Escape back to Help; the version line is only read.
    press(&w, Qt::Key_Left);
    press(&w, Qt::Key_Space);
    ASSERT_TRUE(w.helpMenuOpen());
    EXPECT_EQ(focusedName(w), QStringLiteral("Tessaron Guide"));
    press(&w, Qt::Key_Down);
    EXPECT_EQ(focusedName(w), QStringLiteral("Update Firmware"));
    press(&w, Qt::Key_Down);
    EXPECT_EQ(focusedName(w), QStringLiteral("Update Firmware"));
    press(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.helpMenuOpen());
    EXPECT_EQ(focusedName(w), QStringLiteral("Help"));
    EXPECT_TRUE(rig.programs.urls.empty());
    press(&w, Qt::Key_Tab);
    EXPECT_EQ(focusedName(w), QStringLiteral("Light"));
    press(&w, Qt::Key_Space);
    EXPECT_FALSE(w.sections().light);
    // Into the effect list and out with a choice.
    press(&w, Qt::Key_Tab);
    EXPECT_EQ(focusedName(w), QStringLiteral("Effect"));
    const std::uint8_t effect = rig.live().image[img::kEffect];
    press(&w, Qt::Key_Return);
    EXPECT_TRUE(w.effectListOpen());
    press(&w, Qt::Key_Down);
    press(&w, Qt::Key_Space);
    EXPECT_FALSE(w.effectListOpen());
    EXPECT_NE(rig.live().image[img::kEffect], effect);
    EXPECT_EQ(focusedName(w), QStringLiteral("Effect"));
    // Escape closes an open list without a choice.
    const std::uint8_t chosen = rig.live().image[img::kEffect];
    press(&w, Qt::Key_Space);
    press(&w, Qt::Key_Down);
    press(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.effectListOpen());
    EXPECT_EQ(rig.live().image[img::kEffect], chosen);
    EXPECT_TRUE(w.isVisible());

    // The brightness slider steps with the arrows.
    while (focusedName(w) != QStringLiteral("Brightness")) {
        press(&w, Qt::Key_Tab);
        ASSERT_NE(focusedName(w), QStringLiteral("Help")) << "went round without a slider";
    }
    const int before = w.slider(kBrightnessSliderId)->value();
    press(&w, before > 0 ? Qt::Key_Left : Qt::Key_Right);
    EXPECT_EQ(rig.live().image[img::kBrightness], before > 0 ? before - 1 : before + 1);

    // Shift+Tab goes back a group.
    press(&w, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_NE(focusedName(w), QStringLiteral("Brightness"));
    // The mouse hides the mark.
    rig.click(600, 20);
    EXPECT_FALSE(w.areaKeyboard().markVisible());
}

// Every event the painted windows raise, as a reader would get them.
struct ReaderEvent {
    QAccessible::Event type;
    QAccessibleInterface* iface;
    QString name;
};
std::vector<ReaderEvent> g_reader;
void recordForReader(QAccessibleEvent* e) {
    QAccessibleInterface* iface = e->accessibleInterface();
    g_reader.push_back({e->type(), iface, iface ? iface->text(QAccessible::Name) : QString()});
}
class ReaderAttached {
public:
    ReaderAttached() {
        g_reader.clear();
        ui::observeAccessibleEvents(&recordForReader);
    }
    ~ReaderAttached() { ui::observeAccessibleEvents(nullptr); }
    ReaderAttached(const ReaderAttached&) = delete;
    ReaderAttached& operator=(const ReaderAttached&) = delete;
};

// The last focus event: it must name an object the reader can reach from the window.
QAccessibleInterface* lastFocus(QAccessibleInterface* window) {
    for (auto it = g_reader.rbegin(); it != g_reader.rend(); ++it) {
        if (it->type != QAccessible::Focus) continue;
        QAccessibleInterface* f = it->iface;
        EXPECT_TRUE(f != nullptr && f->isValid() && !f->text(QAccessible::Name).isEmpty());
        if (f == nullptr) return nullptr;
        // Up the tree to the window, each object a child of the next.
        QAccessibleInterface* at = f;
        while (at != nullptr && at != window) {
            QAccessibleInterface* up = at->parent();
            EXPECT_NE(up, nullptr);
            if (up == nullptr) return nullptr;
            EXPECT_GE(up->indexOfChild(at), 0) << at->text(QAccessible::Name).toStdString();
            at = up;
        }
        return f;
    }
    return nullptr;
}

bool told(QAccessible::Event type, const QString& name) {
    return std::any_of(g_reader.begin(), g_reader.end(),
                       [&](const ReaderEvent& e) { return e.type == type && e.name == name; });
}

TEST(MainWindowReader, SlidersFieldsAndListsSpeakTheirValuesWhereTheFocusIs) {
    Rig rig;
    auto& w = *rig.window;
    QAccessibleInterface* window = windowInterface(&w);
    ReaderAttached reader;
    w.activateWindow();
    w.setFocus();
    while (focusedName(w) != QStringLiteral("Light")) {
        press(&w, Qt::Key_Tab);
        ASSERT_NE(focusedName(w), QStringLiteral("Save"));
    }
    press(&w, Qt::Key_Space);
    ASSERT_FALSE(w.sections().light);

    // The effect: a combo box whose text is its value; its list a list of rows inside the
    // window, the rest of the window still there.
    press(&w, Qt::Key_Tab);
    QAccessibleInterface* effect = lastFocus(window);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->text(QAccessible::Name), QStringLiteral("Effect"));
    ASSERT_NE(effect->textInterface(), nullptr);
    const QString before = effect->text(QAccessible::Value);
    EXPECT_FALSE(before.isEmpty());
    EXPECT_EQ(effect->textInterface()->text(0, effect->textInterface()->characterCount()), before);
    press(&w, Qt::Key_Space);
    ASSERT_TRUE(w.effectListOpen());
    w.repaint();
    EXPECT_TRUE(effect->state().expanded);
    QAccessibleInterface* row = lastFocus(window);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->role(), QAccessible::ListItem);
    EXPECT_TRUE(row->state().selected);
    EXPECT_EQ(row->text(QAccessible::Name), before);
    QAccessibleInterface* list = row->parent();
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->childCount(), static_cast<int>(keys::lighting::kEffectCount));
    EXPECT_NE(named(window, QStringLiteral("Save")), nullptr);
    press(&w, Qt::Key_Down);
    EXPECT_EQ(lastFocus(window)->parent(), list);
    press(&w, Qt::Key_Space);
    w.repaint();
    EXPECT_FALSE(effect->state().expanded);
    EXPECT_NE(effect->text(QAccessible::Value), before);
    EXPECT_TRUE(told(QAccessible::ValueChanged, QStringLiteral("Effect")));

    // A slider: the focus lands on it, and a step is told with the value.
    while (focusedName(w) != QStringLiteral("Brightness")) press(&w, Qt::Key_Tab);
    QAccessibleInterface* brightness = lastFocus(window);
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(brightness->text(QAccessible::Name), QStringLiteral("Brightness"));
    EXPECT_TRUE(brightness->state().focused);
    ASSERT_NE(brightness->valueInterface(), nullptr);
    const int level = w.slider(kBrightnessSliderId)->value();
    EXPECT_EQ(brightness->valueInterface()->currentValue().toInt(), level);
    g_reader.clear();
    press(&w, level > 0 ? Qt::Key_Left : Qt::Key_Right);
    EXPECT_TRUE(told(QAccessible::ValueChanged, QStringLiteral("Brightness")));
    EXPECT_NE(brightness->valueInterface()->currentValue().toInt(), level);

    // The report rate is spoken in Hz.
    while (focusedName(w) != QStringLiteral("USB Report Rate") || w.sections().reportRate) {
        press(&w,
              focusedName(w) == QStringLiteral("USB Report Rate") ? Qt::Key_Space : Qt::Key_Tab);
    }
    press(&w, Qt::Key_Tab);
    QAccessibleInterface* rate = lastFocus(window);
    ASSERT_NE(rate, nullptr);
    ASSERT_EQ(rate->role(), QAccessible::Slider);
    ASSERT_NE(rate->valueInterface(), nullptr);
    EXPECT_EQ(rate->valueInterface()->maximumValue().toInt(), 1000);
    EXPECT_EQ(
        rate->text(QAccessible::Value),
        QString::number(rate->valueInterface()->currentValue().toInt()) + QStringLiteral(" Hz"));
}

TEST(MainWindowKeyboard, InDiyModeAKeyIsALightToSwitch) {
    Rig rig;
    auto& w = *rig.window;
    QAccessibleInterface* window = windowInterface(&w);
    rig.live().image[img::kEffect] = 51;  // DIY1
    rig.live().diyMode = true;
    QAccessibleInterface* caps = named(window, QStringLiteral("Caps Lock"));
    ASSERT_NE(caps, nullptr);
    EXPECT_EQ(caps->role(), QAccessible::CheckBox);
    const bool lit = caps->state().checked;
    caps->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(waitFor([&] { return caps->state().checked != lit; }));
    // The Windows key and Fn take a light too in DIY mode.
    QAccessibleInterface* win = named(
        window, QString::fromStdString(keys::pictureKeyName(keys::kLeftWinKey, Language::English)));
    ASSERT_NE(win, nullptr);
    EXPECT_FALSE(win->state().disabled);
}

TEST(MainWindowKeyboard, ArrowsWalkTheKeyboardPictureByRowAndColumn) {
    Rig rig;
    auto& w = *rig.window;
    w.setFocus();
    while (focusedName(w) != QStringLiteral("Escape")) {
        press(&w, Qt::Key_Tab);
        ASSERT_NE(focusedName(w), QStringLiteral("Save")) << "no keyboard group";
    }
    press(&w, Qt::Key_Right);
    EXPECT_EQ(focusedName(w), QStringLiteral("F1"));
    press(&w, Qt::Key_Left);
    press(&w, Qt::Key_Down);
    press(&w, Qt::Key_Down);
    EXPECT_EQ(focusedName(w), QStringLiteral("Tab"));
    press(&w, Qt::Key_Right);
    EXPECT_EQ(focusedName(w), QStringLiteral("Q"));
    press(&w, Qt::Key_Down);
    EXPECT_EQ(focusedName(w), QStringLiteral("A"));
    press(&w, Qt::Key_Left);
    EXPECT_EQ(focusedName(w), QStringLiteral("Caps Lock"));
    press(&w, Qt::Key_Up);
    EXPECT_EQ(focusedName(w), QStringLiteral("Tab"));
}

}  // namespace
}  // namespace tessaron::app::testing

#include "macro_manager_test_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include "macros/event_stream.h"
#include "tholwin/tholwin.h"
#include "ui/edit_helper.h"  // completes the list box's editor pointer
#include "ui/image_folders.h"
#include "ui/messages.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app::testing {

namespace {

QAction* findAction(QMenu& menu, const QString& label) {
    for (QAction* a : menu.actions()) {
        if (a->text() == label) return a;
    }
    return nullptr;
}

QStringList texts(const ui::CTransparentListBox& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i) out << list.itemText(i);
    return out;
}

}  // namespace

macros::MacroTable tableWith(const std::vector<std::string>& names) {
    macros::MacroTable table;
    for (std::size_t i = 0; i < names.size(); ++i) {
        table[i].setName(macros::utf8ToUtf16(names[i]));
        table[i].setLoopCount(1);
    }
    return table;
}

QString imageFolderFor(Language lang) {
    return ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), lang,
                           ui::Panel::MacroManagement);
}

ManagerRig::ManagerRig(const macros::MacroTable& table, Language lang) : committed(table) {
    MacroManagerSetup setup;
    setup.imageFolder = imageFolderFor(lang);
    setup.language = lang;
    setup.clock = &clock;
    setup.prompts = &prompts;
    dlg = std::make_unique<CMacroRecordDlg>(committed, setup);
    dlg->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
}

ManagerRig::~ManagerRig() {
    dlg.reset();
    tholwin::removehook();
}

void ManagerRig::click(QPoint pos) {
    QTest::mouseClick(dlg.get(), Qt::LeftButton, Qt::NoModifier, pos);
}

void ManagerRig::key(std::uint8_t vk, bool release) {
    ui::sendMessage(dlg.get(), ui::WM_MACRO_KEY, vk, release ? tholwin::kReleaseFlag : 0);
}

void ManagerRig::advanceMs(int ms) {
    clock.advance(std::chrono::milliseconds(ms));
}

void ManagerRig::menu(int line, const QStringList& path) {
    dlg->eventList()->setCurrentRow(line);
    std::unique_ptr<QMenu> root = dlg->eventMenu();
    QMenu* current = root.get();
    for (qsizetype i = 0; i < path.size(); ++i) {
        QAction* action = findAction(*current, path[i]);
        ASSERT_NE(action, nullptr) << path[i].toStdString();
        if (i + 1 < path.size()) {
            ASSERT_NE(action->menu(), nullptr);
            current = action->menu();
        } else {
            action->trigger();
        }
    }
}

QStringList ManagerRig::eventTexts() const {
    return texts(*dlg->eventList());
}

QStringList ManagerRig::macroTexts() const {
    return texts(*dlg->macroList());
}

QStringList ManagerRig::modelLines() const {
    QStringList out;
    for (const auto& line : dlg->manager().lines()) out << QString::fromStdString(line.text);
    return out;
}

}  // namespace tessaron::app::testing

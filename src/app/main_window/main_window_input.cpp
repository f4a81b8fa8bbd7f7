#include "app/main_window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QWindow>

#include "app/main_window/about_dlg.h"
#include "app/main_window/lighting_panel.h"
#include "app/main_window/performance_panel.h"
#include "keys/key_description.h"
#include "ui/bit_slider.h"
#include "ui/menu_style.h"
#include "ui/text.h"
#include "core/text.h"

// Mouse and keyboard input, clicks on the picture and the pages they open.

namespace tessaron::app {

namespace img = device::image;

namespace {

constexpr int kProfilesSettleMs = 50;

}  // namespace

// ---- Mouse and keyboard.

void CTessaronDlg::mousePressEvent(QMouseEvent* event) {
    keyboard_.hideMark();
    if (event->button() != Qt::LeftButton || busy()) return;
    buttonHeld_ = true;
    dragging_ = false;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CTessaronDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool wasDrag = dragging_;
    buttonHeld_ = false;
    dragging_ = false;
    if (busy() || wasDrag) return;
    click(event->position().toPoint());
}

void CTessaronDlg::mouseMoveEvent(QMouseEvent* event) {
    if (busy()) return;
    const bool held = (event->buttons() & Qt::LeftButton) != 0;
    if (!held) buttonHeld_ = false;
    if (dragging_) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    hover(event->position().toPoint(), held && buttonHeld_);
}

void CTessaronDlg::hover(QPoint p, bool buttonHeld) {
    const int x = p.x();
    const int y = p.y();
    const int oldRow = hoveredRow_;
    bool onArea = false;
    if (effectListOpen_ || responseListOpen_) {
        hoveredRow_ = listRowAt(p);
    } else {
        hoveredRow_ = -1;
        const int a = areaAt(p);
        onArea = a != area::kNone;
        if (a != hoveredArea_) {
            hoveredArea_ = a;
            update();
        }
    }
    if (hoveredRow_ != oldRow) update();

    const auto key = keys::keyAtPoint(x, y, live_.diyMode);
    const bool anyList = effectListOpen_ || responseListOpen_ || helpMenuOpen_;
    if (buttonHeld && !onArea && !key && !anyList) {
        // Dragging the window by its face.
        dragging_ = true;
        if (QWindow* w = windowHandle(); w == nullptr || !w->startSystemMove()) {
            return;  // moved by hand in mouseMoveEvent from now on
        }
        dragging_ = false;  // the window system moves it and keeps the release
        buttonHeld_ = false;
        return;
    }
    if (key != hoveredKey_) {
        hoveredKey_ = key;
        update();
    }
}

void CTessaronDlg::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (hoveredArea_ != area::kNone) {
        hoveredArea_ = area::kNone;
        update();
    }
}

void CTessaronDlg::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (hoveredArea_ != area::kNone || hoveredKey_) {
        hoveredArea_ = area::kNone;
        hoveredKey_.reset();
        update();
    }
}

void CTessaronDlg::keyPressEvent(QKeyEvent* event) {
    // Enter, Esc and F1 are ordinary keys here: they never close the window or ask for help.
    event->accept();
    if (busy()) return;
    const int key = event->key();
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && shift)) {
        const QRect mark = keyboard_.markRect();
        const QPoint at = mark.isEmpty() ? rect().center() : mark.center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
        contextMenuEvent(&menu);
        return;
    }
    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo. The pages that capture keys are windows
    // of their own: these reach them as keys.
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                            Qt::AltModifier | Qt::MetaModifier);
    if (controller_ && (key == Qt::Key_Z || key == Qt::Key_Y) &&
        (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        if (key == Qt::Key_Z && mods == Qt::ControlModifier) {
            controller_->undo();
        } else {
            controller_->redo();
        }
        return;
    }
    if (key == Qt::Key_Escape && (effectListOpen_ || responseListOpen_ || helpMenuOpen_)) {
        // Closes an open list or menu as a click beside it does.
        const int field = effectListOpen_     ? area::kEffectField
                          : responseListOpen_ ? area::kResponseField
                                              : area::kHelp;
        // The focus first, while the rows are still there to be left.
        keyboard_.focusArea(field);
        effectListOpen_ = responseListOpen_ = helpMenuOpen_ = false;
        hoveredRow_ = -1;
        placeSliders();
        update();
        return;
    }
    keyboard_.key(key, event->modifiers(), true);
}

bool CTessaronDlg::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab go through the painted areas, not through the hidden slider widgets.
    if (!busy()) keyboard_.key(next ? Qt::Key_Tab : Qt::Key_Backtab, {}, true);
    return true;
}

void CTessaronDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (busy()) return;
    QMenu menu(this);
    ui::styleMenu(menu);
    addUndoActions(menu);
    menu.addSeparator();
    menu.addAction(ui::text(live_.language, TR_TEXT("MainWindow", "About Tessaron(&A)...")), this,
                   [this] { CAboutDlg(live_.language, this).exec(); });
    menu.exec(event->globalPos());
}

void CTessaronDlg::closeEvent(QCloseEvent* event) {
    // The window system's close (e.g. Alt+F4) hides like the hide button; the program ends
    // through the close button or the icon menu's Exit.
    if (!ended_ && hidesToTray()) {
        event->ignore();
        hide();
        return;
    }
    if (!ended_) {
        endWindow(true);
    }
    event->accept();
}

// ---- Clicks.

void CTessaronDlg::click(QPoint p) {
    if (effectListOpen_) {
        clickEffectList(p);
    } else if (responseListOpen_) {
        clickResponseList(p);
    } else if (helpMenuOpen_) {
        clickHelpMenu(p);
    } else {
        const int a = areaAt(p);
        if (a != area::kNone) {
            clickArea(a);
        } else if (auto key = keys::keyAtPoint(p.x(), p.y(), live_.diyMode)) {
            clickKey(*key);
        }
    }
    update();
}

void CTessaronDlg::clickArea(int a) {
    using namespace area;
    // Every change of the settings goes through the controller.
    const auto change = [this](Error name, const std::function<void(device::DeviceImage&)>& f) {
        controller_->edit([&f](LiveConfig& live) { f(live.image); }, std::move(name));
    };
    switch (a) {
        case kHelp:
            helpMenuOpen_ = !helpMenuOpen_;
            break;
        case kHide:
            hideWindow();
            break;
        case kClose:
            endWindow(true);
            break;
        case kEffectField:
            effectListOpen_ = true;
            hoveredRow_ = -1;
            placeSliders();
            break;
        case kDirection1:
        case kDirection1 + 1:
        case kDirection1 + 2:
        case kDirection1 + 3:
            change(makeError(TR_TEXT("MainWindow", "Lighting direction")), [a](device::DeviceImage& image) {
                image[img::kDirection] =
                    lighting::directionForButton(image[img::kEffect], a - kDirection1);
            });
            break;
        case kMacroManagement:
            runMacroManager();
            break;
        case kGameModeOn:
        case kGameModeOff:
            change(a == kGameModeOn ? makeError(TR_TEXT3("MainWindow", "Game Mode on", "clickArea"))
                                    : makeError(TR_TEXT3("MainWindow", "Game Mode off", "clickArea")),
                   [a](device::DeviceImage& image) {
                performance::setGameMode(image, a == kGameModeOn);
            });
            break;
        case kWinLockOn:
        case kWinLockOff:
            change(a == kWinLockOn ? makeError(TR_TEXT3("MainWindow", "Win Lock on", "clickArea"))
                                   : makeError(TR_TEXT3("MainWindow", "Win Lock off", "clickArea")),
                   [a](device::DeviceImage& image) {
                performance::setWinLock(image, a == kWinLockOn);
            });
            break;
        case kResponseField:
            responseListOpen_ = true;
            hoveredRow_ = -1;
            placeSliders();
            break;
        case kProfile:
            runProfiles();
            break;
        case kReturn:
            factoryReset();
            break;
        case kCancel:
            cancel();
            break;
        case kSave:
            controller_->save();
            break;
        case kLightHeader:
            sections_.light = !sections_.light;
            break;
        case kGameModeHeader:
            sections_.gameMode = !sections_.gameMode;
            break;
        case kResponseHeader:
            sections_.responseTime = !sections_.responseTime;
            break;
        case kRateHeader:
            sections_.reportRate = !sections_.reportRate;
            break;
        case kKeymapRadio:
        case kDiyRadio:
            controller_->edit([a](LiveConfig& live) { live.diyMode = a == kDiyRadio; });
            break;
        default:
            break;  // colour squares and the logo do nothing
    }
    placeSliders();
}

void CTessaronDlg::clickKey(keys::KeyIndex key) {
    if (live_.diyMode) {
        controller_->edit(
            [key](LiveConfig& live) { lighting::toggleDiyLight(live.image, key); },
            makeError(TR_TEXT("MainWindow", "Light of %1"), composed([key](Language lang) {
                          return keys::pictureKeyName(key, lang);
                      })));
        return;
    }
    editKey(key);
}

void CTessaronDlg::clickEffectList(QPoint p) {
    const int row = listRowAt(p);
    if (row >= 0) {
        controller_->edit(
            [row](LiveConfig& live) {
                live.diyMode = lighting::chooseEffect(live.image, static_cast<std::size_t>(row));
            },
            makeError(TR_TEXT("MainWindow", "Lighting effect")));
    }
    effectListOpen_ = false;
    hoveredRow_ = -1;
    placeSliders();
}

void CTessaronDlg::clickResponseList(QPoint p) {
    const int row = listRowAt(p);
    controller_->edit(
        [row](LiveConfig& live) { performance::chooseResponseRow(live.image, row); },
        makeError(TR_TEXT3("MainWindow", "Response Time", "clickResponseList")));
    responseListOpen_ = false;
    hoveredRow_ = -1;
    placeSliders();
}

void CTessaronDlg::clickHelpMenu(QPoint p) {
    const int row = listRowAt(p);
    helpMenuOpen_ = false;
    if (row == 0) {
        // The guide in the interface language, when it ships beside the English one.
        auto page = setup_.helpPage;
        if (live_.language == Language::Chinese) {
            auto chinese = page;
            chinese.replace_extension(".zh" + page.extension().string());
            std::error_code ec;
            if (std::filesystem::is_regular_file(chinese, ec)) page = chinese;
        }
        const QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
        if (auto s = programs_->openUrl(url); !s) showError(s.error());
    } else if (row == 1) {
        startUpdater();
    }
}

void CTessaronDlg::editKey(keys::KeyIndex key) {
    if (!setup_.pages.keyPage) return;
    if (auto begun = controller_->beginKeyEdit(key); !begun) {
        showError(begun.error());
        return;
    }
    // The page fills the pending assignment; the controller applies it.
    const EditorOpen open(*controller_);
    if (!setup_.pages.keyPage(this, controller_->live(), key)) {
        if (controller_) controller_->cancelEdit();
        return;
    }
    controller_->finishKeyEdit();
}

void CTessaronDlg::runMacroManager() {
    if (!setup_.pages.macroManager) return;
    controller_->beginMacroEdit();
    const EditorOpen open(*controller_);
    if (!setup_.pages.macroManager(this, controller_->live())) {
        if (controller_) controller_->cancelEdit();
        return;
    }
    controller_->macrosEdited();
}

void CTessaronDlg::runProfiles() {
    if (!setup_.pages.profiles) return;
    // No automatic switch nor outside change until the panel's changes are taken in.
    controller_->openEditor();
    controller_->beginProfiles();
    setup_.pages.profiles(this, controller_->live(), frameGeometry());
    if (!controller_) return;
    controller_->profilesClosed();
    // A profile applied replaced the settings and keymap.bin.
    QTimer::singleShot(kProfilesSettleMs, this, [this] {
        if (!controller_) return;
        controller_->refresh(false);
        controller_->closeEditor();
    });
}

void CTessaronDlg::hideWindow() {
    if (hidesToTray()) {
        hide();
        tellStillRunning();
    } else {
        // Without a notification area a hidden window could never be reached again.
        showMinimized();
    }
}

void CTessaronDlg::endWindow(bool writeCommitted) {
    if (ended_) return;
    ended_ = true;
    // With the close button, keymap.bin gets what the keyboard holds, not unsaved changes.
    if (controller_) controller_->finish(writeCommitted);
    if (tray_ != nullptr) tray_->hide();
    hide();
    emit ended();
}

}  // namespace tessaron::app

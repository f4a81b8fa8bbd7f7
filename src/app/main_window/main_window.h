#pragma once
// The main window, CTessaronDlg: a borderless window drawn from the images of its folder. It
// paints the settings controller's live configuration: the keyboard picture, the left panel with
// the Light, Game Mode, Response Time and USB Report Rate sections, the bottom buttons, the help
// menu and the notification-area icon, and turns every click into a request to the controller
// (an edit, Save, Cancel, a reset) or the opening of a page.

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QStaticText>
#include <QString>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/autostart.h"
#include "app/shell/desktop.h"
#include "app/controller/settings_controller.h"
#include "app/shell/live_config.h"
#include "app/shell/pages.h"
#include "app/main_window/window_layout.h"
#include "core/settings.h"
#include "device/firmware.h"
#include "keys/host_action.h"
#include "keys/key_layout.h"
#include "ui/accessible_areas.h"
#include "ui/accessible_keys.h"

class QAction;
class QMenu;
class QTimer;
class QSystemTrayIcon;

namespace tessaron::ui {
class CBitSlider;
}

namespace tessaron::app {

class WindowSwitching;

inline constexpr const char* kWindowTitle = "VantorOrvik机械键盘";

// Control ids of the three sliders.
inline constexpr int kSpeedSliderId = 1007;
inline constexpr int kReportRateSliderId = 1010;
inline constexpr int kBrightnessSliderId = 1017;

struct MainWindowSetup {
    SettingsController* controller = nullptr;  // required; may end before the window
    UserDialogs* dialogs = nullptr;            // null: message boxes
    ProgramStarter* programs = nullptr;        // null: the desktop
    FileVersion shippedFirmware;
    std::filesystem::path programFolder;  // where the firmware updater lies
    std::filesystem::path helpPage;       // the local help page
    Pages pages;
    bool useTray = true;  // false: never create a notification-area icon (tests)
    // Why a keyboard that is plugged in cannot be opened (no udev rule, ...); nullopt when it is
    // simply absent or usable. Unset: only "No Gaming Keyboard Detected!" is ever told.
    std::function<std::optional<Error>()> accessProblem;
    // Where the icon menu's "Start at login" switch keeps its entry; unset: no switch.
    std::optional<AutostartPlaces> autostart;
    // Automatic profile switching (the rules window, the icon menu's switch); null: none.
    WindowSwitching* switching = nullptr;
};

class CTessaronDlg final : public QWidget, public ui::PaintedAreaSource {
    Q_OBJECT

public:
    explicit CTessaronDlg(MainWindowSetup setup, QWidget* parent = nullptr);
    ~CTessaronDlg() override;
    CTessaronDlg(const CTessaronDlg&) = delete;
    CTessaronDlg& operator=(const CTessaronDlg&) = delete;

    // Has the controller load the data files and connect the keyboard. Call once, before the
    // window is shown.
    void initialise();

    // Shows the window in its normal state and brings it forward (tray, second instance).
    void bringForward();
    // Ends the window as the icon menu's Exit does (a signal asked the program to end).
    void exitWindow() { endWindow(false); }
    // The notification-area icon was clicked: forward with a keyboard, else the notice.
    void trayActivated(int reason);
    // "No Gaming Keyboard Detected!", or why a plugged-in keyboard cannot be opened.
    void showNoDeviceBalloon();
    // The rules of automatic profile switching (from the icon menu and the profiles panel).
    void openRules();

    // ---- State, for the pages and for tests.
    [[nodiscard]] LiveConfig& live() { return live_; }
    [[nodiscard]] const Sections& sections() const { return sections_; }
    [[nodiscard]] SectionLayout layout() const { return layoutSections(sections_); }
    [[nodiscard]] bool effectListOpen() const { return effectListOpen_; }
    [[nodiscard]] bool responseListOpen() const { return responseListOpen_; }
    [[nodiscard]] bool helpMenuOpen() const { return helpMenuOpen_; }
    [[nodiscard]] int hoveredArea() const { return hoveredArea_; }
    [[nodiscard]] int hoveredListRow() const { return hoveredRow_; }
    [[nodiscard]] std::optional<keys::KeyIndex> hoveredKey() const { return hoveredKey_; }
    // Device traffic outstanding: input is ignored meanwhile.
    [[nodiscard]] bool busy() const { return controller_ && controller_->isBusy(); }
    // A plug-in not yet read (settling, or being read); the window takes input meanwhile.
    [[nodiscard]] bool arrivalPending() const {
        return controller_ && controller_->arrivalPending();
    }
    [[nodiscard]] ui::CBitSlider* slider(int controlId) const;
    [[nodiscard]] QSystemTrayIcon* trayIcon() const { return tray_; }
    [[nodiscard]] QMenu* trayMenu() const { return trayMenu_.get(); }
    // Where hiding goes: the notification area when there is one, else the task bar.
    [[nodiscard]] bool hidesToTray() const;


    // ---- The window's areas (main_window_areas.cpp): one table, in reading order, that the
    // paint, the hit test, screen readers and the keyboard read. withKeys: with the keys of
    // the picture (the reader's; the paint and the hit test take them from the key layout).
    [[nodiscard]] std::vector<WindowArea> areaTable(bool withKeys) const;
    // The pixel height of a label whose area names none.
    static constexpr int kLabelHeight = 13;
    // The area a click at p lands on (a row while a list is open), or area::kNone.
    [[nodiscard]] int areaAt(QPoint p) const;
    // The row of the open list or help menu under p, or -1.
    [[nodiscard]] int listRowAt(QPoint p) const;
    [[nodiscard]] std::vector<ui::PaintedArea> paintedAreas() const override;
    void activatePaintedArea(int id) override;
    [[nodiscard]] int focusedPaintedArea() const override { return keyboard_.current(); }
    [[nodiscard]] const ui::AreaKeyboard& areaKeyboard() const { return keyboard_; }

signals:
    // The window has ended (close button or the icon menu's Exit); the program should quit.
    void ended();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Painting (main_window_paint.cpp).
    // layerDrawn: p paints on the static layer's pixels already.
    void paintFace(QPainter& p, bool layerDrawn = false);
    void paintKeyboard(QPainter& p);
    void paintBottom(QPainter& p, const std::vector<WindowArea>& areas);
    // The area's picture (hovered or not) and its label.
    void paintArea(QPainter& p, const WindowArea& area);
    void paintLightSection(QPainter& p, const std::vector<WindowArea>& areas);
    void paintPerformance(QPainter& p, const SectionLayout& l,
                          const std::vector<WindowArea>& areas);
    // The rows of the open list or menu.
    void paintLists(QPainter& p, const std::vector<WindowArea>& areas);
    void paintThumb(QPainter& p, const ui::CBitSlider* slider, int extraX);
    // White panel text with its top-left corner at (x, y).
    void drawText(QPainter& p, const QString& s, int x, int y, int pixelHeight);
    void placeSliders();

    // Everything the face is drawn from; a face kept by an earlier start is shown while the
    // state it was drawn from holds.
    struct FaceState {
        device::DeviceImage image{};
        keys::ModifiedMarks marks{};
        Sections sections;
        std::array<std::array<int, 5>, 3> sliders{};  // visible, x, y, thumb x, thumb y
        std::optional<keys::KeyIndex> hoveredKey;
        QSize size;
        int hoveredArea = 0;
        int hoveredRow = 0;
        Language language = Language::English;
        bool diyMode = false;
        bool effectListOpen = false;
        bool responseListOpen = false;
        bool helpMenuOpen = false;
        bool unplugged = false;
        QString notice;
        friend bool operator==(const FaceState&, const FaceState&) = default;
    };
    [[nodiscard]] FaceState faceState() const;
    // Loads the font database and this thread's engines of the panel fonts (with the fallback
    // the language's texts need).
    static void warmFonts(Language language);
    // Starts decoding the first paint's images on workers and loads the fonts (once).
    void startWarmup();
    // Decodes the images the first paint draws over the static layer (safe on any thread).
    static void loadOverlayImages(const QString& folder);
    // The face of a previous start, when it was drawn from the same state and files: the first
    // paint then needs neither the PNG decoder nor the font database.
    bool loadKeptFace();
    void keepFace(const QImage& face);
    // The parts of the face that never change, composed once.
    const QImage& staticLayer();
    struct LayerImage {
        const char* name;
        QPoint at;
    };
    // The static layer's images in drawing order; nothing drawn before them in the face's
    // order overlaps them, so drawing them first as one image gives the same face. The first
    // is the background, the others are the pictures drawn over it.
    static constexpr std::array<LayerImage, 4> kStaticLayerImages{{
        {"main.png", {0, 0}},
        {"logo.png", {19, 32}},
        {"kb_BK.png", {keys::kKeyboardOrigin.x, keys::kKeyboardOrigin.y}},
        {"Config.png", {17, 603}},
    }};
    // These are safe off the GUI thread; their images are not kept in memory besides the layer.
    static QImage composeStaticLayer(const QString& folder, QSize size, qreal ratio);
    // The layer with only its background: the decoded background itself when it has the
    // layer's size (no second window-sized image).
    static QImage layerBackground(const QString& folder, QSize size, qreal ratio);
    [[nodiscard]] QByteArray faceKey(const FaceState& state) const;
    [[nodiscard]] QString keptFacePath() const;

    // Clicks (main_window.cpp).
    void click(QPoint p);
    void clickArea(int area);
    void clickKey(keys::KeyIndex key);
    void clickEffectList(QPoint p);
    void clickResponseList(QPoint p);
    void clickHelpMenu(QPoint p);
    void hover(QPoint p, bool buttonHeld);
    void editKey(keys::KeyIndex key);
    void runMacroManager();
    void runProfiles();
    void hideWindow();
    void endWindow(bool writeCommitted);

    // The controller's signals.
    void connectController();
    void onSliderMoved(int controlId);
    void setSlidersFromImage();
    // The first hide to the notification area tells, once per user, that the program keeps
    // running there (remembered in <data folder>/tessaron.conf).
    void tellStillRunning();
    void addAutostartSwitch();
    // Undo and Redo with the name of their step, for the window's and the icon's menus.
    void setUndoAction(QAction* action, bool redo) const;
    void addUndoActions(QMenu& menu);
    void updateTrayUndo();
    // One line over the keyboard picture for a few seconds (the undo history was cleared).
    void showHistoryNotice(const QString& text);
    // The icon menu's automatic switching: on/off, the rules, and whether each switch is told.
    void addSwitchingEntries();

    // What the controller tells, and the questions before its work (main_window_device.cpp).
    void cancel();
    void factoryReset();
    void onFactoryResetDone();
    void offerFirmwareUpdate();
    void tellKeysBeyondKeyboard(int count);
    void tellDataFolderUnwritable(const Error& error);
    void showError(const Error& error);
    void startUpdater();

    void createTray();
    // The tray menu's profiles, listed afresh each time it opens (main_window_outside.cpp).
    void fillTrayProfiles();
    void loadTrayProfile(const std::string& name, const std::filesystem::path& file);
    // Another program changed keymap.bin under the window's unsaved changes.
    void askOutsideChange(const OutsideConflict& conflict);

    MainWindowSetup setup_;
    // The controller may end before the window (the program tears it down first).
    QPointer<SettingsController> controller_;
    LiveConfig& live_;  // the controller's, read for painting
    std::unique_ptr<UserDialogs> ownDialogs_;
    std::unique_ptr<ProgramStarter> ownPrograms_;
    UserDialogs* dialogs_ = nullptr;
    ProgramStarter* programs_ = nullptr;

    QString imageFolder_;
    std::map<int, QFont> fonts_;                            // panel font by pixel height
    std::map<std::pair<int, QString>, QStaticText> texts_;  // laid-out texts by height and text
    QRect listCover_;  // while painting under an open list: texts it would cut are left out
    QImage face_;  // the face kept by an earlier start, while faceState_ holds
    std::optional<FaceState> faceState_;  // what was drawn last
    QImage staticLayer_;
    QString staticLayerFolder_;
    bool warmupStarted_ = false;
    bool warmupScheduled_ = false;
    bool faceKept_ = false;  // handed to the background once
    // After a start that showed a kept face: decodes the images drawn over the static layer.
    std::future<void> prefetch_;
    std::future<QImage> layerPrefetch_;
    QString layerPrefetchFolder_;
    Sections sections_;
    bool effectListOpen_ = false;
    bool responseListOpen_ = false;
    bool helpMenuOpen_ = false;
    int hoveredArea_ = area::kNone;
    int hoveredRow_ = -1;
    std::optional<keys::KeyIndex> hoveredKey_;

    bool buttonHeld_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;

    ui::CBitSlider* speed_ = nullptr;
    ui::CBitSlider* brightness_ = nullptr;
    ui::CBitSlider* reportRate_ = nullptr;
    std::array<int, 3> lastSliderPos_{-1, -1, -1};
    int reportRateTop_ = -1;

    QSystemTrayIcon* tray_ = nullptr;
    std::unique_ptr<QMenu> trayMenu_;
    std::vector<QAction*> trayProfiles_;  // the profiles' part of the menu
    QAction* trayUndo_ = nullptr;
    QAction* trayRedo_ = nullptr;
    int sliderDrags_ = 0;  // thumb presses so far: moves of one drag merge into one step
    QString historyNotice_;
    QTimer* historyNoticeTimer_ = nullptr;

    bool firmwareOffered_ = false;  // once per connection
    bool ended_ = false;
    // The keyboard is known to be absent (unplugged, or not found at start): the picture is
    // dimmed with a notice until it is back.
    bool unplugged_ = false;
    ui::AreaKeyboard keyboard_{this};
};

}  // namespace tessaron::app

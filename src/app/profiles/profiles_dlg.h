#pragma once
// The profiles panel, CConfigureDlg: a modal, borderless window drawn from the images of its
// folder, holding the profiles list. Its clicks, context menu and in-place renames become calls
// of profiles::ProfileStore, whose messages it shows. It never talks to the keyboard: a loaded
// profile lands in the live configuration and goes out with the main window's next Save.

#include <QDialog>
#include <QRect>
#include <QString>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/profiles/profiles_dlg_layout.h"
#include "app/profiles/profiles_dlg_prompts.h"
#include "core/clock.h"
#include "core/language.h"
#include "profiles/profile_store.h"
#include "ui/accessible_areas.h"
#include "ui/accessible_keys.h"

class QAction;
class QFileSystemWatcher;
class QMenu;

namespace tessaron::ui {
class CTransparentListBox;
}

namespace tessaron::app {

struct ProfilesPanelSetup {
    QString imageBase;                 // the folder holding "png/<language>/Config/"
    std::filesystem::path dataFolder;  // holds "Configure"; the file choosers start here
    Language language = Language::English;
    Clock* clock = nullptr;              // null: the system clock
    ProfilesPrompts* prompts = nullptr;  // null: real message boxes and file dialogs
    // Opens the rules of automatic switching over the panel (the menu's last entry); unset: no
    // such entry.
    std::function<void(QWidget* over)> openRules;
};

class CConfigureDlg final : public QDialog, public ui::PaintedAreaSource {
    Q_OBJECT

public:
    // Shows the chosen menu entry and returns it (null when dismissed). Tests replace it.
    using MenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;

    // live: the main window's device image and key record table, which Load replaces.
    CConfigureDlg(profiles::LiveConfiguration live, ProfilesPanelSetup setup,
                  QWidget* parent = nullptr);
    ~CConfigureDlg() override;

    // The opening steps: size from the background image, top-left corner at (left - 1, top - 1)
    // of ownerRect, list placed and styled, folder listed. Every opening re-runs them.
    void prepare(const QRect& ownerRect);
    // prepare(), then modal until closed.
    int run(const QRect& ownerRect);

    // --- Commands, as the buttons and the context menu call them.
    void runCommand(profilesdlg::Command command);
    // The context menu with its labels in the interface language; each action's data is its
    // command id.
    std::unique_ptr<QMenu> contextMenu();
    // Opens the context menu at a screen position and carries out the chosen command.
    void showContextMenu(const QPoint& globalPos);
    void setMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }

    // --- What the panel holds (for the main window and for tests).
    [[nodiscard]] ui::CTransparentListBox* list() const { return list_; }
    [[nodiscard]] const profiles::ProfileStore& store() const { return store_; }
    [[nodiscard]] const QString& imageFolder() const { return folder_; }
    // The selected profile as a store position.
    [[nodiscard]] std::optional<std::size_t> selection() const;
    // Lists the folder again after others (tessaronctl, the bus, a file manager) changed it;
    // the selected profile stays selected. The panel's folder watcher calls it.
    void takeFolderChanges();

    // ---- The panel's areas (profiles_areas.cpp): one table that the paint, the clicks,
    // screen readers and the keyboard read.
    [[nodiscard]] std::vector<ui::WindowArea> areaTable() const;
    [[nodiscard]] std::vector<ui::PaintedArea> paintedAreas() const override;
    void activatePaintedArea(int id) override;
    [[nodiscard]] int focusedPaintedArea() const override { return keyboard_.current(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // An edit still open or a rename not yet carried out is finished before the panel closes.
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void showList();
    // Selects the row of the profile at this index of the store.
    void selectStoreIndex(std::size_t index);
    void report(const profiles::StoreResult& result);
    // A file from outside the data folder may come from someone else: keys that would run
    // something and that the live configuration does not have are named in one question.
    bool acceptsHostActions(const std::filesystem::path& file);
    void listEdited(int oldRow, int newRow);
    void finishRename();
    void paintPlainFace(QPainter& painter) const;

    profiles::LiveConfiguration live_;
    Language language_;
    QString folder_;
    std::filesystem::path dataFolder_;
    std::unique_ptr<ProfilesPrompts> ownPrompts_;
    ProfilesPrompts* prompts_;
    profiles::ProfileStore store_;
    ui::CTransparentListBox* list_ = nullptr;
    // The store position of each list row as filled; a rename's old row refers to it.
    std::vector<std::size_t> rowToStore_;
    MenuRunner menuRunner_;
    std::function<void(QWidget* over)> openRules_;
    struct PendingRename {
        std::string oldName;
        QString newText;
    };
    std::optional<PendingRename> pendingRename_;
    QFileSystemWatcher* folderWatch_ = nullptr;
    ui::AreaKeyboard keyboard_{this};
};

}  // namespace tessaron::app

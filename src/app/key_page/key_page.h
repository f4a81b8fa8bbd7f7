#pragma once
// The key customization page, CKeyMap: a modal, borderless page drawn from the images of the
// "Custom" folder, on which the user chooses what one key does. It fills the pending assignment
// and ends with OK or Cancel; the main window applies the result. Keystrokes come from the
// keyboard-hook library while the page is open.

#include <QDialog>
#include <QPoint>
#include <QString>

#include <memory>
#include <optional>

#include "app/key_page/key_page_model.h"
#include "core/language.h"
#include "keys/assignment.h"
#include "keys/key_record.h"
#include "macros/macro_record.h"
#include "ui/window_drag.h"

class QLineEdit;
class QListWidget;

namespace tessaron::ui {
class VividTree;
}

namespace tessaron::app {

class KeyPageDialogs;

struct KeyPageSetup {
    QString imageFolder;  // the page's image folder ("png/<language>/Custom/"), ending in '/'
    Language language = Language::English;
    // selectedKey and selectedVk name the key; the rest is filled by the page.
    keys::PendingAssignment* pending = nullptr;
    // The selected key's record is read when the page opens and replaced on OK.
    keys::KeyRecordTable* records = nullptr;
    bool keyEnabled = true;                      // the key's bit in the key enable bitmap
    const macros::MacroTable* macros = nullptr;  // for the names of the macros in use
    KeyPageDialogs* dialogs = nullptr;           // null: Qt's own choosers and message boxes
};

class CKeyMap final : public QDialog {
    Q_OBJECT

public:
    // Used when the background image cannot be loaded, so the page stays usable.
    static constexpr QSize kFallbackSize{326, 276};

    explicit CKeyMap(const KeyPageSetup& setup, QWidget* parent = nullptr);
    ~CKeyMap() override;
    CKeyMap(const CKeyMap&) = delete;
    CKeyMap& operator=(const CKeyMap&) = delete;

    // ---- For the window's tests and screenshots.
    [[nodiscard]] const key_page::KeyPageModel& model() const { return model_; }
    [[nodiscard]] QLineEdit* singleField() const { return single_; }
    [[nodiscard]] QLineEdit* combinationField() const { return combination_; }
    [[nodiscard]] QListWidget* macroList() const { return macroList_; }
    [[nodiscard]] ui::VividTree* functionTree() const { return tree_; }
    [[nodiscard]] int hoveredButton() const { return hovered_; }
    [[nodiscard]] bool hookInstalled() const { return model_.hookInstalled(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void done(int result) override;

private:
    class Host;

    void createControls();
    void fillTree();
    void syncControls();
    void finish(key_page::Outcome outcome);
    void removeHook();
    void paintAdvanceTab(QPainter& p) const;
    [[nodiscard]] bool isFreeSpot(QPoint at) const;

    KeyPageSetup setup_;
    keys::KeyRecord* record_ = nullptr;
    key_page::KeyPageModel model_;
    std::unique_ptr<KeyPageDialogs> ownDialogs_;
    KeyPageDialogs* dialogs_ = nullptr;
    std::unique_ptr<Host> host_;

    QLineEdit* single_ = nullptr;
    QLineEdit* combination_ = nullptr;
    QListWidget* macroList_ = nullptr;
    ui::VividTree* tree_ = nullptr;

    int hovered_ = -1;        // button under the pointer
    int hoveredBrowse_ = -1;  // Advance row whose browse button is under the pointer
    bool syncing_ = false;    // the page itself is changing its controls
    ui::WindowDrag drag_;
};

}  // namespace tessaron::app

#include "app/profiles/profiles_dlg.h"

#include <QFile>
#include <QFileSystemWatcher>

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

#include "config/host_actions.h"
#include "core/atomic_file.h"
#include "core/text.h"
#include "keys/keymap_file.h"
#include "profiles/profile_messages.h"
#include "ui/dialog_keys.h"
#include "ui/edit_helper.h"  // the list header needs the complete editor type
#include "ui/image_folders.h"
#include "ui/menu_style.h"
#include "ui/panel_painter.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app {

namespace {

namespace pd = profilesdlg;

// Selected names in cyan, as the other image-drawn lists.
constexpr QColor kSelectedText{0, 255, 255};
// The menu entry that opens the switching rules: no command id of the panel.
constexpr int kOpenRules = -1;

}  // namespace

CConfigureDlg::CConfigureDlg(profiles::LiveConfiguration live, ProfilesPanelSetup setup,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      live_(live),
      language_(setup.language),
      folder_(ui::imageFolder(setup.imageBase, setup.language, ui::Panel::Config)),
      dataFolder_(std::move(setup.dataFolder)),
      ownPrompts_(setup.prompts != nullptr
                      ? nullptr
                      : std::make_unique<DialogProfilesPrompts>(this, setup.language)),
      prompts_(setup.prompts != nullptr ? setup.prompts : ownPrompts_.get()),
      store_(dataFolder_, setup.language,
             setup.clock != nullptr ? *setup.clock : SystemClock::instance()),
      openRules_(std::move(setup.openRules)) {
    setModal(true);
    setWindowTitle(pd::texts(language_).title);

    list_ = new ui::CTransparentListBox(this);  // owned by the panel
    list_->setObjectName(QStringLiteral("profilesList"));
    list_->setProperty("controlId", pd::kListControlId);
    list_->setSorted(true);
    list_->setNotify(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The right button opens the panel's own menu and must not move the selection.
    list_->setContextMenuPolicy(Qt::PreventContextMenu);
    list_->viewport()->installEventFilter(this);
    connect(list_, &ui::CTransparentListBox::nameMoved, this, &CConfigureDlg::listEdited);
}

CConfigureDlg::~CConfigureDlg() = default;

void CConfigureDlg::prepare(const QRect& ownerRect) {
    QSize size = ui::panelImageSize(folder_, QString::fromLatin1(pd::kBackgroundImage));
    // Without its background the panel would be 0 x 0: an invisible modal window that locks
    // the program. It takes the usual size and paints a plain face instead.
    if (size.isEmpty()) size = QSize(pd::kFallbackWidth, pd::kFallbackHeight);
    setFixedSize(size);
    move(ownerRect.topLeft() - QPoint(1, 1));

    list_->setGeometry(pd::kListOrigin.x(), pd::kListOrigin.y(), pd::kListWidth, pd::kListHeight);
    list_->setLook(QStringLiteral("Arial"), pd::kListFontHeight, Qt::white, kSelectedText, true,
                   Qt::black, pd::kListShadowOffset);
    list_->setEditMode(ui::CTransparentListBox::kProfileName);
    list_->setSelectOnTab(true);
    list_->setEditorName(ui::text(language_, TR_TEXT("ProfilesPanel", "Profile name")));
    list_->recaptureBackground();

    report(store_.open());
    showList();
    if (folderWatch_ == nullptr) {
        folderWatch_ = new QFileSystemWatcher(this);
        connect(folderWatch_, &QFileSystemWatcher::directoryChanged, this,
                &CConfigureDlg::takeFolderChanges);
    }
    const QString folder = QFile::decodeName(QByteArray::fromStdString(store_.folder().string()));
    if (!folderWatch_->directories().contains(folder)) folderWatch_->addPath(folder);
}

void CConfigureDlg::takeFolderChanges() {
    // A rename being typed keeps its row; the rename lists the folder again when it ends.
    if (list_->itemBeingEdited() >= 0 || pendingRename_) return;
    const std::vector<std::string> before = store_.names();
    std::optional<std::string> selected;
    if (const auto at = selection(); at && *at < before.size()) selected = before[*at];
    store_.rescan();
    // The panel's own changes are listed already.
    if (store_.names() == before) return;
    showList();
    if (selected) {
        if (const auto now = store_.indexOf(*selected)) selectStoreIndex(*now);
    }
}

int CConfigureDlg::run(const QRect& ownerRect) {
    prepare(ownerRect);
    return exec();
}

std::optional<std::size_t> CConfigureDlg::selection() const {
    const int row = list_->selectedIndex();
    if (row < 0 || static_cast<std::size_t>(row) >= rowToStore_.size()) return std::nullopt;
    return rowToStore_[static_cast<std::size_t>(row)];
}

void CConfigureDlg::showList() {
    list_->endEdit(false);
    list_->clear();
    const auto& names = store_.names();
    for (std::size_t i = 0; i < names.size(); ++i) {
        list_->addString(QString::fromStdString(names[i]), static_cast<qint64>(i));
    }
    rowToStore_.assign(static_cast<std::size_t>(list_->count()), 0);
    for (int row = 0; row < list_->count(); ++row) {
        rowToStore_[static_cast<std::size_t>(row)] = static_cast<std::size_t>(list_->itemData(row));
    }
    list_->viewport()->update();
}

void CConfigureDlg::selectStoreIndex(std::size_t index) {
    const auto it = std::find(rowToStore_.begin(), rowToStore_.end(), index);
    if (it != rowToStore_.end()) list_->setCurrentRow(static_cast<int>(it - rowToStore_.begin()));
}

void CConfigureDlg::report(const profiles::StoreResult& result) {
    const std::string message = result.message(language_);
    if (message.empty()) return;
    prompts_->inform(QString::fromStdString(result.captionText(language_)),
                     QString::fromStdString(message));
}

bool CConfigureDlg::acceptsHostActions(const std::filesystem::path& file) {
    // Wherever the file lies: a shared profile is installed by copying it into the folder.
    auto bytes = readFilePrefix(file, keys::kKeymapFileSize);
    if (!bytes) return true;  // the store says why it cannot be read
    const auto after = config::recordsAfterLoad(live_.records, *bytes);
    auto brought = config::needingConsent(*after, dataFolder_);
    if (!brought) {
        prompts_->inform(QString::fromStdString(profiles::messages::caption().text(language_)),
                         QString::fromStdString(brought.error().text(language_)));
        return false;
    }
    if (brought->empty()) return true;
    const Error question = config::hostActionsNeedConsent(
        *brought, TR_TEXT("ProfilesPanel", "Load the profile with these keys?"));
    const QString caption =
        QString::fromStdString(profiles::messages::caption().text(language_));
    if (!prompts_->confirm(caption, QString::fromStdString(question.text(language_)))) {
        return false;
    }
    // Asked once: the answer is kept.
    if (auto approved = keys::approveHostActions(dataFolder_, *brought); !approved) {
        prompts_->inform(caption, QString::fromStdString(approved.error().text(language_)));
        return false;
    }
    return true;
}

void CConfigureDlg::runCommand(pd::Command command) {
    using profiles::Outcome;
    // A rename in progress comes first; its rescan leaves nothing selected.
    list_->endEdit(true);
    finishRename();
    const std::optional<std::size_t> selected = selection();
    profiles::StoreResult result;
    bool relisted = true;  // New, Copy and Delete list the folder again unless refused
    switch (command) {
        case pd::Command::New:
            result = store_.create();
            break;
        case pd::Command::Copy:
            result = store_.copy(selected);
            break;
        case pd::Command::Save:
            relisted = false;
            if (!selected) {
                result = store_.save(std::nullopt, live_, std::nullopt);  // its message
                break;
            }
            result = store_.save(selected, live_, prompts_->chooseSaveFile(dataFolder_));
            break;
        case pd::Command::Load:
            relisted = false;
            if (!selected) {
                result = store_.load(std::nullopt, live_, std::nullopt);  // its message
                break;
            }
        {
            const auto chosen = prompts_->chooseOpenFile(dataFolder_);
            if (chosen && !acceptsHostActions(*chosen)) {
                result = profiles::StoreResult::silent(Outcome::Cancelled);  // declined
                break;
            }
            result = store_.load(selected, live_, chosen);
            break;
        }
        case pd::Command::Delete: {
            const QString caption =
                QString::fromStdString(profiles::messages::caption().text(language_));
            const QString question =
                QString::fromStdString(profiles::messages::confirmDelete().text(language_));
            result = store_.remove(selected, [&] { return prompts_->confirm(caption, question); });
            break;
        }
    }
    if (relisted && result.outcome != Outcome::Refused) {
        showList();
    } else {
        list_->viewport()->update();
    }
    report(result);
}

std::unique_ptr<QMenu> CConfigureDlg::contextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    ui::styleMenu(*menu);
    for (const pd::Command command : pd::kMenuCommands) {
        QAction* action = menu->addAction(pd::commandLabel(command, language_));
        action->setData(static_cast<int>(command));
    }
    if (openRules_) {
        menu->addSeparator();
        menu->addAction(ui::text(language_, TR_TEXT("ProfilesPanel", "Switching &Rules...")))
            ->setData(kOpenRules);
    }
    return menu;
}

void CConfigureDlg::showContextMenu(const QPoint& globalPos) {
    const std::unique_ptr<QMenu> menu = contextMenu();
    QAction* chosen = menuRunner_ ? menuRunner_(*menu, globalPos) : menu->exec(globalPos);
    // Carried out after the menu has closed, so the boxes a command shows are not under it.
    if (chosen == nullptr) return;
    if (chosen->data().toInt() == kOpenRules) {
        openRules_(this);
    } else {
        runCommand(static_cast<pd::Command>(chosen->data().toInt()));
    }
}

bool CConfigureDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            showContextMenu(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CConfigureDlg::mouseReleaseEvent(QMouseEvent* event) {
    keyboard_.hideMark();
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        activatePaintedArea(ui::areaAt(areaTable(), p));
    }
    QDialog::mouseReleaseEvent(event);
}

void CConfigureDlg::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the focused control (it ends an in-place edit); it never closes the
    // panel the way a dialog's default button would.
    if (ui::isEnter(event->key())) {
        event->accept();
        return;
    }
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && shift)) {
        // The panel's menu, at the selected profile (or the top of the list).
        QListWidgetItem* item = list_->currentItem();
        const QPoint at = item != nullptr ? list_->visualItemRect(item).center()
                                          : QPoint(list_->width() / 2, 10);
        event->accept();
        showContextMenu(list_->viewport()->mapToGlobal(at));
        return;
    }
    if (keyboard_.key(event->key(), event->modifiers(), false)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CConfigureDlg::focusNextPrevChild(bool next) {
    keyboard_.key(next ? Qt::Key_Tab : Qt::Key_Backtab, {}, false);
    return true;
}

void CConfigureDlg::listEdited(int oldRow, int newRow) {
    if (oldRow < 0 || static_cast<std::size_t>(oldRow) >= rowToStore_.size()) return;
    const std::size_t index = rowToStore_[static_cast<std::size_t>(oldRow)];
    if (index >= store_.names().size()) return;
    // The list is still inside its edit; the rename (with its waits and possible message box)
    // runs once it has finished.
    pendingRename_ =
        PendingRename{store_.names()[index], list_->itemText(static_cast<int>(newRow))};
    QTimer::singleShot(0, this, [this] { finishRename(); });
}

void CConfigureDlg::finishRename() {
    if (!pendingRename_) return;
    const PendingRename rename = std::move(*pendingRename_);
    pendingRename_.reset();
    const std::optional<std::size_t> index = store_.indexOf(rename.oldName);
    if (!index) {
        showList();
        return;
    }
    const profiles::StoreResult result = store_.rename(*index, rename.newText.toStdString());
    showList();
    // The renamed profile stays the selected one (under either name).
    for (const QString& name : {rename.newText, QString::fromStdString(rename.oldName)}) {
        if (const auto now = store_.indexOf(name.toStdString())) {
            selectStoreIndex(*now);
            break;
        }
    }
    report(result);
}

void CConfigureDlg::done(int result) {
    list_->endEdit(true);
    finishRename();
    QDialog::done(result);
}

void CConfigureDlg::paintPlainFace(QPainter& painter) const {
    namespace theme = ui::theme;
    painter.fillRect(rect(), theme::kPanel);
    painter.fillRect(QRect(0, 0, width(), pd::kListOrigin.y()), theme::kPanelRaised);
    painter.fillRect(
        QRect(pd::kListOrigin.x(), pd::kListOrigin.y(), pd::kListWidth, pd::kListHeight),
        theme::kPanelSunken);
    painter.setPen(theme::kBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CConfigureDlg::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    if (!ui::drawPanelImage(p, folder_, QString::fromLatin1(pd::kBackgroundImage), 0, 0)) {
        paintPlainFace(p);
    }
    const std::vector<ui::WindowArea> areas = areaTable();
    // The pictures first, then the labels over them. A button image that is missing leaves its
    // click area outlined, so it can still be found.
    for (const ui::WindowArea& a : areas) {
        if (a.picture == nullptr ||
            ui::drawPanelImage(p, folder_, QString::fromLatin1(a.picture), a.pictureAt.x(),
                               a.pictureAt.y())) {
            continue;
        }
        p.setPen(ui::theme::kBorderLight);
        p.drawRect(a.rect.adjusted(0, 0, -1, -1));
        if (a.id == static_cast<int>(pd::Button::Close)) {
            const QRect cross = a.rect.adjusted(3, 3, -4, -4);
            p.drawLine(cross.topLeft(), cross.bottomRight());
            p.drawLine(cross.topRight(), cross.bottomLeft());
        }
    }
    for (const ui::WindowArea& a : areas) {
        if (a.labelled) {
            ui::drawPanelText(p, a.paintedLabel(), a.labelAt.x(), a.labelAt.y(), a.labelHeight);
        }
    }
    if (const QRect mark = keyboard_.markRect(); !mark.isEmpty()) ui::drawFocusMark(p, mark);
}

}  // namespace tessaron::app

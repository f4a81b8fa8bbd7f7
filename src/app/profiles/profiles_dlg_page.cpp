#include "app/profiles/profiles_dlg_page.h"

#include <QFile>
#include <QPointer>

#include <memory>

#include "app/profiles/profiles_dlg.h"

namespace tessaron::app {

namespace {

// The one panel. The window that parents it owns it; one opened without a parent is owned here.
struct PanelHolder {
    QPointer<CConfigureDlg> panel;
    std::unique_ptr<CConfigureDlg> orphan;
    const LiveConfig* live = nullptr;
    const QWidget* parent = nullptr;
};

QString toQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

}  // namespace

ProfilesPage profilesPage(ProfilesPrompts* prompts, Clock* clock,
                          std::function<void(QWidget* over)> openRules) {
    auto holder = std::make_shared<PanelHolder>();
    return [holder, prompts, clock, openRules](QWidget* parent, LiveConfig& live, const QRect& windowRect) {
        // A panel made for another window or configuration would edit the wrong one.
        if (!holder->panel || holder->live != &live || holder->parent != parent) {
            holder->orphan.reset();
            auto panel = std::make_unique<CConfigureDlg>(
                profiles::LiveConfiguration{live.image, live.records},
                ProfilesPanelSetup{toQString(live.imageBase), live.dataFolder, live.language, clock,
                                   prompts, openRules},
                parent);
            holder->panel = panel.get();
            holder->live = &live;
            holder->parent = parent;
            if (parent != nullptr) {
                panel.release();  // owned by its parent window from now on
            } else {
                holder->orphan = std::move(panel);
            }
        }
        holder->panel->run(windowRect);
    };
}

}  // namespace tessaron::app

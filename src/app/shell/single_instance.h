#pragma once
// One running program per user: the first start listens on a local socket named after the
// single-instance token; a later start finds it, asks it to come forward and ends. The socket
// lives in $XDG_RUNTIME_DIR only when that is the user's own folder with mode 0700, else in a
// private folder of the user's own (see local::socketPath), so another local user can neither
// answer for the running instance nor take its place.

#include <QObject>
#include <QString>

#include <filesystem>

#include "app/shell/local_line_server.h"

namespace tessaron::app {

// The historical token, leading blank included.
inline constexpr const char* kInstanceToken = " {57D1171D-1a34-0804-8A3A-65ABA2150010}";

// The token followed by the user id, so two users of one machine do not meet.
QString instanceName();

class SingleInstance final : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);

    // True when another instance answered; it has then been asked to come forward.
    bool notifyRunning(int timeoutMs = 500);
    // Starts listening; a socket left behind by a crashed instance is taken over. False when
    // listening failed (the program then runs without the single-instance guard).
    bool listen();
    [[nodiscard]] const QString& name() const { return name_; }

signals:
    // Another start asked this instance to show its window.
    void activationRequested();

private:
    QString name_;
    std::filesystem::path path_;  // in a folder of this user's alone
    LocalLineServer server_;
};

}  // namespace tessaron::app

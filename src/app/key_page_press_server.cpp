#include "app/key_page_press_server.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include "app/key_page_press_protocol.h"
#include "device/virtual/virtual_keyboard.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"

namespace tessaron::app {

DemoPressServer::DemoPressServer(std::shared_ptr<device::VirtualKeyboard> keyboard,
                                 std::filesystem::path dataFolder, QObject* parent)
    : QObject(parent),
      keyboard_(std::move(keyboard)),
      path_(QFile::decodeName((dataFolder / press::kPressSocketName).c_str())),
      server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) serve(socket);
    });
}

DemoPressServer::~DemoPressServer() {
    if (server_->isListening()) server_->close();
}

Status DemoPressServer::listen() {
    // Only this user may press the keys.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path_);
    if (server_->listen(path_)) return {};
    const std::string why = server_->errorString().toStdString();
    return makeError("Key presses cannot be received at " + path_.toStdString() + ": " + why,
                     "无法在 " + path_.toStdString() + " 接收按键：" + why);
}

void DemoPressServer::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
            // A client that never ends its line is cut off before it fills memory.
            if (socket->bytesAvailable() > static_cast<qint64>(press::kMaxLine)) socket->abort();
            return;
        }
        const QByteArray line = socket->readLine(static_cast<qint64>(press::kMaxLine));
        const std::string reply = handle(std::string_view(line.constData(), line.size()));
        socket->write(reply.data(), static_cast<qint64>(reply.size()));
        socket->disconnectFromServer();
    });
}

std::string DemoPressServer::handle(std::string_view line) {
    using press::Reply;
    if (const auto plugIn = press::parsePlugRequest(line)) {
        // The hot-plug notice reaches the window as with a real cable.
        if (*plugIn) {
            keyboard_->plug();
            return press::formatReply({Reply::Kind::Plugged, 0, {}});
        }
        keyboard_->unplug();
        return press::formatReply({Reply::Kind::Unplugged, 0, {}});
    }
    const auto index = press::parseRequest(line);
    if (!index) {
        return press::formatReply(
            {Reply::Kind::Error, 0, "expected: press <key index>, unplug or plug"});
    }
    if (*index >= keys::kLayoutKeyCount) {
        return press::formatReply({Reply::Kind::Error, 0, "no such key index"});
    }
    // An unplugged keyboard reports nothing, whatever the key holds.
    if (!keyboard_->isPlugged()) return press::formatReply({Reply::Kind::Unplugged, 0, {}});
    const auto& entry = keys::layoutEntry(static_cast<keys::KeyIndex>(*index));
    // The firmware reports byte 2 of the key's cell.
    const keys::KeyCell cell =
        keys::readCell(keyboard_->settings(), device::image::keyCell(entry.column, entry.row));
    if (!keyboard_->pressKeyAt(entry.column, entry.row)) {
        return press::formatReply({Reply::Kind::Silent, 0, {}});
    }
    return press::formatReply({Reply::Kind::Reported, cell[keys::kCellValueByte], {}});
}

}  // namespace tessaron::app

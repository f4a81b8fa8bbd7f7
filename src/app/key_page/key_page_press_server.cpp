#include "app/key_page/key_page_press_server.h"

#include <QFile>

#include "core/text.h"
#include "device/virtual/demo_press_protocol.h"
#include "device/virtual/virtual_keyboard.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"

namespace tessaron::app {

DemoPressServer::DemoPressServer(std::shared_ptr<device::VirtualKeyboard> keyboard,
                                 std::filesystem::path dataFolder, QObject* parent)
    : QObject(parent),
      keyboard_(std::move(keyboard)),
      server_(dataFolder / device::press::kPressSocketName, device::press::kMaxLine,
              [this](std::string_view line) { return handle(line); }) {}

DemoPressServer::~DemoPressServer() = default;

Status DemoPressServer::listen() {
    auto listening = server_.listen();
    if (listening) return {};
    const std::string path = server_.path().string();
    return makeError(TR_TEXT("KeyPage", "Key presses cannot be received at %1: %2"), path,
                     listening.error());
}

QString DemoPressServer::socketPath() const {
    return QFile::decodeName(server_.path().c_str());
}

std::string DemoPressServer::handle(std::string_view line) {
    using device::press::Reply;
    if (const auto plugIn = device::press::parsePlugRequest(line)) {
        // The hot-plug notice reaches the window as with a real cable.
        if (*plugIn) {
            keyboard_->plug();
            return device::press::formatReply({Reply::Kind::Plugged, 0, {}});
        }
        keyboard_->unplug();
        return device::press::formatReply({Reply::Kind::Unplugged, 0, {}});
    }
    const auto index = device::press::parseRequest(line);
    if (!index) {
        return device::press::formatReply(
            {Reply::Kind::Error, 0, device::press::kBadRequest.source});
    }
    if (*index >= keys::kLayoutKeyCount) {
        return device::press::formatReply({Reply::Kind::Error, 0, device::press::kNoSuchKey.source});
    }
    // An unplugged keyboard reports nothing, whatever the key holds.
    if (!keyboard_->isPlugged()) return device::press::formatReply({Reply::Kind::Unplugged, 0, {}});
    const auto& entry = keys::layoutEntry(static_cast<keys::KeyIndex>(*index));
    // The firmware reports byte 2 of the key's cell.
    const keys::KeyCell cell =
        keys::readCell(keyboard_->settings(), device::image::keyCell(entry.column, entry.row));
    switch (keyboard_->pressKeyAt(entry.column, entry.row)) {
        case device::VirtualKeyboard::KeyPress::Reported:
            break;
        case device::VirtualKeyboard::KeyPress::NoHostAction:
            return device::press::formatReply({Reply::Kind::Silent, 0, {}});
        case device::VirtualKeyboard::KeyPress::Unheard:
            // Just plugged in, the window reads the keyboard's events again after it settles.
            return device::press::formatReply(
                {Reply::Kind::Error, 0, device::press::kUnheard.source});
    }
    return device::press::formatReply({Reply::Kind::Reported, cell[keys::kCellValueByte], {}});
}

}  // namespace tessaron::app

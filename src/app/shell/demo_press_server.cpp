#include "app/shell/demo_press_server.h"

#include <QFile>

#include "core/text.h"
#include "device/virtual/demo_press_handler.h"
#include "device/virtual/demo_press_protocol.h"

namespace tessaron::app {

DemoPressServer::DemoPressServer(std::shared_ptr<device::VirtualKeyboard> keyboard,
                                 std::filesystem::path dataFolder, QObject* parent)
    : QObject(parent),
      keyboard_(std::move(keyboard)),
      server_(dataFolder / device::press::kPressSocketName, device::press::kMaxLine,
              [this](std::string_view line) { return device::press::answer(*keyboard_, line); }) {}

DemoPressServer::~DemoPressServer() = default;

Status DemoPressServer::listen() {
    auto listening = server_.listen();
    if (listening) return {};
    const std::string path = server_.path().string();
    return makeError(TR_TEXT("Shell", "Key presses cannot be received at %1: %2"), path,
                     listening.error());
}

QString DemoPressServer::socketPath() const {
    return QFile::decodeName(server_.path().c_str());
}

}  // namespace tessaron::app

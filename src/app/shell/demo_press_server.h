#pragma once
// The demo's end of `tessaronctl --demo press KEY`: a local socket in the data folder through
// which another process presses a key of this program's virtual keyboard (what a line does is
// device/virtual/demo_press_handler.h); the window then carries out the host action.

#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>

#include "app/shell/local_line_server.h"
#include "core/result.h"

namespace tessaron::device {
class VirtualKeyboard;
}

namespace tessaron::app {

class DemoPressServer final : public QObject {
    Q_OBJECT

public:
    DemoPressServer(std::shared_ptr<device::VirtualKeyboard> keyboard,
                    std::filesystem::path dataFolder, QObject* parent = nullptr);
    ~DemoPressServer() override;

    // Starts listening, replacing a socket file left behind by an earlier run.
    Status listen();
    [[nodiscard]] QString socketPath() const;

private:
    std::shared_ptr<device::VirtualKeyboard> keyboard_;
    LocalLineServer server_;
};

}  // namespace tessaron::app

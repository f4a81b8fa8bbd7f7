#pragma once
// tessaronctl's side of the running window's service on the session bus (sd-bus, no Qt): when
// the window serves the keyboard this command would open, the command asks the window instead,
// so the window's copy stays true and the keyboard has one writer.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "device/device_image.h"

struct sd_bus;

namespace tessaron::cli {

class WindowClient {
public:
    // The window on the session bus when it runs on the same keyboard (real, or virtual) with the
    // same data folder; nullptr when there is none or the bus cannot be reached.
    static std::unique_ptr<WindowClient> find(bool demo, const std::filesystem::path& dataFolder);

    ~WindowClient();
    WindowClient(const WindowClient&) = delete;
    WindowClient& operator=(const WindowClient&) = delete;

    // The names of the steps sent, for ApplyDataFiles, Save and LoadProfile NAME.
    Result<std::vector<std::string>> steps(const char* method,
                                           const std::optional<std::string>& argument = {});
    // The device image answered by Read and FactoryReset.
    Result<device::DeviceImage> image(const char* method);
    // "1.5"; empty while the window does not know it.
    std::string firmware();

private:
    explicit WindowClient(sd_bus* bus) : bus_(bus) {}
    sd_bus* bus_;
};

}  // namespace tessaron::cli

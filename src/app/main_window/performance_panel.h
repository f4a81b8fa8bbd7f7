#pragma once
// The Game Mode, Response Time and USB Report Rate sections edit the device image with the rules
// they share with tessaronctl.

#include "device/performance.h"

namespace tessaron::app {
namespace performance = device::performance;
}  // namespace tessaron::app

#pragma once
// The macro manager's hold on the keyboard-hook library: its own window, mode 1 (presses and
// releases).

#include <QPointer>

#include "macros/key_hook.h"

class QObject;

namespace tessaron::app {

class TholwinMacroHook final : public macros::KeyHook {
public:
    explicit TholwinMacroHook(QObject* window) : window_(window) {}
    bool install() override;
    void remove() override;

private:
    QPointer<QObject> window_;
};

}  // namespace tessaron::app

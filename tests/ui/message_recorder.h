#pragma once
// A parent widget that records the window messages it receives.

#include <QWidget>

#include <functional>
#include <ostream>
#include <vector>

#include "ui/messages.h"

namespace tessaron::ui::test {

struct Recorded {
    int message;
    qint64 wParam;
    qint64 lParam;
    QString text;
    bool operator==(const Recorded&) const = default;
};

class MessageRecorder : public QWidget {
public:
    using QWidget::QWidget;
    std::vector<Recorded> messages;
    std::function<void(const Recorded&)> onMessage;

protected:
    void customEvent(QEvent* event) override {
        if (event->type() < QEvent::User) return;
        const auto& m = static_cast<const WindowMessage&>(*event);
        messages.push_back({m.message(), m.wParam(), m.lParam(), {}});
        if (onMessage) onMessage(messages.back());
    }
};

inline void PrintTo(const Recorded& r, std::ostream* os) {
    *os << "{0x" << std::hex << r.message << std::dec << ", " << r.wParam << ", " << r.lParam
        << ", \"" << r.text.toStdString() << "\"}";
}

}  // namespace tessaron::ui::test

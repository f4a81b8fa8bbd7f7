#pragma once
// The macro manager's message boxes. Tests replace them, since a real box waits for a person.

#include "core/language.h"
#include "core/result.h"

class QWidget;

namespace tessaron::app {

class MacroManagerPrompts {
public:
    virtual ~MacroManagerPrompts() = default;
    // A message with an OK button.
    virtual void inform(const Error& caption, const Error& text) = 0;
    // OK and Cancel; true for OK.
    virtual bool confirm(const Error& caption, const Error& text) = 0;
};

// Real message boxes over the given window, in its interface language.
class MessageBoxPrompts final : public MacroManagerPrompts {
public:
    MessageBoxPrompts(QWidget* parent, Language lang) : parent_(parent), lang_(lang) {}
    void inform(const Error& caption, const Error& text) override;
    bool confirm(const Error& caption, const Error& text) override;

private:
    QWidget* parent_;
    Language lang_;
};

}  // namespace tessaron::app

#pragma once
// What the macro manager needs of the keyboard hook: start and stop the delivery of keystrokes to
// it. The window adapts the hook library to this (its own window, mode 1).

namespace tessaron::macros {

class KeyHook {
public:
    virtual ~KeyHook() = default;
    // False when no keystrokes will be delivered.
    virtual bool install() = 0;
    virtual void remove() = 0;
};

}  // namespace tessaron::macros

#pragma once
// XKB's detectable auto-repeat on an X11 display: while it is on, the server repeats a held key
// as further presses without the releases between them, so every release it sends is real.

namespace tessaron::tholwin {

class DetectableRepeat {
public:
    // Turns it on for this program's display connection; returns whether it is now on. False
    // off X11, when the server lacks it, when the library was built without Xlib, or when the
    // environment variable TESSARON_X11_REPEAT is "pairs" (to leave the server's repeat as it is).
    bool enable();
    // Puts back what was there before enable().
    void restore();

private:
    bool changed_ = false;
};

}  // namespace tessaron::tholwin

#pragma once
// The font configuration takes longer to load than anything else a first start does before it
// can paint (about ten milliseconds, more on a desktop with many fonts), and the window needs
// it for its first text. Loading it on a thread of its own while the application object and the
// window are made takes it off the way to the first paint.

#include <thread>

namespace tessaron::ui {

class FontConfigWarmup {
public:
    // Starts loading at once; make it before the QApplication.
    FontConfigWarmup();
    ~FontConfigWarmup();
    FontConfigWarmup(const FontConfigWarmup&) = delete;
    FontConfigWarmup& operator=(const FontConfigWarmup&) = delete;

private:
    std::thread thread_;
};

// Returns once a warm-up under way has loaded the configuration (at once when none runs).
// Call it before the first use of fonts on any thread: fontconfig does not wait for a load in
// progress but starts a second one of its own.
void awaitFontConfig();

}  // namespace tessaron::ui

#pragma once
// Work the program starts and does not wait for when it ends, such as writing a cache file: a
// program that ends first leaves that work undone (cache files are written under a temporary
// name first, so nothing half-written is ever read).

#include <filesystem>
#include <functional>

namespace tessaron::ui {

void runInBackground(std::function<void()> task);
// Returns once every task started so far has finished (for tests and benchmarks).
void waitForBackgroundTasks();

// Removes what writes that never finished left in a cache folder: files with ".tmp." in their
// name older than a minute (a write under way is younger).
void removeUnfinishedWrites(const std::filesystem::path& folder);

}  // namespace tessaron::ui

#include "device/bulk.h"

#include <algorithm>
#include <span>
#include <vector>

#include "device/commands.h"
#include "device/frames.h"

namespace tessaron::device {

namespace {

using Bytes = std::span<const std::uint8_t>;

// Page k of a block: bytes 64k .. 64k+63, zero-filled past the block's end.
Page pageOf(Bytes block, std::size_t k) {
    Page page{};
    const std::size_t begin = k * kPageSize;
    const std::size_t count = std::min(kPageSize, block.size() - begin);
    std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(begin), count, page.begin());
    return page;
}

std::size_t pageCount(std::size_t size) {
    return (size + kPageSize - 1) / kPageSize;
}

constexpr int kNoWait = -1;

// Writes the block's pages with waitMs between them (kNoWait: back to back), and after the
// last one too when waitAfterLast.
Status writePages(CommandPort& port, Bytes block, int waitMs, bool waitAfterLast) {
    const std::size_t n = pageCount(block.size());
    for (std::size_t k = 0; k < n; ++k) {
        auto s = port.writePage(pageOf(block, k));
        if (!s) return s;
        if (waitMs != kNoWait && (k + 1 < n || waitAfterLast)) port.wait(waitMs);
    }
    return {};
}

// Reads pages into a scratch copy and copies it into dest only when all of them arrived.
Status readPages(CommandPort& port, std::span<std::uint8_t> dest, int waitAfterEach) {
    const std::size_t n = pageCount(dest.size());
    std::vector<std::uint8_t> scratch(n * kPageSize);
    for (std::size_t k = 0; k < n; ++k) {
        auto page = port.readPage();
        if (!page) return page.error();
        std::copy(page->begin(), page->end(),
                  scratch.begin() + static_cast<std::ptrdiff_t>(k * kPageSize));
        if (waitAfterEach != kNoWait) port.wait(waitAfterEach);
    }
    std::copy_n(scratch.begin(), dest.size(), dest.begin());
    return {};
}

// The header of a bulk read is answered by a reply frame that carries nothing; a keyboard
// that does not answer it is still read, so only the pages decide success.
void fetchAndIgnore(CommandPort& port) {
    (void)port.fetch();
}

Bytes blockOf(const DeviceImage& img, std::size_t offset, std::size_t size) {
    return Bytes(img).subspan(offset, size);
}

std::span<std::uint8_t> blockOf(DeviceImage& img, std::size_t offset, std::size_t size) {
    return std::span<std::uint8_t>(img).subspan(offset, size);
}

}  // namespace

Status writeKeyMap(CommandPort& port, const DeviceImage& img) {
    auto s = port.send(frames::writeKeyMap());
    if (!s) return s;
    port.wait(50);
    s = writePages(port, blockOf(img, image::kKeyMap, image::kKeyMapSize), kNoWait, false);
    if (!s) return s;
    port.wait(60);
    return {};
}

Status readKeyMap(CommandPort& port, DeviceImage& img) {
    auto s = port.send(frames::readKeyMap());
    if (!s) return s;
    fetchAndIgnore(port);
    return readPages(port, blockOf(img, image::kKeyMap, image::kKeyMapSize), kNoWait);
}

Status writeEnableBitmap(CommandPort& port, const DeviceImage& img) {
    auto s = port.send(frames::writeEnableBitmap());
    if (!s) return s;
    port.wait(10);
    return port.writePage(pageOf(blockOf(img, image::kEnableBitmap, image::kEnableBitmapSize), 0));
}

Status readEnableBitmap(CommandPort& port, DeviceImage& img) {
    auto s = port.send(frames::readEnableBitmap());
    if (!s) return s;
    fetchAndIgnore(port);
    s = readPages(port, blockOf(img, image::kEnableBitmap, image::kEnableBitmapSize), kNoWait);
    if (!s) return s;
    img[image::kWinLock] = winLockFromBitmap(img);
    return {};
}

Status writeMacroSlot(CommandPort& port, const DeviceImage& img, std::size_t slot) {
    auto s = port.send(frames::writeMacroSlot(slot));
    if (!s) return s;
    port.wait(1);
    // Pages go out back to back, with only a yield between them.
    return writePages(port, blockOf(img, image::macroSlot(slot), image::kMacroSlotSize), 0, false);
}

Status readMacroSlot(CommandPort& port, DeviceImage& img, std::size_t slot) {
    auto s = port.send(frames::readMacroSlot(slot));
    if (!s) return s;
    fetchAndIgnore(port);
    return readPages(port, blockOf(img, image::macroSlot(slot), image::kMacroSlotSize), kNoWait);
}

Status writeLightMap(CommandPort& port, const DeviceImage& img, std::size_t map) {
    auto s = port.send(frames::writeLightMap(map));
    if (!s) return s;
    port.wait(5);
    return writePages(port, blockOf(img, image::lightMap(map), image::kLightMapSize), 5, true);
}

Status readLightMap(CommandPort& port, DeviceImage& img, std::size_t map) {
    auto s = port.send(frames::readLightMap(map));
    if (!s) return s;
    port.wait(5);
    fetchAndIgnore(port);
    port.wait(5);
    return readPages(port, blockOf(img, image::lightMap(map), image::kLightMapSize), 5);
}

}  // namespace tessaron::device

// Profile files are chosen by the user and may hold anything; profile names are typed by the
// user. Loading must take exactly what the file reaches, and no name may make a rename lose a
// profile or put a file outside the profile folder.

#include <algorithm>
#include <memory>

#include "fuzz_support.h"
#include "keys/keymap_file.h"
#include "profiles/profile_store.h"
#include "support/fake_clock.h"

namespace {

using namespace tessaron;
namespace fs = std::filesystem;

std::vector<fs::path> entries(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& e : fs::recursive_directory_iterator(folder)) found.push_back(e.path());
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in({data, size});
    const std::string name = in.text(in.byte() + in.byte());
    const auto fileBytes = in.rest();

    static const fs::path root = fuzz::scratchFolder() / "profiles";
    static const fs::path dataFolder = root / "data";
    static const fs::path chosen = root / "chosen.bin";
    fs::remove_all(root);
    fs::create_directories(dataFolder);
    fuzz::writeFile(chosen, fileBytes);

    FakeClock clock;
    profiles::ProfileStore store(dataFolder, Language::English, clock);
    FUZZ_CHECK(store.open().done());
    FUZZ_CHECK(store.create().done());
    FUZZ_CHECK(store.names().size() == 1);

    device::DeviceImage image;
    image.fill(0x3C);
    auto records = std::make_unique<keys::KeyRecordTable>();
    const auto loaded = store.load(0, {image, *records}, chosen);
    // Only the sizes a profile is written with are read; anything else changes nothing.
    if (fileBytes.size() != device::image::kSize && fileBytes.size() != keys::kKeymapFileSize) {
        FUZZ_CHECK(loaded.outcome == profiles::Outcome::Failed);
        device::DeviceImage untouched;
        untouched.fill(0x3C);
        FUZZ_CHECK(image == untouched);
        return 0;
    }
    device::DeviceImage expected;
    expected.fill(0x3C);
    std::copy_n(fileBytes.begin(), std::min(fileBytes.size(), expected.size()), expected.begin());
    // A file without key cells is refused and changes nothing: saved, it would blank every key.
    const auto keyMap =
        std::span(expected).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    if (std::all_of(keyMap.begin(), keyMap.end(), [](std::uint8_t b) { return b == 0; })) {
        FUZZ_CHECK(!loaded.done());
        device::DeviceImage untouched;
        untouched.fill(0x3C);
        FUZZ_CHECK(image == untouched);
        return 0;
    }
    FUZZ_CHECK(loaded.done());
    FUZZ_CHECK(image == expected);
    // The profile now holds the live configuration, in full.
    device::DeviceImage stored{};
    auto storedRecords = std::make_unique<keys::KeyRecordTable>();
    FUZZ_CHECK(keys::loadKeymap(store.paths()[0], stored, *storedRecords));
    FUZZ_CHECK(stored == image);
    FUZZ_CHECK(fs::file_size(store.paths()[0]) == keys::kKeymapFileSize);

    const auto before = entries(root);
    const auto renamed = store.rename(0, name);
    FUZZ_CHECK(store.names().size() == 1);
    const auto after = entries(root);
    FUZZ_CHECK(after.size() == before.size());
    for (const auto& path : after) {
        FUZZ_CHECK(path == chosen || path.parent_path() == root ||
                   path.parent_path() == dataFolder ||
                   path.parent_path() == dataFolder / profiles::kProfileFolderName);
    }
    if (renamed.done()) {
        FUZZ_CHECK(store.paths()[0].parent_path() == store.folder());
    } else {
        FUZZ_CHECK(after == before);
        FUZZ_CHECK(!renamed.message(Language::English).empty());  // a refused name is always explained
    }
    return 0;
}

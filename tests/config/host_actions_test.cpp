// Which host actions of a set of key records need the user's word: anything not on the approved
// list for the same record, key code, kind and path, including records past the layout that the
// key event handler also searches.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "config/host_actions.h"
#include "device/device_image.h"
#include "support/scratch_folder.h"

namespace tessaron::config {
namespace {

std::unique_ptr<keys::KeyRecordTable> table() {
    auto t = std::make_unique<keys::KeyRecordTable>();
    keys::resetKeyRecords(*t);
    return t;
}

void give(keys::KeyRecordTable& t, std::size_t record, std::uint8_t kind, const char* path) {
    t[record].kind = kind;
    ASSERT_TRUE(keys::setHostPath(t[record], path));
}

TEST(HostActions, OnlyActionsNotApprovedNeedConsentAndTheListSurvivesOddPaths) {
    testing::ScratchFolder scratch("tessaron-approved");
    const auto data = scratch.path();
    auto current = table();
    give(*current, 3, keys::kind::kStartup, "/usr/bin/foot");
    give(*current, 6, keys::kind::kOpenFile, "/tmp/a\\b\nc\td e");  // a line break in a path
    EXPECT_EQ(needingConsent(*current, data)->size(), 2u);
    ASSERT_TRUE(keys::approveHostActions(data, hostActions(*current)));
    EXPECT_TRUE(needingConsent(*current, data)->empty());
    EXPECT_EQ(*keys::readApprovedHostActions(data), hostActions(*current));
    auto incoming = std::make_unique<keys::KeyRecordTable>(*current);

    give(*incoming, 3, keys::kind::kOpenFile, "/usr/bin/foot");     // same path, other kind
    give(*incoming, 4, keys::kind::kStartup, "/usr/bin/foot");      // same action, other key
    give(*incoming, 200, keys::kind::kOpenFolder, "/tmp");          // past the layout
    (*incoming)[200].vk = 20;
    give(*incoming, 5, keys::kind::kPlaySound, "");                 // opens nothing
    const auto brought = *needingConsent(*incoming, data);
    ASSERT_EQ(brought.size(), 3u);
    EXPECT_EQ(describe(brought[0], Language::English), "F3: open the file /usr/bin/foot");
    EXPECT_EQ(describe(brought[1], Language::English), "F4: start the program /usr/bin/foot");
    EXPECT_EQ(describe(brought[2], Language::English), "record 200 (key code 20): open the folder /tmp");
    EXPECT_EQ(describe(brought[1], Language::Chinese), "F4：启动程序 /usr/bin/foot");

    const Error asked = hostActionsNeedConsent(brought, verbatim("Say yes."));
    EXPECT_NE(asked.english.find("  F4: start the program /usr/bin/foot\n"), std::string::npos);
    EXPECT_TRUE(asked.english.ends_with("Say yes."));
}

// A profile file's records as Load leaves them: as far as the file reaches, with byte 0 of the
// layout keys refilled whatever the file says.
TEST(HostActions, RecordsAfterLoadTakeWhatTheFileReaches) {
    auto current = table();
    give(*current, 3, keys::kind::kStartup, "/usr/bin/foot");
    std::vector<std::uint8_t> file(device::image::kSize + keys::kKeyRecordSize * 2, 0);
    file[device::image::kSize + 1] = keys::kind::kOpenFile;  // record 0, no path
    file[device::image::kSize] = 99;                          // byte 0 of record 0
    const auto after = recordsAfterLoad(*current, file);
    EXPECT_EQ((*after)[0].kind, keys::kind::kOpenFile);
    EXPECT_EQ((*after)[0].vk, 27);  // Esc, refilled
    EXPECT_EQ(keys::hostPath((*after)[3]), "/usr/bin/foot");  // beyond the file: kept

    const std::vector<std::uint8_t> imageOnly(device::image::kSize, 0);
    EXPECT_EQ(hostActions(*recordsAfterLoad(*current, imageOnly)), hostActions(*current));
}

}  // namespace
}  // namespace tessaron::config

// The demo keyboard's state file: round trip, damaged files, writing changes as they happen.

#include <gtest/gtest.h>

#include <fstream>

#include "core/atomic_file.h"
#include "device/device_image.h"
#include "device/virtual/demo_keyboard.h"
#include "device/virtual/keyboard_state_file.h"
#include "device/virtual/virtual_transport.h"
#include "support/scratch_folder.h"

namespace tessaron::device {
namespace {

namespace fs = std::filesystem;

class StateFileTest : public ::testing::Test {
protected:
    void writeRaw(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    tessaron::testing::ScratchFolder scratch{"tessaron-vkb"};
    fs::path dir = scratch.path();
    fs::path path = dir / kVirtualKeyboardFileName;
};

KeyboardState someState() {
    KeyboardState s;
    s.settings = factorySettings();
    s.settings[image::kReportRate] = 1;
    s.settings[image::macroSlot(31) + 191] = 0xAB;  // last byte of the last slot
    s.settings[image::kSize - 1] = 0xCD;
    s.firmwareMajor = 1;
    s.firmwareMinor = 4;
    return s;
}

TEST_F(StateFileTest, RoundTripKeepsSettingsAndFirmwareVersion) {
    ASSERT_TRUE(saveKeyboardState(someState(), path).ok());
    EXPECT_EQ(fs::file_size(path), state_file::kSize);
    const LoadedState loaded = loadKeyboardState(path);
    EXPECT_EQ(loaded.source, StateSource::File);
    EXPECT_EQ(loaded.state, someState());
}

TEST_F(StateFileTest, MissingShortLongAndDamagedFilesGiveTheFactoryState) {
    KeyboardState factoryState;
    factoryState.settings = factorySettings();

    LoadedState loaded = loadKeyboardState(path);
    EXPECT_EQ(loaded.source, StateSource::MissingFile);
    EXPECT_EQ(loaded.state, factoryState);

    const std::vector<std::uint8_t> good = encodeKeyboardState(someState());
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},
        std::vector<std::uint8_t>(good.begin(), good.end() - 1),
        [&] {
            auto v = good;
            v.push_back(0);
            return v;
        }(),
        [&] {
            auto v = good;
            v[state_file::kSettings + 100] ^= 1;
            return v;
        }(),  // bit rot
        [&] {
            auto v = good;
            v[0] = 'X';
            return v;
        }(),
        [&] {
            auto v = good;
            v[state_file::kFormat] = 2;
            return v;
        }(),
        std::vector<std::uint8_t>(state_file::kSize, 0xFF),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        writeRaw(bad[i]);
        loaded = loadKeyboardState(path);
        EXPECT_EQ(loaded.source, StateSource::BadFile) << "case " << i;
        EXPECT_EQ(loaded.state, factoryState) << "case " << i;
    }
}

TEST_F(StateFileTest, PersistentKeyboardSurvivesARestart) {
    writeRaw({1, 2, 3});
    {
        auto kb = std::make_shared<VirtualKeyboard>();
        PersistentKeyboard persistence(kb, path);
        EXPECT_EQ(persistence.loadedFrom(), StateSource::BadFile);
        EXPECT_EQ(loadKeyboardState(path).source, StateSource::File);  // repaired at once

        // Changes made over the wire reach the file without any explicit save.
        VirtualTransport transport(kb);
        auto cmd = std::move(transport.openCommand().value());
        ASSERT_TRUE(cmd->sendFeature(FeatureFrame{0x04, {9}}.bytes()).ok());
        ASSERT_TRUE(cmd->sendFeature(FeatureFrame{0x11, {0, 7, 3}}.bytes()).ok());
        for (std::uint8_t k = 0; k < 3; ++k) ASSERT_TRUE(cmd->writePage(Page{k, 0x5E}).ok());
        kb->setFirmwareVersion(1, 3);
        EXPECT_FALSE(persistence.lastError().has_value());
    }
    auto kb = std::make_shared<VirtualKeyboard>();
    PersistentKeyboard persistence(kb, path);
    EXPECT_EQ(persistence.loadedFrom(), StateSource::File);
    const DeviceImage s = kb->settings();
    EXPECT_EQ(s[image::kResponseTime], 9);
    EXPECT_EQ(s[image::macroSlot(7) + 2 * kPageSize], 2);
    EXPECT_EQ(s[image::macroSlot(7) + 2 * kPageSize + 1], 0x5E);
    EXPECT_EQ(kb->state().firmwareMinor, 3);
}

TEST_F(StateFileTest, UnwritableFolderIsReportedAndTheKeyboardKeepsWorking) {
    const fs::path nowhere = dir / "missing-folder" / kVirtualKeyboardFileName;
    auto kb = std::make_shared<VirtualKeyboard>();
    PersistentKeyboard persistence(kb, nowhere);
    EXPECT_EQ(persistence.loadedFrom(), StateSource::MissingFile);
    ASSERT_TRUE(persistence.lastError().has_value());
    EXPECT_FALSE(persistence.lastError()->english.empty());
    EXPECT_NE(persistence.lastError()->text(Language::Chinese), persistence.lastError()->english);
    kb->setFirmwareVersion(2, 0);
    EXPECT_EQ(kb->state().firmwareMajor, 2);
}

TEST_F(StateFileTest, DemoKeyboardKeepsItsStateInTheDataFolder) {
    {
        DemoKeyboard demo(dir);
        EXPECT_EQ(demo.persistence().loadedFrom(), StateSource::MissingFile);
        auto cmd = std::move(demo.transport().openCommand().value());
        ASSERT_TRUE(cmd->sendFeature(FeatureFrame{0x01, {0}}.bytes()).ok());
        // It runs for as long as the program: no record of its traffic piles up.
        EXPECT_TRUE(demo.keyboard().traffic().empty());
    }
    EXPECT_TRUE(fs::exists(dir / "virtual-keyboard.bin"));
    DemoKeyboard demo(dir);
    EXPECT_EQ(demo.persistence().loadedFrom(), StateSource::File);
    EXPECT_EQ(demo.keyboard().settings()[image::kReportRate], 0);
}

}  // namespace
}  // namespace tessaron::device

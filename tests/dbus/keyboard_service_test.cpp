// The window's service as a caller on the bus meets it: the controller over the virtual keyboard,
// published on the private session bus this test runs in (CTest starts it under
// dbus-run-session) and called from a second connection, as tessaronctl would.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

#include <memory>

#include "../app/controller/controller_rig.h"
#include "app/shell/dbus_service.h"
#include "keys/keymap_file.h"
#include "keys/key_record.h"

namespace tessaron::app {
namespace {

namespace img = device::image;
using tessaron::testing::waitFor;

class KeyboardServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "no session bus: run this test under dbus-run-session";
        auto* service = new KeyboardService(holder_.get(), *rig_.controller,
                                            rig_.live->dataFolder, true);
        ASSERT_TRUE(service->publish());
    }
    void TearDown() override {
        QDBusConnection::sessionBus().unregisterService(QString::fromLatin1(kServiceName));
        QDBusConnection::sessionBus().unregisterObject(QString::fromLatin1(kServicePath));
        QDBusConnection::disconnectFromBus(QStringLiteral("caller"));
    }

    // The answer to one call from another connection; the window's event loop runs meanwhile.
    QDBusMessage call(const char* method) {
        const QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromLatin1(kServiceName), QString::fromLatin1(kServicePath),
            QString::fromLatin1(kServiceInterface), QString::fromLatin1(method));
        QDBusPendingCall pending = caller_.asyncCall(message);
        EXPECT_TRUE(waitFor([&] { return pending.isFinished(); }));
        return pending.reply();
    }

    ControllerRig rig_;
    std::unique_ptr<ServiceObject> holder_ = std::make_unique<ServiceObject>();
    QDBusConnection caller_ =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("caller"));
};

// Their keymap.bin with one key record and the brightness changed, the window's edit of the
// speed not in it.
TEST_F(KeyboardServiceTest, ApplyingFilesThatLackTheWindowsEditsIsRefusedAndNothingIsSent) {
    const auto keymap = rig_.live->keymapPath();
    device::DeviceImage image = rig_.live->image;
    keys::KeyRecordTable records = rig_.live->records;
    keys::asWritableBytes(records)[7 * keys::kKeyRecordSize + 2] ^= 0x5A;
    image[img::kBrightness] = image[img::kBrightness] == 10 ? 20 : 10;
    ASSERT_TRUE(keys::writeKeymap(keymap, image, records));
    const std::uint8_t speed = rig_.live->image[img::kSpeed];
    rig_.controller->edit([](LiveConfig& live) { live.image[img::kSpeed] ^= 1; });
    rig_.keyboard->clearTraffic();

    const QDBusMessage refused = call("ApplyDataFiles");
    ASSERT_EQ(refused.type(), QDBusMessage::ErrorMessage) << refused.arguments().size();
    EXPECT_EQ(refused.errorName(), QStringLiteral("org.tessaron.tessaron.Error.UnsavedChanges"));
    EXPECT_TRUE(refused.errorMessage().contains(QStringLiteral("1 keys and other settings")))
        << refused.errorMessage().toStdString();
    EXPECT_TRUE(rig_.keyboard->traffic(device::TrafficKind::Frame).empty());
    EXPECT_NE(rig_.live->image[img::kSpeed], speed);  // the edit is still there

    // Once the edit is dropped, the same call sends their file.
    rig_.controller->revert();
    ASSERT_TRUE(rig_.idle());
    ASSERT_TRUE(keys::writeKeymap(keymap, image, records));
    const QDBusMessage sent = call("ApplyDataFiles");
    ASSERT_EQ(sent.type(), QDBusMessage::ReplyMessage) << sent.errorMessage().toStdString();
    ASSERT_EQ(sent.arguments().size(), 1);
    EXPECT_FALSE(sent.arguments().first().toStringList().isEmpty());
    EXPECT_FALSE(rig_.keyboard->traffic(device::TrafficKind::Frame).empty());
    EXPECT_FALSE(rig_.controller->isDirty());
    EXPECT_TRUE(std::ranges::equal(keys::asBytes(rig_.live->records), keys::asBytes(records)));
    EXPECT_EQ(rig_.keyboard->settings()[img::kBrightness], image[img::kBrightness]);
}

}  // namespace
}  // namespace tessaron::app

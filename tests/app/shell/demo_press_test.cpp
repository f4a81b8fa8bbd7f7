// Pressing a key of the demo's virtual keyboard from another process, through the socket.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <future>

#include "app/shell/demo_press_server.h"
#include "device/virtual/demo_press_client.h"
#include "device/virtual/demo_press_handler.h"
#include "device/virtual/virtual_keyboard.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"

namespace tessaron::app {
namespace {

constexpr keys::KeyIndex kAppKey = keys::kAppKey;  // VK 93
constexpr keys::KeyIndex kKeyQ = 42;

// The client blocks, so it runs on a thread of its own while the server's thread serves it.
Result<device::press::Reply> pressThroughSocket(const QString& socket, unsigned key) {
    auto reply = std::async(std::launch::async, [path = socket.toStdString(), key] {
        return device::press::sendPress(path, key, std::chrono::seconds(5));
    });
    QElapsedTimer timer;
    timer.start();
    while (reply.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready &&
           timer.elapsed() < 10000) {
        QCoreApplication::processEvents();
    }
    return reply.get();
}

// Gives the Application key an enabled host-action cell; returns the keyboard's settings.
device::DeviceImage withHostActionOnAppKey(device::VirtualKeyboard& keyboard) {
    device::DeviceImage settings = keyboard.settings();
    keys::writeCell(settings, keys::matrixCellOffset(kAppKey),
                    keys::hostActionCell(keys::layoutVk(kAppKey)));
    keyboard.setSettings(settings);
    return settings;
}

TEST(DemoPress, ProtocolLinesRoundTrip) {
    EXPECT_EQ(device::press::parseRequest(device::press::request(101)), 101u);
    EXPECT_EQ(device::press::parseRequest("press \n"), std::nullopt);
    EXPECT_EQ(device::press::parseRequest("press 1x\n"), std::nullopt);
    EXPECT_EQ(device::press::parseRequest("push 3\n"), std::nullopt);
    const auto reported = device::press::parseReply("reported 93\n");
    ASSERT_TRUE(reported);
    EXPECT_EQ(reported->kind, device::press::Reply::Kind::Reported);
    EXPECT_EQ(reported->code, 93);
    EXPECT_EQ(device::press::parseReply("reported 256"), std::nullopt);
    EXPECT_EQ(device::press::parseReply(device::press::formatReply({device::press::Reply::Kind::Error, 0, "bad"}))->text,
              "bad");
}

TEST(DemoPress, OnlyAnEnabledHostActionKeyReportsThroughTheServer) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto keyboard = std::make_shared<device::VirtualKeyboard>();
    device::DeviceImage settings = withHostActionOnAppKey(*keyboard);
    DemoPressServer server(keyboard, folder.path().toStdString());
    ASSERT_TRUE(server.listen());

    // Nobody reads the event channel (a window still settling after a plug-in): not reported.
    auto reply = pressThroughSocket(server.socketPath(), kAppKey);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Error);
    // The refusal travels in English and is told in the asker's language.
    EXPECT_EQ(device::press::errorText(Language::Chinese, reply->text).rfind("按键已按下", 0), 0u)
        << reply->text;

    keyboard->attachEventReader(*keyboard->connection());
    reply = pressThroughSocket(server.socketPath(), kAppKey);
    ASSERT_TRUE(reply) << reply.error().english;
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Reported);
    EXPECT_EQ(reply->code, 93);
    auto event = keyboard->nextEvent(*keyboard->connection(), std::chrono::milliseconds(100));
    ASSERT_TRUE(event && *event);
    EXPECT_EQ((*event)->value, 93);

    reply = pressThroughSocket(server.socketPath(), kKeyQ);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Silent);

    keys::setKeyEnabled(settings, kAppKey, false);
    keyboard->setSettings(settings);
    reply = pressThroughSocket(server.socketPath(), kAppKey);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Silent) << "a disabled key reports nothing";

    reply = pressThroughSocket(server.socketPath(), 200);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Error);
    EXPECT_EQ(device::press::errorText(Language::Chinese, reply->text), "没有这个按键序号");
    EXPECT_EQ(device::press::answer(*keyboard, "hello\n").rfind("error ", 0), 0u);
    // A text this side does not know (an older window) stays as it came.
    EXPECT_EQ(device::press::errorText(Language::Chinese, "odd"), "odd");
}

TEST(DemoPress, TheSocketUnplugsAndReplugsTheKeyboard) {
    EXPECT_EQ(device::press::parsePlugRequest(device::press::plugRequest(true)), true);
    EXPECT_EQ(device::press::parsePlugRequest(device::press::plugRequest(false)), false);
    EXPECT_EQ(device::press::parsePlugRequest("plug 1\n"), std::nullopt);
    EXPECT_EQ(device::press::parseReply("unplugged\n")->kind, device::press::Reply::Kind::Unplugged);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto keyboard = std::make_shared<device::VirtualKeyboard>();
    (void)withHostActionOnAppKey(*keyboard);
    std::vector<device::PlugChange> notices;
    keyboard->subscribe([&notices](device::PlugChange change) { notices.push_back(change); });
    DemoPressServer server(keyboard, folder.path().toStdString());
    ASSERT_TRUE(server.listen());

    auto plug = [&](bool in) {
        auto answer = std::async(std::launch::async, [path = server.socketPath().toStdString(),
                                                      in] { return device::press::sendPlug(path, in); });
        while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            QCoreApplication::processEvents();
        }
        return answer.get();
    };
    auto reply = plug(false);
    ASSERT_TRUE(reply) << reply.error().english;
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Unplugged);
    EXPECT_FALSE(keyboard->isPlugged());
    // A press on a keyboard without its cable is not reported as one that reached the window.
    reply = pressThroughSocket(server.socketPath(), kAppKey);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Unplugged);

    reply = plug(true);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->kind, device::press::Reply::Kind::Plugged);
    EXPECT_TRUE(keyboard->isPlugged());
    EXPECT_EQ(notices, (std::vector{device::PlugChange::Removed, device::PlugChange::Arrived}));
}

TEST(DemoPress, NoServerMeansNoDemoIsRunning) {
    QTemporaryDir folder;
    const auto reply = device::press::sendPress(
        std::filesystem::path(folder.path().toStdString()) / device::press::kPressSocketName, 1);
    ASSERT_FALSE(reply);
    EXPECT_NE(reply.error().english.find("No tessaron --demo"), std::string::npos);
}

}  // namespace
}  // namespace tessaron::app

// The local line socket: one request line in, one reply line out, and safe with what it finds at
// its path and with clients that misbehave.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>

#include <cstring>
#include <fstream>
#include <future>

#include "app/shell/local_line_server.h"
#include "core/line_socket.h"
#include "support/qt_wait.h"
#include "support/scratch_folder.h"

namespace tessaron::app {
namespace {

using local::LineExchange;
using Outcome = LineExchange::Outcome;
using tessaron::testing::ScratchFolder;
using tessaron::testing::waitFor;

constexpr std::size_t kMaxLine = 32;

// The client blocks, so it runs on a thread while this one serves it.
LineExchange ask(const std::filesystem::path& path, std::string line) {
    auto reply = std::async(std::launch::async, [path, line] {
        return local::exchangeLine(path, line, kMaxLine, std::chrono::seconds(5));
    });
    waitFor([&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return reply.get();
}

// A socket file with nobody listening, as a program that crashed leaves it (mode 0600), or as
// someone else could plant it.
void leaveSocketFile(const std::filesystem::path& path, mode_t mode = 0600) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

TEST(LocalLineServer, AnswersEachLineAndTakesOverOnlyALeftoverSocket) {
    ScratchFolder folder("line");
    const auto path = folder.path() / "s";
    std::vector<std::string> seen;
    const auto handler = [&seen](std::string_view line) {
        seen.emplace_back(line);
        return "got " + std::string(line);
    };
    {
        LocalLineServer server(path, kMaxLine, handler);
        ASSERT_TRUE(server.listen());
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << "only this user may connect";
        const LineExchange first = ask(path, "one\n");
        EXPECT_EQ(first.outcome, Outcome::Answered);
        EXPECT_EQ(first.reply, "got one");
        EXPECT_EQ(ask(path, "two\nthree\n").reply, "got two") << "one line per connection";
    }
    EXPECT_FALSE(std::filesystem::exists(path)) << "the socket goes with its server";
    EXPECT_EQ(ask(path, "x\n").outcome, Outcome::NotListening);
    EXPECT_EQ(seen, (std::vector<std::string>{"one\n", "two\n"}));

    // A socket left by a program that is gone is replaced...
    leaveSocketFile(path);
    LocalLineServer server(path, kMaxLine, handler);
    EXPECT_TRUE(server.listen());
    EXPECT_EQ(ask(path, "again\n").reply, "got again");

    // ...but a user's file that happens to have the name is left alone.
    const auto file = folder.path() / "notes";
    std::ofstream(file) << "keep me";
    LocalLineServer refused(file, kMaxLine, handler);
    EXPECT_FALSE(refused.listen());
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

// In a folder every user can write to, a socket that others may use or that another user owns
// may have been planted: it is neither spoken to nor taken over.
TEST(LocalLineServer, LeavesAPlantedSocketAlone) {
    ScratchFolder folder("line");
    const auto open = folder.path() / "open";
    leaveSocketFile(open, 0666);
    LocalLineServer server(open, kMaxLine, [](std::string_view) { return std::string("x"); });
    EXPECT_FALSE(server.listen());
    EXPECT_EQ(ask(open, "show\n").outcome, Outcome::Foreign);
    struct stat st {};
    ASSERT_EQ(::lstat(open.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u) << "left as it was";

    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    const auto theirs = folder.path() / "theirs";
    leaveSocketFile(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    LocalLineServer other(theirs, kMaxLine, [](std::string_view) { return std::string("x"); });
    EXPECT_FALSE(other.listen());
    ASSERT_EQ(::lstat(theirs.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
}

TEST(LocalLineServer, ClientsThatNeverEndTheirLineAreCutOffAndOthersStillServed) {
    ScratchFolder folder("line");
    const auto path = folder.path() / "s";
    int handled = 0;
    LocalLineServer server(path, kMaxLine, [&handled](std::string_view) {
        ++handled;
        return std::string("ok\n");
    });
    ASSERT_TRUE(server.listen());
    const LineExchange flood = ask(path, std::string(4 * kMaxLine, 'a'));
    EXPECT_EQ(flood.outcome, Outcome::Answered);
    EXPECT_EQ(flood.reply, "") << "cut off without a reply";
    EXPECT_EQ(handled, 0);
    // A client that leaves without a newline is not handled either.
    EXPECT_EQ(local::exchangeLine(path, "half", kMaxLine, std::chrono::milliseconds(1)).outcome,
              Outcome::Answered);
    EXPECT_EQ(ask(path, "whole\n").reply, "ok");
    EXPECT_EQ(handled, 1);

    const std::string longPath(200, 'p');
    EXPECT_EQ(local::exchangeLine(longPath, "x\n", kMaxLine, std::chrono::seconds(1)).outcome,
              Outcome::PathTooLong);
    LocalLineServer tooLong(longPath, kMaxLine, [](std::string_view) { return std::string(); });
    EXPECT_FALSE(tooLong.listen());
}

}  // namespace
}  // namespace tessaron::app

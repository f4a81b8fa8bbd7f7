// Where the local socket lives and which socket files are trusted: in a folder other users can
// write to, a file someone else planted must neither be spoken to nor taken for a leftover.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "core/file_descriptor.h"
#include "core/line_socket.h"
#include "support/scratch_folder.h"

namespace tessaron::local {
namespace {

namespace fs = std::filesystem;

// A listening socket at the path; the caller owns the descriptor.
int listenAt(const fs::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd, 4), 0);
    return fd;
}

TEST(LineSocket, LivesInTheRuntimeFolderWhenThereIsOne) {
    EXPECT_EQ(socketPath({"/run/user/1000", "/tmp"}, "tessaron-1000"),
              fs::path("/run/user/1000/tessaron-1000"));
    EXPECT_EQ(socketPath({std::nullopt, "/var/tmp"}, "tessaron-1000"),
              fs::path("/var/tmp/tessaron-1000"));
    // A relative runtime folder would follow the working folder.
    EXPECT_EQ(socketPath({"run", "/tmp"}, "s"), fs::path("/tmp/s"));
}

TEST(LineSocket, OnlyThisUsersSocketWithModeSixHundredIsTrusted) {
    testing::ScratchFolder scratch("tessaron-socket");
    const fs::path path = scratch.path() / "s";
    EXPECT_EQ(inspectSocketFile(path, ::getuid()), SocketFile::Missing);

    const FileDescriptor listener(listenAt(path));
    ASSERT_TRUE(restrictToOwner(path));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(inspectSocketFile(path, ::getuid()), SocketFile::Ours);
    EXPECT_EQ(inspectSocketFile(path, ::getuid() + 1), SocketFile::Foreign);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    EXPECT_EQ(inspectSocketFile(path, ::getuid()), SocketFile::Foreign);

    // A link to our own socket, or a plain file, is not a socket of ours.
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    fs::create_symlink(path, scratch.path() / "link");
    EXPECT_EQ(inspectSocketFile(scratch.path() / "link", ::getuid()), SocketFile::Foreign);
    std::ofstream(scratch.path() / "plain") << "x";
    ::chmod((scratch.path() / "plain").c_str(), 0600);
    EXPECT_EQ(inspectSocketFile(scratch.path() / "plain", ::getuid()), SocketFile::Foreign);
}

TEST(LineSocket, OnlyOurOwnPrivateSocketIsSpokenTo) {
    testing::ScratchFolder scratch("tessaron-socket");
    const fs::path path = scratch.path() / "s";
    const auto send = [&] {
        return exchangeLine(path, "show\n", 16, std::chrono::milliseconds(50)).outcome;
    };
    EXPECT_EQ(send(), LineExchange::Outcome::NotListening);
    const FileDescriptor listener(listenAt(path));
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    EXPECT_EQ(send(), LineExchange::Outcome::Foreign);
    // Our own socket takes the line (nobody answers, so the reply is empty).
    ASSERT_TRUE(restrictToOwner(path));
    EXPECT_EQ(send(), LineExchange::Outcome::Answered);
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    EXPECT_EQ(send(), LineExchange::Outcome::Foreign);
}

}  // namespace
}  // namespace tessaron::local

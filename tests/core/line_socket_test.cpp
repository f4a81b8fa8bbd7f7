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

TEST(LineSocket, LivesOnlyInAFolderOfTheUsersOwn) {
    testing::ScratchFolder scratch("tessaron-place");
    const fs::path runtime = scratch.path() / "run";
    const fs::path temp = scratch.path() / "tmp";
    const fs::path home = scratch.path() / "home";
    fs::create_directories(runtime);
    fs::create_directories(temp);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    const uid_t me = ::getuid();
    const std::string own = "tessaron-" + std::to_string(me);

    EXPECT_EQ(socketPath({runtime.string(), temp, home.string(), me}, "s"), runtime / "s");
    // A relative runtime folder would follow the working folder; one others may enter is shared.
    EXPECT_EQ(socketPath({"run", temp, home.string(), me}, "s"), temp / own / "s");
    fs::permissions(runtime, fs::perms::owner_all | fs::perms::others_exec,
                    fs::perm_options::replace);
    EXPECT_EQ(socketPath({runtime.string(), temp, home.string(), me}, "s"), temp / own / "s");
    EXPECT_EQ(fs::status(temp / own).permissions() & fs::perms::all, fs::perms::owner_all);

    // Another user's folders (as root, as CI runs: they really change hands; otherwise they are
    // made shared): the runtime folder and a "tessaron-UID" planted in the temporary folder.
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    if (me == 0) {
        ASSERT_EQ(::chown(runtime.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown((temp / own).c_str(), 65534, 65534), 0);
    } else {
        fs::permissions(runtime, fs::perms::others_exec, fs::perm_options::add);
        fs::permissions(temp / own, fs::perms::others_exec, fs::perm_options::add);
    }
    const fs::path used = socketPath({runtime.string(), temp, home.string(), me}, "s");
    EXPECT_EQ(used, home / ".cache" / own / "s");
    EXPECT_TRUE(isPrivateFolder(used.parent_path(), me));
    // With nowhere private, the shared folder, where the socket-file checks apply.
    EXPECT_EQ(socketPath({std::nullopt, temp, std::nullopt, me}, "s"), temp / "s");
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

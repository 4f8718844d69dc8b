// SPDX-License-Identifier: Apache-2.0
// The server list read from SERVIDORES.cfg: how the bytes of the file become the servers
// offered, and when the file gives nothing.
#include "platform/file.h"
#include "platform/scoped_env.h"
#include "platform/scratch_dir.h"
#include "installation/installation_directory.h"
#include "installation/server_file.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using kalmora::installation::loadServerList;
using kalmora::installation::readServerList;
using kalmora::platform::File;
using kalmora::test::ScopedEnv;
using kalmora::test::ScratchDir;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

using Lines = std::vector<std::string>;

class RecordingMessages : public kalmora::core::MessageSink
{
public:
    void showMessage(const std::string &text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

/// The file's directory written the way the program writes paths, with backslashes.
std::string windowsStyle(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Guards: every documented line end, NUL, blanks, bytes above 127 and long lines come out
// exactly; a wrong rule offers servers that do not exist or loses real ones.
TEST(ServerFile, BytesBecomeServers)
{
    const std::string longLine(300, 'x');
    const struct
    {
        const char *what;
        std::string bytes;
        Lines servers;
    } cases[] = {
        {"CR LF ends", "a\r\nb\r\n", {"a", "b"}},
        {"LF ends", "a\nb\n", {"a", "b"}},
        {"empty line between", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"last line without a line end", "a\r\nb", {"a"}},
        {"carriage returns alone", "a\rbc\r", {"a", "c"}},
        {"LF then CR LF", "a\n\r\n", {"a", ""}},
        {"line end first", "\r\na\r\n", {"", "a"}},
        {"CR takes any byte after it", "a\rxb\r\n", {"a", "b"}},
        {"CR as the last byte", "a\r", {"a"}},
        {"NUL cuts the server", std::string("srv1\0junk\nsrv2\n", 15), {"srv1", "srv2"}},
        {"blanks kept", " db1 \t\n\tdb2 \n", {" db1 \t", "\tdb2 "}},
        {"8-bit bytes unchanged", "c\xf3mputo\xff\n", {"c\xf3mputo\xff"}},
        {"line over 255 bytes kept whole", longLine + "\nb\n", {longLine, "b"}},
        {"empty file", "", {}},
        {"one line without a line end", "localhost:/srv", {}},
    };
    ScratchDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("SERVIDORES.cfg", c.bytes);
        EXPECT_THAT(readServerList(windowsStyle(dir.path())), ElementsAreArray(c.servers));
    }
}

// Guards: a file of many reads' worth comes out whole and in order, with a carriage return
// as the last byte of one read taking the first byte of the next, and a last line without
// a line end still left out.
TEST(ServerFile, LargeFileComesOutWhole)
{
    std::string bytes;
    Lines servers;
    const auto add = [&](const std::string &server, std::string_view end) {
        bytes += server;
        bytes += end;
        servers.push_back(server);
    };
    add(std::string(65535, 's'), "\rZ");
    add(std::string(65534, 't'), "\r\n");
    const std::string_view ends[] = {"\r\n", "\n", "\r#"};
    for (int i = 0; i < 30000; ++i)
        add("db" + std::to_string(i) + "/3051:/srv/k", ends[i % 3]);
    bytes += "tail";

    ScratchDir dir;
    dir.write("SERVIDORES.cfg", bytes);
    EXPECT_THAT(readServerList(dir.path()), ElementsAreArray(servers));
}

// Guards: the directory is joined with "\SERVIDORES.cfg" and only then translated, so a
// directory ending in a separator still finds the file; the lock is released afterwards.
TEST(ServerFile, PathFromTheDirectoryAndLockReleased)
{
    ScratchDir dir;
    const std::string path = dir.write("SERVIDORES.cfg", "db1/3051:/srv\n");
    EXPECT_THAT(readServerList(windowsStyle(dir.path()) + "\\"), ElementsAre("db1/3051:/srv"));
    EXPECT_THAT(readServerList(dir.path()), ElementsAre("db1/3051:/srv"));

    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << "the reading kept the file locked";
    ::close(fd);
}

// Guards: a file that cannot be had gives an empty list, without a message or a failure.
TEST(ServerFile, UnavailableFileGivesNoServers)
{
    ScratchDir dir;
    EXPECT_THAT(readServerList(dir.path()), IsEmpty()) << "missing";

    std::filesystem::create_directory(dir.path() + "/SERVIDORES.cfg");
    EXPECT_THAT(readServerList(dir.path()), IsEmpty()) << "a folder of that name";
    std::filesystem::remove(dir.path() + "/SERVIDORES.cfg");

    const std::string path = dir.write("SERVIDORES.cfg", "a\n");
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_THAT(readServerList(dir.path()), IsEmpty()) << "held by another opener";
    ::close(fd);
    EXPECT_THAT(readServerList(dir.path()), ElementsAre("a"));
}

// Guards: the file stand-in denies a second opener while the first holds the file, and
// gives the file back when the holder goes; size by seeking to the end, bytes one by one.
TEST(ServerFile, FileIsHeldExclusivelyWhileOpen)
{
    ScratchDir dir;
    dir.write("f", "xyz");
    const std::string windowsPath = windowsStyle(dir.path() + "/f");
    {
        auto first = File::openExclusiveForReading(windowsPath);
        ASSERT_TRUE(first);
        EXPECT_FALSE(File::openExclusiveForReading(windowsPath));
        EXPECT_EQ(first->seek(0, File::Origin::End), 3);
        EXPECT_EQ(first->seek(0, File::Origin::Begin), 0);
        std::string read;
        char byte;
        while (first->read(&byte, 1) == 1)
            read += byte;
        EXPECT_EQ(read, "xyz");
    }
    EXPECT_TRUE(File::openExclusiveForReading(windowsPath));
}

// Guards: the start-up reading goes registry -> directory -> file; a key that does not open
// shows the message and still goes on; an unusable value stops before the file.
TEST(ServerFile, LoadFollowsTheRegistry)
{
    ScratchDir dir;
    dir.write("SERVIDORES.cfg", "localhost:/srv/kalmora\r\n/srv/local\r\n");
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n";
    ScopedEnv registry("KALMORA_HKLM", dir.path() + "/hklm.reg");
    RecordingMessages messages;

    // The registry holds the directory as the program would: a Windows-style path.
    std::string escaped;
    for (char c : windowsStyle(dir.path()))
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    dir.write("hklm.reg", header + "\"Directorio\"=\"" + escaped + "\"\r\n");
    EXPECT_THAT(loadServerList(messages), ElementsAre("localhost:/srv/kalmora", "/srv/local"));
    EXPECT_THAT(messages.shown, IsEmpty());

    std::filesystem::remove(dir.path() + "/hklm.reg");
    // No directory: the file looked for is /SERVIDORES.cfg, which a test machine lacks.
    if (!std::filesystem::exists("/SERVIDORES.cfg")) {
        EXPECT_THAT(loadServerList(messages), IsEmpty());
        EXPECT_EQ(messages.shown.size(), 1u);
    }

    dir.write("hklm.reg", header + "\"Directorio\"=dword:00000001\r\n");
    EXPECT_THROW(loadServerList(messages), kalmora::ERegistryException);
}

} // namespace

// SPDX-License-Identifier: Apache-2.0
// Fuzz target: the bytes of a server list (SERVIDORES.cfg), split in memory and read from a
// file, both against the rules applied one byte at a time.
#include "installation/server_file.h"
#include "fuzz_check.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using kalmora::fuzz::check;

namespace {

/// The rules of the list, byte by byte: a line ends at a line feed, or at a carriage return
/// together with the byte after it; a server stops before its first NUL; a last line without
/// a line end is not offered.
std::vector<std::string> byteByByte(std::string_view bytes)
{
    std::vector<std::string> servers;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == '\n' || byte == '\r') {
            servers.push_back(line.substr(0, line.find('\0')));
            line.clear();
            if (byte == '\r')
                ++i;
        } else {
            line += byte;
        }
    }
    return servers;
}

/// A folder of this process for the file, removed at exit.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/kalmora-fuzz-servers.XXXXXX";
        check(::mkdtemp(pattern) != nullptr, "a scratch folder can be made");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = kalmora::fuzz::text(data, size);
    static const ScratchFolder folder;
    const std::vector<std::string> servers = kalmora::installation::serverLines(bytes);
    check(servers == byteByByte(bytes), "the lines split by the rules, byte by byte");

    std::ofstream(folder.path() + "/SERVIDORES.cfg", std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(kalmora::installation::readServerList(folder.path()) == servers,
          "the file gives the servers its bytes hold");
    return 0;
}

#include "installation/server_file.h"

#include "installation/installation_directory.h"
#include "platform/file.h"

namespace kalmora::installation {

namespace {

constexpr unsigned char kLineFeed = 10;
constexpr unsigned char kCarriageReturn = 13;

std::string upToNul(const std::string &line)
{
    return line.substr(0, line.find('\0'));
}

} // namespace

std::vector<std::string> readServerList(const std::string &installationDirectory)
{
    using kalmora::platform::File;
    std::vector<std::string> servers;
    auto file = File::openExclusiveForReading(installationDirectory + "\\SERVIDORES.cfg");
    if (!file)
        return servers;

    const std::int64_t size = file->seek(0, File::Origin::End);
    file->seek(0, File::Origin::Begin);
    std::string line;
    unsigned char byte = 0;
    // Stops early when the file turns out shorter than its size said: a byte that was not
    // read must not be taken for the last one again.
    for (std::int64_t count = 0; count < size && file->read(&byte, 1) == 1;) {
        ++count;
        if (byte == kLineFeed || byte == kCarriageReturn) {
            servers.push_back(upToNul(line));
            line.clear();
            if (byte == kCarriageReturn && count < size) {
                if (file->read(&byte, 1) != 1)
                    break;
                ++count;
            }
        } else {
            line += static_cast<char>(byte);
        }
    }
    return servers;
}

std::vector<std::string> loadServerList(posting::MessageSink &messages)
{
    return readServerList(diraplicacion(messages));
}

} // namespace kalmora::installation

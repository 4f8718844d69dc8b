// SPDX-License-Identifier: Apache-2.0
#include "installation/server_file.h"

#include "platform/file.h"
#include "installation/installation_directory.h"

#include <algorithm>

namespace kalmora::installation {

namespace {

constexpr unsigned char kLineFeed = 10;
constexpr unsigned char kCarriageReturn = 13;

// The file is read this many bytes at a time.
constexpr std::size_t kChunk = std::size_t{1} << 16;

} // namespace

std::vector<std::string> serverLines(std::string_view bytes)
{
    std::vector<std::string> servers;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte != kLineFeed && byte != kCarriageReturn)
            continue;
        const std::string_view line = bytes.substr(start, i - start);
        servers.emplace_back(line.substr(0, line.find('\0')));
        if (byte == kCarriageReturn && i + 1 < bytes.size())
            ++i;
        start = i + 1;
    }
    return servers;
}

std::vector<std::string> readServerList(const std::string &installationDirectory)
{
    using kalmora::platform::File;
    auto file = File::openExclusiveForReading(installationDirectory + "\\SERVIDORES.cfg");
    if (!file)
        return {};

    const std::int64_t end = file->seek(0, File::Origin::End);
    file->seek(0, File::Origin::Begin);
    const std::size_t size = end > 0 ? static_cast<std::size_t>(end) : 0;
    // No more than the size said, and no further than the file really goes: a file that
    // turns out shorter ends where its bytes end.
    std::string bytes;
    while (bytes.size() < size) {
        const std::size_t got = bytes.size();
        const std::size_t chunk = std::min(size - got, kChunk);
        bytes.resize(got + chunk);
        const std::size_t read = file->read(bytes.data() + got, chunk);
        bytes.resize(got + read);
        if (read == 0)
            break;
    }
    return serverLines(bytes);
}

std::vector<std::string> loadServerList(core::MessageSink &messages)
{
    return readServerList(diraplicacion(messages));
}

} // namespace kalmora::installation

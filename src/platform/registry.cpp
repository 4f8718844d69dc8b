// SPDX-License-Identifier: Apache-2.0
#include "platform/registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kalmora::platform {

namespace {

constexpr std::uint32_t kReadRights =
    KEY_READ | KEY_WOW64_32KEY | KEY_WOW64_64KEY; // everything a reader may ask for

std::optional<std::string> readWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    // One byte more than the file says it has, in one read, which then meets the end too. A
    // file that tells no size (a pipe) or that grew goes on in chunks.
    std::error_code noSize;
    std::size_t chunk = static_cast<std::size_t>(std::filesystem::file_size(path, noSize));
    if (noSize)
        chunk = 0;
    std::string bytes;
    for (chunk += 1; in; chunk = std::size_t{1} << 16) {
        const std::size_t got = bytes.size();
        bytes.resize(got + chunk);
        in.read(bytes.data() + got, static_cast<std::streamsize>(chunk));
        bytes.resize(got + static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool validSubKey(std::string_view path)
{
    if (path.empty())
        return true;
    return path.front() != '\\' && path.back() != '\\' &&
           path.find("\\\\") == std::string_view::npos;
}

} // namespace

std::string registryFilePath()
{
    const char *fromEnvironment = std::getenv("KALMORA_HKLM");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0')
        return fromEnvironment;
    return "/etc/kalmora/hklm.reg";
}

std::optional<RegistryKey> RegistryKey::openLocalMachine(std::string_view subKey,
                                                         std::uint32_t access)
{
    if ((access & ~kReadRights) != 0 || !validSubKey(subKey))
        return std::nullopt;
    const auto bytes = readWholeFile(registryFilePath());
    if (!bytes)
        return std::nullopt;
    auto parsed = parseRegistryExport(*bytes);
    if (!parsed)
        return std::nullopt;
    const std::string path = foldRegistryName(subKey);
    if (!hasKey(*parsed, path))
        return std::nullopt;
    auto values = parsed->values.find(path);
    return RegistryKey(values == parsed->values.end() ? std::vector<RegistryValue>()
                                                      : std::move(values->second));
}

const RegistryValue *RegistryKey::find(std::string_view name) const
{
    for (const RegistryValue &value : values_)
        if (sameRegistryName(value.name, name))
            return &value;
    return nullptr;
}

std::optional<RegistryValueInfo> RegistryKey::queryValue(std::string_view name) const
{
    const RegistryValue *value = find(name);
    if (value == nullptr)
        return std::nullopt;
    return RegistryValueInfo{value->type, value->size};
}

std::optional<RegistryData> RegistryKey::readValue(std::string_view name,
                                                   std::size_t capacity) const
{
    const RegistryValue *value = find(name);
    if (value == nullptr || !value->readable || value->data.size() > capacity)
        return std::nullopt;
    return RegistryData{value->type, value->data};
}

} // namespace kalmora::platform

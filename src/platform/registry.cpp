#include "platform/registry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kalmora::platform {

namespace {

constexpr std::uint32_t kReadRights =
    KEY_READ | KEY_WOW64_32KEY | KEY_WOW64_64KEY; // everything a reader may ask for

std::optional<std::string> readWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(bytes).str();
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
    if (parsed->keys.count(path) == 0)
        return std::nullopt;
    auto values = parsed->values.find(path);
    return RegistryKey(values == parsed->values.end() ? std::vector<RegistryValue>()
                                                      : std::move(values->second));
}

const RegistryValue *RegistryKey::find(std::string_view name) const
{
    const std::string folded = foldRegistryName(name);
    for (const RegistryValue &value : values_)
        if (foldRegistryName(value.name) == folded)
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

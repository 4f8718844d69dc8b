// SPDX-License-Identifier: Apache-2.0
#include "installation/installation_directory.h"

#include "platform/registry.h"

#include <algorithm>

namespace kalmora::installation {

namespace {

constexpr const char *kKey = "\\Software\\QZT\\Kalmora2018";
constexpr const char *kValue = "Directorio";
// Text is in the locale's charset, UTF-8 here as for every literal of the program.
constexpr const char *kKeyMissing =
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018\\Directorio";

std::string withName(const char *format, const std::string &name)
{
    std::string text(format);
    text.replace(text.find("%s"), 2, name);
    return text;
}

} // namespace

std::string diraplicacion(core::MessageSink &messages)
{
    using namespace kalmora::platform;
    // The leading backslash makes the path absolute: it is opened below the root.
    std::string path = kKey;
    if (!path.empty() && path.front() == '\\')
        path.erase(0, 1);
    const auto key = RegistryKey::openLocalMachine(path, KEY_READ);
    if (!key) {
        messages.showMessage(kKeyMissing);
        return std::string();
    }
    const auto info = key->queryValue(kValue);
    if (!info || info->size == 0)
        return std::string();
    const auto data = key->readValue(kValue, info->size);
    if (!data)
        throw ERegistryException(withName("Failed to get data for '%s'", kValue));
    if (data->type != REG_SZ && data->type != REG_EXPAND_SZ)
        throw ERegistryException(withName("Invalid data type for '%s'", kValue));
    const auto end = std::find(data->bytes.begin(), data->bytes.end(), std::uint8_t{0});
    return std::string(data->bytes.begin(), end);
}

} // namespace kalmora::installation

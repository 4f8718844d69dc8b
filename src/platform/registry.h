// SPDX-License-Identifier: Apache-2.0
#pragma once
// The machine-wide registry (HKEY_LOCAL_MACHINE), read-only, standing in for the platform's
// registry calls: open a key, ask a value's type and size, read its data, close the key.
// The registry is the export file named by the environment variable KALMORA_HKLM, else
// /etc/kalmora/hklm.reg (format: registry_export.h). A missing, unreadable or malformed file
// is a registry in which no key opens.

#include "platform/registry_export.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalmora::platform {

/// Access rights asked when opening a key, numbered as the platform numbers them.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_NOTIFY = 0x0010;
inline constexpr std::uint32_t KEY_CREATE_LINK = 0x0020;
inline constexpr std::uint32_t KEY_WOW64_64KEY = 0x0100;
inline constexpr std::uint32_t KEY_WOW64_32KEY = 0x0200;
inline constexpr std::uint32_t READ_CONTROL = 0x00020000;
/// Query values, enumerate subkeys, notify, read standard rights.
inline constexpr std::uint32_t KEY_READ = 0x20019;

/// The path of the registry file in force: $KALMORA_HKLM when set and not empty, else
/// /etc/kalmora/hklm.reg.
std::string registryFilePath();

/// What a value query answers.
struct RegistryValueInfo
{
    std::uint32_t type = REG_NONE; // RegistryType
    std::size_t size = 0;          // bytes of data (strings: with their terminating NUL)
};

/// What reading a value gives.
struct RegistryData
{
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> bytes;
};

/// An open key below HKEY_LOCAL_MACHINE. It holds what the registry file said when it was
/// opened; it is closed when destroyed.
class RegistryKey
{
public:
    /// Opens `subKey` below HKEY_LOCAL_MACHINE without creating it. The path is relative to
    /// the root (no leading backslash), key names separated by backslashes and compared
    /// without case; an empty path opens the root. The registry views (KEY_WOW64_*) are one
    /// and the same here. nullopt when the key does not exist, the registry file cannot be
    /// read, or `access` asks for anything beyond reading (the registry is read-only).
    static std::optional<RegistryKey> openLocalMachine(std::string_view subKey,
                                                       std::uint32_t access);

    /// The type and data size of the value `name` (empty: the key's default value; compared
    /// without case); nullopt when the key has no such value.
    std::optional<RegistryValueInfo> queryValue(std::string_view name) const;

    /// The data of the value `name`, at most `capacity` bytes. nullopt when reading fails:
    /// no such value, data that the file spells wrongly, or data larger than `capacity`.
    std::optional<RegistryData> readValue(std::string_view name, std::size_t capacity) const;

private:
    explicit RegistryKey(std::vector<RegistryValue> values) : values_(std::move(values)) {}
    const RegistryValue *find(std::string_view name) const;

    std::vector<RegistryValue> values_;
};

} // namespace kalmora::platform

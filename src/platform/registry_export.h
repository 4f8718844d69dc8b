// SPDX-License-Identifier: Apache-2.0
#pragma once
// The text format of registry exports, read into keys and values. Two generations exist:
// "Windows Registry Editor Version 5.00" writes string data given in hex as UTF-16LE bytes,
// "REGEDIT4" as bytes of the 8-bit code page. Either way the values come out in the 8-bit
// code page (the C library's LC_CTYPE charset), as the narrow registry calls return them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalmora::platform {

/// Registry data types, numbered as the platform numbers them.
enum RegistryType : std::uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

/// One value of a key as the export file gives it.
struct RegistryValue
{
    std::string name; // as written; empty for the key's default value ("@")
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> data;
    /// False when the data in the file is malformed (bad hex, bad dword, unterminated
    /// string): the value exists and has a size, but reading its data fails.
    bool readable = true;
    /// The size a query reports: the data's size, or for malformed data the size it claims.
    std::size_t size = 0;
};

/// The keys below HKEY_LOCAL_MACHINE that an export file defines.
struct RegistryExport
{
    /// The values of each key that a section names, by its path relative to the root folded
    /// to lower case ("software\qzt\kalmora2018"; the root is ""). The ancestors of these
    /// keys exist too without being listed (hasKey), so that a deep path costs no more than
    /// its length.
    std::map<std::string, std::vector<RegistryValue>, std::less<>> values;
};

/// Whether the key at the folded `path` exists: the root, a key that a section names, or an
/// ancestor of one.
bool hasKey(const RegistryExport &registry, std::string_view path);

/// Key and value names compare without case: the folded form used as the lookup key.
std::string foldRegistryName(std::string_view name);
/// Whether two names are the same when compared without case, as their folded forms are.
bool sameRegistryName(std::string_view a, std::string_view b);

/// Reads the bytes of an export file (optionally with a UTF-8 or UTF-16LE byte order mark).
/// nullopt when the header is neither of the two known ones. Sections of other roots and
/// deletion entries are ignored; a later value of the same name replaces an earlier one.
std::optional<RegistryExport> parseRegistryExport(std::string_view fileBytes);

} // namespace kalmora::platform

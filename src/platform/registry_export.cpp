// SPDX-License-Identifier: Apache-2.0
#include "platform/registry_export.h"

#include <algorithm>
#include <climits>
#include <cwchar>

namespace kalmora::platform {

namespace {

constexpr std::string_view kHeaderUnicode = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderAnsi = "REGEDIT4";
constexpr std::string_view kRoot = "hkey_local_machine";

char foldChar(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s)
{
    return trimRight(trimLeft(s));
}

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && foldRegistryName(s.substr(0, prefix.size())) == prefix;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// A number of 1 to `maxDigits` hex digits, nothing else.
std::optional<std::uint32_t> hexNumber(std::string_view s, std::size_t maxDigits)
{
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    std::uint32_t n = 0;
    for (char c : s) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        n = n * 16 + static_cast<std::uint32_t>(d);
    }
    return n;
}

/// UTF-16LE code units to the C library's multibyte charset; what the charset cannot hold
/// becomes "?", as the narrow registry calls do. An odd last byte is ignored.
std::string narrowFromUtf16(const std::uint8_t *bytes, std::size_t size)
{
    std::string out;
    std::mbstate_t state{};
    char buffer[MB_LEN_MAX];
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        char32_t unit = static_cast<char32_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < size) {
            const auto low = static_cast<char32_t>(bytes[i + 2] | (bytes[i + 3] << 8));
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        std::size_t n = static_cast<std::size_t>(-1);
        if (unit < 0xD800 || unit >= 0xE000)
            n = std::wcrtomb(buffer, static_cast<wchar_t>(unit), &state);
        if (n == static_cast<std::size_t>(-1)) {
            state = std::mbstate_t{};
            out += '?';
        } else {
            out.append(buffer, n);
        }
    }
    return out;
}

/// Reads a quoted text at the start of `s` with the export escapes \\ and \"; a backslash
/// before anything else is kept as written, so a hand-written "C:\Kalmora" survives.
/// Returns the text and moves `s` past the closing quote; nullopt when it never closes.
std::optional<std::string> quoted(std::string_view &s)
{
    std::string text;
    for (std::size_t i = 1;;) {
        std::size_t stop = i;
        while (stop < s.size() && s[stop] != '"' && s[stop] != '\\')
            ++stop;
        if (stop == s.size())
            return std::nullopt;
        text += s.substr(i, stop - i);
        if (s[stop] == '"') {
            s.remove_prefix(stop + 1);
            return text;
        }
        const bool escape = stop + 1 < s.size() && (s[stop + 1] == '\\' || s[stop + 1] == '"');
        text += s[escape ? stop + 1 : stop];
        i = escape ? stop + 2 : stop + 1;
    }
}

RegistryValue malformed(std::uint32_t type, std::size_t claimedSize)
{
    RegistryValue value;
    value.type = type;
    value.readable = false;
    value.size = claimedSize;
    return value;
}

RegistryValue hexValue(std::string_view data, bool unicode)
{
    // data starts with "hex" (any case): "hex:" is binary, "hex(N):" is type N.
    std::uint32_t type = REG_BINARY;
    data.remove_prefix(3);
    bool typeOk = true;
    if (!data.empty() && data.front() == '(') {
        const std::size_t close = data.find(')');
        const auto number = close == std::string_view::npos
                                ? std::nullopt
                                : hexNumber(data.substr(1, close - 1), 8);
        typeOk = number.has_value();
        type = number.value_or(REG_NONE);
        data.remove_prefix(close == std::string_view::npos ? data.size() : close + 1);
    }
    typeOk = typeOk && !data.empty() && data.front() == ':';
    if (!data.empty())
        data.remove_prefix(1);

    std::vector<std::uint8_t> bytes;
    std::size_t tokens = 0;
    bool bytesOk = true;
    if (!trim(data).empty()) {
        while (true) {
            const std::size_t comma = data.find(',');
            const auto byte = hexNumber(trim(data.substr(0, comma)), 2);
            ++tokens;
            if (byte)
                bytes.push_back(static_cast<std::uint8_t>(*byte));
            else
                bytesOk = false;
            if (comma == std::string_view::npos)
                break;
            data.remove_prefix(comma + 1);
        }
    }
    if (!typeOk || !bytesOk)
        return malformed(type, tokens);

    RegistryValue value;
    value.type = type;
    if (unicode && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        const std::string narrow = narrowFromUtf16(bytes.data(), bytes.size());
        value.data.assign(narrow.begin(), narrow.end());
    } else {
        value.data = std::move(bytes);
    }
    value.size = value.data.size();
    return value;
}

std::optional<RegistryValue> valueData(std::string_view data, bool unicode)
{
    data = trimLeft(data);
    if (trimRight(data) == "-")
        return std::nullopt; // a deletion entry
    if (!data.empty() && data.front() == '"') {
        std::string_view rest = data;
        const auto text = quoted(rest);
        if (!text || !trim(rest).empty())
            return malformed(REG_SZ, trimRight(data).size());
        RegistryValue value;
        value.type = REG_SZ;
        value.data.reserve(text->size() + 1);
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
        value.size = value.data.size();
        return value;
    }
    if (startsWithNoCase(data, "dword:")) {
        const auto number = hexNumber(trim(data.substr(6)), 8);
        if (!number)
            return malformed(REG_DWORD, 4);
        RegistryValue value;
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
        value.size = 4;
        return value;
    }
    if (startsWithNoCase(data, "hex"))
        return hexValue(data, unicode);
    return malformed(REG_NONE, trimRight(data).size());
}

/// The entries of one key in the order the file gives them, deletions included; which of
/// them stand is settled once the whole file is read (settledValues).
struct KeyValues
{
    std::vector<RegistryValue> entries; // a deletion holds only its name
    std::vector<bool> deletes;
};

void storeValue(KeyValues &key, std::string name, std::optional<RegistryValue> value)
{
    key.deletes.push_back(!value);
    RegistryValue &entry = key.entries.emplace_back(value ? std::move(*value) : RegistryValue{});
    entry.name = std::move(name);
}

/// FNV-1a of the name folded to lower case.
std::uint64_t foldedHash(std::string_view name)
{
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(foldChar(c))) * 1099511628211u;
    return hash;
}

/// The values that stand at the end of the file: of the entries of one name (without case)
/// the last one counts, in its place, and a deletion leaves nothing. Sorting the entries by
/// the hash of their name brings those of one name together, at the cost of a sort rather
/// than of a search through the key's values for each entry.
std::vector<RegistryValue> settledValues(KeyValues &key)
{
    std::vector<RegistryValue> &entries = key.entries;
    std::vector<std::pair<std::uint64_t, std::size_t>> byName; // (hash, entry)
    byName.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        byName.emplace_back(foldedHash(entries[i].name), i);
    std::sort(byName.begin(), byName.end());

    std::vector<bool> stands(entries.size(), false);
    std::vector<std::size_t> latest; // of one hash: the last entry of each name, latest first
    for (std::size_t end = byName.size(); end > 0;) {
        std::size_t start = end - 1;
        while (start > 0 && byName[start - 1].first == byName[end - 1].first)
            --start;
        latest.clear();
        for (std::size_t k = end; k-- > start;) {
            const std::size_t i = byName[k].second;
            const bool replaced = std::any_of(latest.begin(), latest.end(), [&](std::size_t j) {
                return sameRegistryName(entries[i].name, entries[j].name);
            });
            if (!replaced) {
                latest.push_back(i);
                stands[i] = !key.deletes[i];
            }
        }
        end = start;
    }

    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!stands[i])
            continue;
        if (kept != i)
            entries[kept] = std::move(entries[i]);
        ++kept;
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end());
    return std::move(entries);
}

/// The folded path below HKEY_LOCAL_MACHINE of a section header's inside; nullopt for
/// other roots, deletions and paths with empty key names.
std::optional<std::string> sectionPath(std::string_view inside)
{
    if (inside.empty() || inside.front() == '-')
        return std::nullopt;
    const std::string folded = foldRegistryName(inside);
    if (folded == kRoot)
        return std::string();
    if (folded.size() <= kRoot.size() + 1 || folded.compare(0, kRoot.size(), kRoot) != 0 ||
        folded[kRoot.size()] != '\\')
        return std::nullopt;
    std::string path = folded.substr(kRoot.size() + 1);
    if (path.back() == '\\' || path.find("\\\\") != std::string::npos)
        return std::nullopt;
    return path;
}

/// The lines of a text, one at a time, each without its line feed.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    /// The next line into `line`; false after the last one.
    bool next(std::string_view &line)
    {
        if (rest_.empty())
            return false;
        const std::size_t end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return true;
    }

private:
    std::string_view rest_;
};

/// The file's text without its byte order mark; a UTF-16 file is narrowed into `decoded`,
/// which the returned view then points into.
std::string_view fileText(std::string_view fileBytes, std::string &decoded)
{
    if (fileBytes.size() >= 2 && static_cast<unsigned char>(fileBytes[0]) == 0xFF &&
        static_cast<unsigned char>(fileBytes[1]) == 0xFE) {
        decoded = narrowFromUtf16(reinterpret_cast<const std::uint8_t *>(fileBytes.data()) + 2,
                                  fileBytes.size() - 2);
        return decoded;
    }
    if (fileBytes.substr(0, 3) == "\xEF\xBB\xBF")
        fileBytes.remove_prefix(3);
    return fileBytes;
}

/// Enters the section of header `line`: the values that follow go to its key, which exists
/// from now on with its ancestors. Null (the values that follow are skipped) for a section
/// that is not a key below HKEY_LOCAL_MACHINE.
KeyValues *enterSection(std::map<std::string, KeyValues> &keys, std::string_view line)
{
    if (line.back() != ']')
        return nullptr;
    auto path = sectionPath(line.substr(1, line.size() - 2));
    if (!path)
        return nullptr;
    return &keys[std::move(*path)];
}

/// Reads the value line `line` (`"name"=data` or `@=data`, trimmed) into `values`, and the
/// lines its hex data goes on over. A malformed line is skipped.
void readValueLine(std::string_view line, LineReader &lines, bool unicode, KeyValues &values)
{
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        auto text = quoted(line);
        if (!text)
            return;
        name = std::move(*text);
    }
    line = trimLeft(line);
    if (line.empty() || line.front() != '=')
        return;
    line.remove_prefix(1);

    // Hex data may go on over several lines, each but the last ending in a backslash.
    std::string_view data = trimLeft(line);
    std::string joined;
    if (startsWithNoCase(data, "hex") && data.back() == '\\') {
        joined = data;
        std::string_view more;
        while (!joined.empty() && joined.back() == '\\' && lines.next(more)) {
            joined.pop_back();
            joined += trim(more);
        }
        data = joined;
    }
    storeValue(values, std::move(name), valueData(data, unicode));
}

} // namespace

std::string foldRegistryName(std::string_view name)
{
    std::string folded(name);
    for (char &c : folded)
        c = foldChar(c);
    return folded;
}

bool sameRegistryName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldChar(x) == foldChar(y);
           });
}

std::optional<RegistryExport> parseRegistryExport(std::string_view fileBytes)
{
    std::string decoded;
    LineReader lines(fileText(fileBytes, decoded));
    std::string_view line;
    do {
        if (!lines.next(line))
            return std::nullopt;
        line = trim(line);
    } while (line.empty());
    if (line != kHeaderUnicode && line != kHeaderAnsi)
        return std::nullopt;
    const bool unicode = line == kHeaderUnicode;

    std::map<std::string, KeyValues> keys;
    KeyValues *current = nullptr;
    while (lines.next(line)) {
        line = trim(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[')
            current = enterSection(keys, line);
        else if (current != nullptr && (line.front() == '"' || line.front() == '@'))
            readValueLine(line, lines, unicode, *current);
    }

    RegistryExport result;
    for (auto &[path, key] : keys)
        result.values.emplace_hint(result.values.end(), path, settledValues(key));
    return result;
}

bool hasKey(const RegistryExport &registry, std::string_view path)
{
    if (path.empty())
        return true;
    // Keys sort by path, so a key below `path` is the first one from path + "\" on, if any.
    const auto &keys = registry.values;
    if (const auto named = keys.find(path); named != keys.end())
        return true;
    std::string below(path);
    below += '\\';
    const auto first = keys.lower_bound(below);
    return first != keys.end() && first->first.starts_with(below);
}

} // namespace kalmora::platform

#include "platform/registry_export.h"

#include <climits>
#include <cwchar>

namespace kalmora::platform {

namespace {

constexpr std::string_view kHeaderUnicode = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderAnsi = "REGEDIT4";
constexpr std::string_view kRoot = "hkey_local_machine";

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
        char32_t unit = bytes[i] | (bytes[i + 1] << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < size) {
            const char32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
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
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            text += s[++i];
        else
            text += c;
    }
    return std::nullopt;
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

void storeValue(std::vector<RegistryValue> &values, std::string name,
                std::optional<RegistryValue> value)
{
    const std::string folded = foldRegistryName(name);
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (foldRegistryName(it->name) == folded) {
            values.erase(it);
            break;
        }
    }
    if (value) {
        value->name = std::move(name);
        values.push_back(std::move(*value));
    }
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

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

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
std::vector<RegistryValue> *enterSection(RegistryExport &result, std::string_view line)
{
    if (line.back() != ']')
        return nullptr;
    const auto path = sectionPath(line.substr(1, line.size() - 2));
    if (!path)
        return nullptr;
    for (std::size_t cut = path->find('\\'); cut != std::string::npos;
         cut = path->find('\\', cut + 1))
        result.keys.insert(path->substr(0, cut));
    result.keys.insert(*path);
    return &result.values[*path];
}

/// Reads the value line `lines[i]` (`"name"=data` or `@=data`) into `values`, and the lines
/// its hex data goes on over, leaving `i` on the last one read. A malformed line is skipped.
void readValueLine(const std::vector<std::string_view> &lines, std::size_t &i, bool unicode,
                   std::vector<RegistryValue> &values)
{
    std::string_view line = trim(lines[i]);
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
    std::string data(trimLeft(line));
    if (startsWithNoCase(data, "hex")) {
        while (!data.empty() && data.back() == '\\' && i + 1 < lines.size()) {
            data.pop_back();
            data += trim(lines[++i]);
        }
    }
    storeValue(values, std::move(name), valueData(data, unicode));
}

} // namespace

std::string foldRegistryName(std::string_view name)
{
    std::string folded(name);
    for (char &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::optional<RegistryExport> parseRegistryExport(std::string_view fileBytes)
{
    std::string decoded;
    const std::vector<std::string_view> lines = splitLines(fileText(fileBytes, decoded));
    std::size_t i = 0;
    while (i < lines.size() && trim(lines[i]).empty())
        ++i;
    if (i == lines.size())
        return std::nullopt;
    const std::string_view header = trim(lines[i++]);
    if (header != kHeaderUnicode && header != kHeaderAnsi)
        return std::nullopt;
    const bool unicode = header == kHeaderUnicode;

    RegistryExport result;
    result.keys.insert(std::string());
    std::vector<RegistryValue> *current = nullptr;
    for (; i < lines.size(); ++i) {
        const std::string_view line = trim(lines[i]);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[')
            current = enterSection(result, line);
        else if (current != nullptr && (line.front() == '"' || line.front() == '@'))
            readValueLine(lines, i, unicode, *current);
    }
    return result;
}

} // namespace kalmora::platform

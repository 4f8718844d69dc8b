// SPDX-License-Identifier: Apache-2.0
// The JSON strings of the post command's report: every byte sequence comes out as a string
// a strict JSON reader takes, and valid text comes out unchanged.
#include "cli/json_text.h"

#include <gmock/gmock.h>

namespace kalmora::cli {
namespace {

// Guards against a string that ends early or breaks its line (a quote, a backslash, a
// control character let through raw; a lenient reader accepts some of them, a strict one
// does not), text in UTF-8 mangled, and bytes that are not UTF-8 making the line invalid.
TEST(JsonTextTest, EscapesWhatJsonRequiresAndReplacesBytesThatAreNotUtf8)
{
    struct Case
    {
        std::string text;
        std::string json;
    };
    const std::vector<Case> cases{
        {"", "\"\""},
        {"Tienda D'Angelo", "\"Tienda D'Angelo\""},
        {"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
        {"uno\ndos\r\ttres", "\"uno\\ndos\\r\\ttres\""},
        {std::string("\x01\x1f\x7f", 3) + std::string(1, '\0'), "\"\\u0001\\u001f\\u007f\\u0000\""},
        {"Almacén Ñandú €𝄞", "\"Almacén Ñandú €𝄞\""},
        {"caf\xE9", "\"caf\\ufffd\""},                 // Latin-1, not UTF-8
        {"\xC3", "\"\\ufffd\""},                       // cut short at the end
        {"\xC3(", "\"\\ufffd(\""},                     // cut short before another character
        {"\x80\xBF", "\"\\ufffd\\ufffd\""},            // stray continuation bytes
        {"\xC0\xAF", "\"\\ufffd\\ufffd\""},            // overlong "/"
        {"\xE0\x80\xAF", "\"\\ufffd\\ufffd\\ufffd\""}, // overlong, three bytes
        {"\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""}, // a surrogate
        {"\xF4\x90\x80\x80", "\"\\ufffd\\ufffd\\ufffd\\ufffd\""}, // beyond U+10FFFF
        {"\xF5x", "\"\\ufffdx\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(jsonString(c.text), c.json);
    }
}

} // namespace
} // namespace kalmora::cli

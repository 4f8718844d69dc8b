// SPDX-License-Identifier: Apache-2.0
// The registry export read into keys and values: which keys exist, and which values a key
// ends up with when the file names a value more than once, deletes it, or comes back to a
// key in a later section.
#include "platform/registry_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using kalmora::platform::hasKey;
using kalmora::platform::parseRegistryExport;
using kalmora::platform::RegistryExport;
using testing::ElementsAreArray;

constexpr const char *kV5 = "Windows Registry Editor Version 5.00\r\n\r\n";

RegistryExport parsed(const std::string &body)
{
    const auto result = parseRegistryExport(kV5 + body);
    EXPECT_TRUE(result);
    return result.value_or(RegistryExport{});
}

/// The values of `key` as "name=data" (data as text without its NUL), in the key's order.
std::vector<std::string> valuesOf(const RegistryExport &registry, const std::string &key)
{
    std::vector<std::string> shown;
    const auto found = registry.values.find(key);
    if (found == registry.values.end())
        return shown;
    for (const auto &value : found->second) {
        std::string data(value.data.begin(), value.data.end());
        if (!data.empty() && data.back() == '\0')
            data.pop_back();
        shown.push_back(value.name + "=" + data);
    }
    return shown;
}

// Guards: a later value of a name replaces the earlier one and goes last, a deletion entry
// removes it, names compare without case, and a key's sections add up; a wrong index of
// names would keep two values of one name or lose the wrong one.
TEST(RegistryExport, LaterValuesReplaceEarlierOnes)
{
    const struct
    {
        const char *what;
        std::string body;
        std::vector<std::string> values;
    } cases[] = {
        {"replaced value goes last",
         "[HKEY_LOCAL_MACHINE\\K]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n"
         "\"c\"=\"3\"\r\n\"a\"=\"4\"\r\n",
         {"b=2", "c=3", "a=4"}},
        {"names without case",
         "[HKEY_LOCAL_MACHINE\\K]\r\n\"Dir\"=\"1\"\r\n\"x\"=\"2\"\r\n"
         "\"DIR\"=\"3\"\r\n",
         {"x=2", "DIR=3"}},
        {"deletion removes, a new value comes back last",
         "[HKEY_LOCAL_MACHINE\\K]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\"a\"=-\r\n\"c\"=\"3\"\r\n"
         "\"a\"=\"5\"\r\n\"c\"=-\r\n",
         {"b=2", "a=5"}},
        {"deleting what is not there",
         "[HKEY_LOCAL_MACHINE\\K]\r\n\"a\"=-\r\n\"b\"=\"2\"\r\n",
         {"b=2"}},
        {"default value replaced",
         "[HKEY_LOCAL_MACHINE\\K]\r\n@=\"1\"\r\n\"a\"=\"2\"\r\n@=\"3\"\r\n",
         {"a=2", "=3"}},
        {"a key's sections add up",
         "[HKEY_LOCAL_MACHINE\\K]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n[HKEY_LOCAL_MACHINE\\Other]\r\n"
         "\"a\"=\"9\"\r\n[hkey_local_machine\\k]\r\n\"A\"=\"3\"\r\n\"c\"=\"4\"\r\n",
         {"b=2", "A=3", "c=4"}},
        {"malformed data replaces too",
         "[HKEY_LOCAL_MACHINE\\K]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\"a\"=dword:xyz\r\n",
         {"b=2", "a="}},
        {"many values, every other one replaced",
         [] {
             std::string body = "[HKEY_LOCAL_MACHINE\\K]\r\n";
             for (int i = 0; i < 2000; ++i)
                 body += "\"v" + std::to_string(i) + "\"=\"old\"\r\n";
             for (int i = 1; i < 2000; i += 2)
                 body += "\"v" + std::to_string(i) + "\"=\"new\"\r\n";
             return body;
         }(),
         [] {
             std::vector<std::string> values;
             for (int i = 0; i < 2000; i += 2)
                 values.push_back("v" + std::to_string(i) + "=old");
             for (int i = 1; i < 2000; i += 2)
                 values.push_back("v" + std::to_string(i) + "=new");
             return values;
         }()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THAT(valuesOf(parsed(c.body), "k"), ElementsAreArray(c.values));
    }
}

// Guards: a key exists when a section names it or a key below it, never because its name is
// the start of another key's name; sections of other roots, deletions and malformed paths
// make no keys.
TEST(RegistryExport, KeysAndTheirAncestorsExist)
{
    std::string deep = "[HKEY_LOCAL_MACHINE";
    std::string deepAncestor;
    for (int level = 0; level < 3000; ++level) {
        deep += "\\L" + std::to_string(level);
        if (level == 1499)
            deepAncestor = deep.substr(std::string("[HKEY_LOCAL_MACHINE\\").size());
    }
    const RegistryExport registry = parsed("[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n"
                                           "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                           "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\r\n"
                                           "[HKEY_LOCAL_MACHINE\\Bad\\\\Path]\r\n"
                                           "[HKEY_LOCAL_MACHINE\\Trailing\\]\r\n"
                                           "[HKEY_LOCAL_MACHINE\\a]\r\n" +
                                           deep + "]\r\n");
    deepAncestor = kalmora::platform::foldRegistryName(deepAncestor);

    const struct
    {
        std::string path;
        bool exists;
    } cases[] = {
        {"", true},
        {"software", true},
        {"software\\qzt", true},
        {"software\\qzt\\kalmora2018", true},
        {"software\\qz", false},
        {"software\\qzt\\kalmora2018\\sub", false},
        {"software\\qzt\\kalmora", false},
        {"software\\other", false},
        {"software\\gone", false},
        {"bad", false},
        {"trailing", false},
        {"a", true},
        {"l0", true},
        {deepAncestor, true},
        {deepAncestor + "x", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.substr(0, 40));
        EXPECT_EQ(hasKey(registry, c.path), c.exists);
    }
}

} // namespace

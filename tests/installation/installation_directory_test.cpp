// SPDX-License-Identifier: Apache-2.0
// The installation directory read from the registry file: every way the value can be there
// or not, and what the user then sees (a message, an error, or the directory).
#include "platform/registry.h"
#include "platform/scoped_env.h"
#include "platform/scratch_dir.h"
#include "installation/installation_directory.h"

#include <clocale>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using kalmora::ERegistryException;
using kalmora::installation::diraplicacion;
using kalmora::test::ScopedEnv;
using kalmora::test::ScratchDir;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr const char *kMissingKeyMessage =
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018\\Directorio";
constexpr const char *kV5 = "Windows Registry Editor Version 5.00\r\n\r\n";
constexpr const char *kKey = "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n";

class RecordingMessages : public kalmora::core::MessageSink
{
public:
    void showMessage(const std::string &text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

/// UTF-16LE code units as an export writes them in hex: "43,00,3a,00".
std::string utf16Hex(std::u16string_view text)
{
    std::string hex;
    char byte[8];
    for (char16_t unit : text) {
        std::snprintf(byte, sizeof byte, "%s%02x,%02x", hex.empty() ? "" : ",", unit & 0xff,
                      unit >> 8);
        hex += byte;
    }
    return hex;
}

class InstallationDirectory : public testing::Test
{
protected:
    /// Makes `content` the machine's registry file.
    void registry(const std::string &content) { scratch.write("hklm.reg", content); }

    ScratchDir scratch;
    ScopedEnv file{"KALMORA_HKLM", scratch.path() + "/hklm.reg"};
    RecordingMessages messages;
};

// Guards: a key that does not open must show the message once and give an empty directory,
// whatever the reason (no file, wrong header, key absent, other root, deleted key).
TEST_F(InstallationDirectory, KeyThatDoesNotOpenShowsTheMessage)
{
    const struct
    {
        const char *what;
        std::optional<std::string> file;
    } cases[] = {
        {"no registry file", std::nullopt},
        {"file without a known header",
         std::string("REGEDIT5\r\n") + kKey + "\"Directorio\"=\"x\"\r\n"},
        {"only another key", std::string(kV5) +
                                 "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2017]\r\n"
                                 "\"Directorio\"=\"x\"\r\n"},
        {"key under another root", std::string(kV5) +
                                       "[HKEY_CURRENT_USER\\Software\\QZT\\Kalmora2018]\r\n"
                                       "\"Directorio\"=\"x\"\r\n"},
        {"deletion of the key",
         std::string(kV5) + "[-HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n"},
        {"empty file", std::string()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.file)
            registry(*c.file);
        else
            std::remove((scratch.path() + "/hklm.reg").c_str());
        messages.shown.clear();
        EXPECT_EQ(diraplicacion(messages), "");
        EXPECT_THAT(messages.shown, ElementsAre(kMissingKeyMessage));
    }
}

// Guards: the directory is the value's data up to its first NUL, taken as stored (no
// expansion), from plain and expandable strings in both export generations, with names
// compared without case; an absent or empty value is an empty directory without a message.
TEST_F(InstallationDirectory, StringValuesGiveTheDirectory)
{
    const struct
    {
        const char *what;
        std::string body; // below the header
        std::string expected;
    } cases[] = {
        {"plain string with escapes",
         std::string(kKey) + R"("Directorio"="C:\\Kalmora \"2018\"\\")", R"(C:\Kalmora "2018"\)"},
        {"hand-written single backslashes", std::string(kKey) + R"("Directorio"="C:\Kalmora")",
         R"(C:\Kalmora)"},
        {"value absent", std::string(kKey) + R"("Otro"="C:\\x")", ""},
        {"empty plain string", std::string(kKey) + R"("Directorio"="")", ""},
        {"empty binary data", std::string(kKey) + R"("Directorio"=hex:)", ""},
        {"key and value names in other case",
         "[hkey_local_machine\\SOFTWARE\\qzt\\KALMORA2018]\r\n\"DIRECTORIO\"=\"/srv/k\"", "/srv/k"},
        {"key made by a subkey's section",
         "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018\\Sub]\r\n\"Directorio\"=\"x\"", ""},
        {"expandable string kept unexpanded, over continued lines",
         std::string(kKey) + "\"Directorio\"=hex(2):" + utf16Hex(u"%ProgramFiles%") + ",\\\r\n  " +
             utf16Hex(u"\\K") + ",00,00",
         "%ProgramFiles%\\K"},
        {"plain string given in hex",
         std::string(kKey) + "\"Directorio\"=hex(1):" + utf16Hex(u"D:\\k") + ",00,00", "D:\\k"},
        {"NUL inside the data",
         std::string(kKey) + "\"Directorio\"=hex(2):" + utf16Hex(std::u16string(u"C:\\a\0b", 6)),
         "C:\\a"},
        {"later value replaces earlier",
         std::string(kKey) + "\"Directorio\"=dword:1\r\n\"Directorio\"=\"/opt/k\"", "/opt/k"},
        {"comments and other keys around",
         "; exported\r\n[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n\"Directorio\"=\"no\"\r\n" +
             std::string(kKey) + "; a comment\r\n\"Directorio\"=\"/srv/kalmora\"\r\n",
         "/srv/kalmora"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        registry(kV5 + c.body + "\r\n");
        messages.shown.clear();
        EXPECT_EQ(diraplicacion(messages), c.expected);
        EXPECT_THAT(messages.shown, IsEmpty());
    }
}

// Guards: a REGEDIT4 file holds hex strings as 8-bit bytes, not UTF-16; a file saved by the
// registry editor itself is UTF-16LE with a byte order mark.
TEST_F(InstallationDirectory, BothExportGenerationsAndEncodings)
{
    registry("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\n"
             "\"Directorio\"=hex(2):2f,73,72,76,00\n");
    EXPECT_EQ(diraplicacion(messages), "/srv");

    const std::u16string utf16 = u"\xfeffWindows Registry Editor Version 5.00\r\n\r\n"
                                 u"[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n"
                                 u"\"Directorio\"=\"/datos/k\"\r\n";
    std::string bytes;
    for (char16_t unit : utf16) {
        bytes += static_cast<char>(unit & 0xff);
        bytes += static_cast<char>(unit >> 8);
    }
    registry(bytes);
    EXPECT_EQ(diraplicacion(messages), "/datos/k");
    EXPECT_THAT(messages.shown, IsEmpty());
}

// Guards: UTF-16 data comes out in the program's 8-bit charset, not as UTF-16 bytes.
TEST_F(InstallationDirectory, Utf16DataComesOutInTheLocaleCharset)
{
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr)
        GTEST_SKIP() << "no UTF-8 locale";
    registry(kV5 + std::string(kKey) + "\"Directorio\"=hex(2):" + utf16Hex(u"/a\u00f1o") +
             ",00,00\r\n");
    const std::string directory = diraplicacion(messages);
    std::setlocale(LC_CTYPE, previous.c_str());
    EXPECT_EQ(directory, "/a\xc3\xb1o");
}

// Guards: a value that is there but unusable must end the reading with the exact failure
// text: unreadable data before the type is looked at, then anything but a string.
TEST_F(InstallationDirectory, UnusableValuesRaiseTheRegistryFailure)
{
    const struct
    {
        const char *what;
        std::string value;
        const char *failure;
    } cases[] = {
        {"dword", "dword:0000001a", "Invalid data type for 'Directorio'"},
        {"binary", "hex:2f,73", "Invalid data type for 'Directorio'"},
        {"multi-string", "hex(7):" + utf16Hex(u"a") + ",00,00,00,00",
         "Invalid data type for 'Directorio'"},
        {"malformed hex", "hex(2):2f,00,zz,00", "Failed to get data for 'Directorio'"},
        {"malformed dword", "dword:12345678x", "Failed to get data for 'Directorio'"},
        {"unterminated string", "\"C:\\\\Kalmora", "Failed to get data for 'Directorio'"},
        {"unknown data form", "str:abc", "Failed to get data for 'Directorio'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        registry(kV5 + std::string(kKey) + "\"Directorio\"=" + c.value + "\r\n");
        try {
            diraplicacion(messages);
            ADD_FAILURE() << "no failure raised";
        } catch (const ERegistryException &e) {
            EXPECT_EQ(e.message(), c.failure);
        }
        EXPECT_THAT(messages.shown, IsEmpty());
    }
}

// Guards: the registry is read-only (asking to write does not open the key), and a data
// buffer smaller than the value fails rather than cutting it.
TEST_F(InstallationDirectory, RegistryKeyIsReadOnlyAndChecksTheBuffer)
{
    using namespace kalmora::platform;
    registry(kV5 + std::string(kKey) + "\"Directorio\"=\"/srv\"\r\n");
    EXPECT_FALSE(
        RegistryKey::openLocalMachine("Software\\QZT\\Kalmora2018", KEY_READ | KEY_SET_VALUE));
    EXPECT_FALSE(RegistryKey::openLocalMachine("\\Software\\QZT\\Kalmora2018", KEY_READ));
    const auto key = RegistryKey::openLocalMachine("Software\\QZT\\Kalmora2018", KEY_READ);
    ASSERT_TRUE(key);
    const auto info = key->queryValue("Directorio");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->type, REG_SZ);
    EXPECT_EQ(info->size, 5u);
    EXPECT_FALSE(key->readValue("Directorio", 4));
    const auto data = key->readValue("Directorio", 5);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->bytes.begin(), data->bytes.end()), std::string("/srv\0", 5));
    EXPECT_TRUE(RegistryKey::openLocalMachine("software\\qzt", KEY_READ));
    EXPECT_TRUE(RegistryKey::openLocalMachine("", KEY_READ));
}

} // namespace

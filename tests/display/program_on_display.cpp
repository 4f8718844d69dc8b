// SPDX-License-Identifier: Apache-2.0
#include "display/program_on_display.h"

#include "support/run_program.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace kalmora::test {

namespace {

std::string scratchFolder()
{
    std::string folder = "/tmp/kalmora-display.XXXXXX";
    if (!::mkdtemp(folder.data()))
        throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
    return folder;
}

/// A string of a registry export: backslashes and quotes escaped with a backslash.
std::string regString(const std::string &text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

} // namespace

const std::string &spanishLocales()
{
    static const std::string folder = [] {
        const std::string path = scratchFolder();
        for (const char *name : {"es_CO", "es_ES"}) {
            // -c: the sources' harmless warnings do not stop the compilation.
            runProgram(
                {"localedef", "-c", "-i", name, "-f", "UTF-8", path + "/" + name + ".UTF-8"});
            if (!std::filesystem::exists(path + "/" + name + ".UTF-8/LC_NUMERIC"))
                throw std::runtime_error(std::string("localedef could not compile ") + name);
        }
        return path;
    }();
    return folder;
}

ProgramOnDisplay::ProgramOnDisplay(const std::string &display, const std::string &serverEntry,
                                   const std::string &locale)
    : folder_(scratchFolder())
{
    std::filesystem::create_directory(folder_ + "/install");
    std::ofstream(folder_ + "/hklm.reg", std::ios::binary)
        << "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n"
           "\"Directorio\"=\""
        << regString(folder_ + "/install") << "\"\r\n";
    std::ofstream(folder_ + "/install/SERVIDORES.cfg", std::ios::binary) << serverEntry << "\r\n";

    // The environment of a user's session: the display, the locale, the registry stand-in.
    std::vector<std::string> environment = environmentWithout(
        {"DISPLAY", "QT_QPA_PLATFORM", "KALMORA_HKLM", "LANG", "LANGUAGE", "LC_ALL", "LC_CTYPE",
         "LC_NUMERIC", "LC_TIME", "LC_COLLATE", "LC_MONETARY", "LC_MESSAGES", "LOCPATH"});
    environment.push_back("DISPLAY=" + display);
    environment.push_back("KALMORA_HKLM=" + folder_ + "/hklm.reg");
    environment.push_back("LANG=" + locale);
    environment.push_back("LC_ALL=" + locale);
    if (locale.rfind("es_", 0) == 0)
        environment.push_back("LOCPATH=" + spanishLocales());
    pid_ = startTiedProcess({KALMORA_PROGRAM}, environment, folder_ + "/stderr.txt");
}

ProgramOnDisplay::~ProgramOnDisplay()
{
    if (running()) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void ProgramOnDisplay::sendSignal(int signal)
{
    if (running())
        ::kill(pid_, signal);
}

bool ProgramOnDisplay::running()
{
    if (status_ || pid_ <= 0)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_)
        return true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

std::optional<int> ProgramOnDisplay::waitExit(std::chrono::milliseconds timeout)
{
    waitUntil([this] { return !running(); }, timeout);
    if (running() || !status_ || *status_ < 0)
        return std::nullopt;
    return status_;
}

std::string ProgramOnDisplay::errors() const
{
    std::ifstream in(folder_ + "/stderr.txt");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace kalmora::test

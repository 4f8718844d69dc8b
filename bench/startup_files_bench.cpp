// SPDX-License-Identifier: Apache-2.0
// The two files read at start-up, 10 MB each, against reading the same bytes with one plain
// std::ifstream read and splitting them into lines, in the same iteration:
//   - the registry export, as the installation directory is looked up in it: one key with
//     many string values, and one with many expandable strings in hex continued over lines
//     as the registry editor writes them;
//   - the server list.
// Target: each file read in well under a second (limit 0.5 s); the ratio to the plain read
// is reported beside it.
#include "installation/installation_directory.h"
#include "installation/server_file.h"
#include "paired_timing.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kFileBytes = 10u << 20;

class IgnoredMessages : public kalmora::core::MessageSink
{
public:
    void showMessage(const std::string &) override {}
};

/// The scratch folder with the three files: made once, removed at exit.
class Scratch
{
public:
    Scratch()
    {
        char pattern[] = "/tmp/kalmora-startup-bench.XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("cannot create a temporary folder");
        folder_ = pattern;
        write("strings.reg", registryOfStrings());
        write("hex.reg", registryOfHex());
        write("SERVIDORES.cfg", serverList());
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string path(const std::string &name) const { return folder_ + "/" + name; }
    const std::string &folder() const { return folder_; }

private:
    void write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    static std::string header()
    {
        return "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n";
    }

    std::string registryOfStrings() const
    {
        std::string text = header();
        for (int i = 0; text.size() < kFileBytes; ++i)
            text += "\"Valor" + std::to_string(i) + "\"=\"C:\\\\Kalmora\\\\datos\\\\" +
                    std::to_string(i) + "\"\r\n";
        return text + "\"Directorio\"=\"" + folder_ + "\"\r\n";
    }

    std::string registryOfHex() const
    {
        // 25 UTF-16 characters a line, the way the editor breaks its lines.
        std::string line;
        for (int c = 0; c < 25; ++c)
            line += "4b,00,";
        std::string text = header();
        for (int i = 0; text.size() < kFileBytes; ++i) {
            text += "\"Ruta" + std::to_string(i) + "\"=hex(2):";
            for (int l = 0; l < 4; ++l)
                text += line + "\\\r\n  ";
            text += "00,00\r\n";
        }
        return text + "\"Directorio\"=\"" + folder_ + "\"\r\n";
    }

    static std::string serverList()
    {
        std::string text;
        for (int i = 0; text.size() < kFileBytes; ++i)
            text += "db" + std::to_string(i) + "/3051:/srv/kalmora\r\n";
        return text;
    }

    std::string folder_;
};

const Scratch *g_scratch = nullptr;

/// The reference: the file's bytes in one read, then split into lines.
std::size_t plainReadAndSplit(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string::npos;
         start = end + 1, end = bytes.find('\n', start))
        lines.emplace_back(bytes, start, end - start);
    return lines.size();
}

/// Times `read` against the plain read of `file`, paired in each iteration.
template <class Read>
void compareWithPlainRead(benchmark::State &state, const std::string &file, Read read)
{
    kalmora::bench::PairedTiming timing;
    for (auto _ : state) {
        timing.measure(state,
                       {{},
                        [&] {
                            if (!read())
                                state.SkipWithError("the file did not read as written");
                        }},
                       {{}, [&] { benchmark::DoNotOptimize(plainReadAndSplit(file)); }});
    }
    timing.report(state);
}

bool directoryFrom(const std::string &registryFile)
{
    ::setenv("KALMORA_HKLM", registryFile.c_str(), 1);
    IgnoredMessages messages;
    return kalmora::installation::diraplicacion(messages) == g_scratch->folder();
}

void BM_RegistryManyStrings(benchmark::State &state)
{
    const std::string file = g_scratch->path("strings.reg");
    compareWithPlainRead(state, file, [&] { return directoryFrom(file); });
}

void BM_RegistryHexOverLines(benchmark::State &state)
{
    const std::string file = g_scratch->path("hex.reg");
    compareWithPlainRead(state, file, [&] { return directoryFrom(file); });
}

void BM_ServerList(benchmark::State &state)
{
    compareWithPlainRead(state, g_scratch->path("SERVIDORES.cfg"), [] {
        const auto servers = kalmora::installation::readServerList(g_scratch->folder());
        return !servers.empty() && servers.back().starts_with("db");
    });
}

BENCHMARK(BM_RegistryManyStrings)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(5);
BENCHMARK(BM_RegistryHexOverLines)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(5);
BENCHMARK(BM_ServerList)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    const Scratch scratch;
    g_scratch = &scratch;
    // The program reads each file once at start-up: the limit is on its time (`ours_ms`).
    return kalmora::bench::runBenchmarks(
        argc, argv,
        {{"BM_RegistryManyStrings", "milliseconds for 10 MB", 500, "ours_ms"},
         {"BM_RegistryHexOverLines", "milliseconds for 10 MB", 500, "ours_ms"},
         {"BM_ServerList", "milliseconds for 10 MB", 500, "ours_ms"}});
}

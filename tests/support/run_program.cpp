// SPDX-License-Identifier: Apache-2.0
#include "support/run_program.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace kalmora::test {
namespace {

// A temporary file that is removed again when the run is over.
class TempFile
{
public:
    TempFile()
    {
        const char *tmp = std::getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalmora-run.XXXXXX";
        const int fd = ::mkstemp(path_.data());
        if (fd < 0)
            throw std::runtime_error("mkstemp: " + std::string(std::strerror(errno)));
        ::close(fd);
    }
    ~TempFile() { ::unlink(path_.c_str()); }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    const std::string &path() const { return path_; }
    std::string read() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void write(const std::string &bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }

private:
    std::string path_;
};

// posix_spawn file actions, destroyed on every path.
class FileActions
{
public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions &) = delete;
    FileActions &operator=(const FileActions &) = delete;

    void open(int fd, const std::string &path, int flags)
    {
        ::posix_spawn_file_actions_addopen(&actions_, fd, path.c_str(), flags, 0600);
    }
    posix_spawn_file_actions_t *get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

} // namespace

ProgramResult runProgram(const std::vector<std::string> &argv, const std::string &input)
{
    if (argv.empty())
        throw std::invalid_argument("runProgram: no program");
    TempFile in, out, err;
    in.write(input);
    FileActions actions;
    actions.open(STDIN_FILENO, in.path(), O_RDONLY);
    actions.open(STDOUT_FILENO, out.path(), O_WRONLY | O_TRUNC);
    actions.open(STDERR_FILENO, err.path(), O_WRONLY | O_TRUNC);

    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    if (const int rc = ::posix_spawnp(&pid, args[0], actions.get(), nullptr, args.data(), environ))
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            throw std::runtime_error("waitpid: " + std::string(std::strerror(errno)));
    }
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = out.read();
    result.err = err.read();
    return result;
}

} // namespace kalmora::test

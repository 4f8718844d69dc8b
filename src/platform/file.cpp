// SPDX-License-Identifier: Apache-2.0
#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kalmora::platform {

std::string localPath(std::string_view windowsPath)
{
    std::string path(windowsPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::optional<File> File::openExclusiveForReading(std::string_view windowsPath)
{
    const std::string path = localPath(windowsPath);
    // Non-blocking so that opening a FIFO cannot hang; it is refused below anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    File file(fd);
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // Another opener holding the lock means the file is in use: not opened, no waiting.
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0)
        return std::nullopt;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return file;
}

File::File(File &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

File &File::operator=(File &&other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

File::~File()
{
    close();
}

void File::close() noexcept
{
    // Closing the last descriptor of the open file releases its lock as well.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::int64_t File::seek(std::int64_t offset, Origin origin)
{
    if (fd_ < 0)
        return -1;
    const int whence = origin == Origin::Begin ? SEEK_SET
                       : origin == Origin::End ? SEEK_END
                                               : SEEK_CUR;
    const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

std::size_t File::read(void *buffer, std::size_t count)
{
    if (fd_ < 0)
        return 0;
    ssize_t got;
    do {
        got = ::read(fd_, buffer, count);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? 0 : static_cast<std::size_t>(got);
}

} // namespace kalmora::platform

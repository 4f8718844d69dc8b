// SPDX-License-Identifier: Apache-2.0
#pragma once
// The platform's file access for the one file the program reads (the server list): open an
// existing file for reading while denying every kind of sharing, seek, read, close.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalmora::platform {

/// A path as the program writes it (Windows style) made into a local one: every backslash
/// becomes a slash. Nothing else changes: an empty directory followed by "\name" is "/name",
/// and a doubled separator stays doubled, which the system accepts.
std::string localPath(std::string_view windowsPath);

/// One file open for reading only, held exclusively until destroyed. Exclusivity is an
/// advisory lock that every opener through this class takes without waiting.
class File
{
public:
    enum class Origin { Begin, Current, End };

    /// Opens the existing regular file at `windowsPath` (translated by localPath) for reading,
    /// denying sharing while it stays open. nullopt when it does not open: missing, no read
    /// access, not a regular file, or held by another opener.
    static std::optional<File> openExclusiveForReading(std::string_view windowsPath);

    File(File &&other) noexcept;
    File &operator=(File &&other) noexcept;
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    ~File();

    /// Moves the position by `offset` from `origin`; the new position from the start, or -1
    /// when the move fails (the position is then unchanged).
    std::int64_t seek(std::int64_t offset, Origin origin);

    /// Reads up to `count` bytes into `buffer`; how many were read, 0 at the end of the file
    /// or when reading fails.
    std::size_t read(void *buffer, std::size_t count);

private:
    explicit File(int descriptor) : fd_(descriptor) {}
    void close() noexcept;

    int fd_ = -1;
};

} // namespace kalmora::platform

// SPDX-License-Identifier: Apache-2.0
#pragma once
// A throwaway database for one test, in a temporary folder, made and inspected through the
// Firebird client directly (embedded engine) so that checks do not go through the driver
// under test. Attachments of one process share the embedded engine, so the test may keep
// its own connection open while this one looks.

#include <optional>
#include <string>
#include <vector>

namespace kalmora::test {

/// The first column of the first row of `select` cast to text by the server, read on a
/// fresh attachment to the database at `path` (so only committed work shows); nullopt for
/// null or no row.
std::optional<std::string> committedText(const std::string &path, const std::string &select);

class ScratchDatabase
{
public:
    /// Creates folder/kalmora.fdb and runs each of `statements` (DDL, DML), each committed.
    explicit ScratchDatabase(const std::vector<std::string> &statements = {});
    /// Removes the folder.
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    const std::string &path() const { return path_; }
    const std::string &folder() const { return folder_; }

    /// Runs statements on a fresh attachment and commits.
    void execute(const std::vector<std::string> &statements) const;
    /// The first column of the first row of `select` cast to text by the server, read on a
    /// fresh attachment (so only committed work shows); nullopt for null or no row.
    std::optional<std::string> text(const std::string &select) const;
    /// The number of attachments to this database other than the one asking.
    int otherAttachments() const;

private:
    std::string folder_;
    std::string path_;
};

} // namespace kalmora::test

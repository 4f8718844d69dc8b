// SPDX-License-Identifier: Apache-2.0
#pragma once
// A scratch database for one benchmark program: made with isql-fb (embedded engine) from a
// script that follows its CREATE DATABASE, set to asynchronous writes so that commits time
// the engine and not the disk of a shared machine, and removed with its folder at exit.

#include <string>

namespace kalmora::bench {

class ScratchDatabase
{
public:
    /// `script` runs after the database is created, inside isql-fb.
    explicit ScratchDatabase(const std::string &script);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    const std::string &path() const { return path_; }
    static constexpr const char *user = "SYSDBA";
    static constexpr const char *password = "masterkey";

private:
    std::string folder_;
    std::string path_;
};

} // namespace kalmora::bench

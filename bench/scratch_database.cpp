// SPDX-License-Identifier: Apache-2.0
#include "scratch_database.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace kalmora::bench {

ScratchDatabase::ScratchDatabase(const std::string &script)
{
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalmora-bench.XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    folder_ = pattern;
    path_ = folder_ + "/bench.fdb";
    const std::string file = folder_ + "/make.sql";
    std::ofstream(file) << "create database '" << path_ << "' user '" << user
                        << "' default character set UTF8;\n"
                        << script << "\ncommit;\n";
    const std::string log = folder_ + "/make.log";
    const std::string command = "isql-fb -q -i " + file + " > " + log +
                                " 2>&1 && gfix -write async " + path_ + " >> " + log + " 2>&1";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("isql-fb could not make the scratch database; see " + log);
}

ScratchDatabase::~ScratchDatabase()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

} // namespace kalmora::bench

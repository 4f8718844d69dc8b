// SPDX-License-Identifier: Apache-2.0
#include "platform/scratch_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kalmora::test {

ScratchDir::ScratchDir()
{
    std::string name = (std::filesystem::temp_directory_path() / "kalmora-test.XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("cannot create a scratch folder");
    path_ = name;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::write(std::string_view name, std::string_view bytes) const
{
    const std::string file = path_ + "/" + std::string(name);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file);
    return file;
}

} // namespace kalmora::test

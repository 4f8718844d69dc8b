// SPDX-License-Identifier: Apache-2.0
#pragma once
// A temporary folder for one test, removed with everything in it when the test ends.

#include <string>
#include <string_view>

namespace kalmora::test {

class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &path() const { return path_; }
    /// Writes `bytes` to the file `name` in the folder; its full path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::string path_;
};

} // namespace kalmora::test

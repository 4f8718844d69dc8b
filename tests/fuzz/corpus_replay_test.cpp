// SPDX-License-Identifier: Apache-2.0
// Every input kept in a fuzz target's corpus, run through the target's checks: an input
// that once broke a reader, or that reaches a corner of it, keeps doing no harm.
#include "fuzz_check.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Guards: a reader that crashes or breaks one of its promises on an input of the corpus ends
// this test.
TEST(FuzzCorpus, EveryInputPassesTheChecks)
{
    const char *source = std::getenv("KALMORA_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::filesystem::path folder =
        std::filesystem::path(source) / "tests/fuzz/corpus" / KALMORA_FUZZ_TARGET;
    std::vector<std::filesystem::path> inputs;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_FALSE(inputs.empty()) << folder;
    for (const auto &path : inputs) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
    }
}

} // namespace

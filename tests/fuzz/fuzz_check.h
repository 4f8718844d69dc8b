// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the fuzz targets share: their inputs as text, and a check that ends the run (so that
// the fuzzer keeps the input) when something the readers promise does not hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace kalmora::fuzz {

inline std::string_view text(const std::uint8_t *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

/// Ends the run with `what` on standard error when `holds` is false.
inline void check(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

/// Takes the first byte of `input` (0 when there is none).
inline unsigned char takeByte(std::string_view &input)
{
    if (input.empty())
        return 0;
    const auto byte = static_cast<unsigned char>(input.front());
    input.remove_prefix(1);
    return byte;
}

/// Takes `input` up to its first NUL (all of it when there is none), and the NUL.
inline std::string_view takePart(std::string_view &input)
{
    const std::size_t end = input.find('\0');
    const std::string_view part = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return part;
}

} // namespace kalmora::fuzz

// SPDX-License-Identifier: Apache-2.0
// Fuzz target: the bytes of a registry export file, as the machine's registry is read from it.
#include "platform/registry_export.h"
#include "fuzz_check.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace kalmora::platform;
using kalmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto registry = parseRegistryExport(kalmora::fuzz::text(data, size));
    if (!registry)
        return 0;
    check(hasKey(*registry, ""), "the root exists");
    for (const auto &[path, values] : registry->values) {
        check(path == foldRegistryName(path), "keys are listed by their folded path");
        for (std::size_t cut = 0; cut <= path.size(); ++cut)
            if (cut == path.size() || path[cut] == '\\')
                check(hasKey(*registry, std::string_view(path).substr(0, cut)),
                      "a key and each of its ancestors exist");
        check(!hasKey(*registry, path + "\\"), "no key has an empty name");

        std::vector<std::string> names;
        for (const RegistryValue &value : values) {
            names.push_back(foldRegistryName(value.name));
            check(!value.readable || value.size == value.data.size(),
                  "a readable value's size is its data's");
        }
        std::sort(names.begin(), names.end());
        check(std::adjacent_find(names.begin(), names.end()) == names.end(),
              "a key holds one value of each name");
    }
    return 0;
}

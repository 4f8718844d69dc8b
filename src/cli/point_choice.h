// SPDX-License-Identifier: Apache-2.0
#pragma once
// The points of sale a headless command names (--point, --point-id), among the rows of
// `CPuntos` that the connect step loaded.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalmora::company {
class DataModule;
}

namespace kalmora::cli {

/// The PTVT_ID of the point named: by `pointId` when given (and then `point`, if given too,
/// must be its name), else the one point whose PTVT_NOM is exactly `point`. Throws
/// UsageError (headless_options.h) for a point that does not exist, a name and id that do
/// not match, and a name that several points share.
std::int64_t chosenPoint(company::DataModule &module, const std::optional<std::string> &point,
                         const std::optional<std::int64_t> &pointId);

/// Every point of the company, by PTVT_ID, with its name.
std::vector<std::pair<std::int64_t, std::string>> allPoints(company::DataModule &module);

} // namespace kalmora::cli

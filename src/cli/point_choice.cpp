// SPDX-License-Identifier: Apache-2.0
#include "cli/point_choice.h"

#include "company/data_module.h"
#include "cli/headless_options.h"

#include <algorithm>

namespace kalmora::cli {

namespace {

std::string quoted(const std::string &name)
{
    return "\"" + name + "\"";
}

} // namespace

std::int64_t chosenPoint(company::DataModule &module, const std::optional<std::string> &point,
                         const std::optional<std::int64_t> &pointId)
{
    data::TClientDataSet &points = module.CPuntos;
    if (pointId) {
        if (!points.locate("PTVT_ID", core::Value{*pointId}))
            throw UsageError("no hay un punto de venta con PTVT_ID " + std::to_string(*pointId));
        const std::string name = module.CPuntosPTVT_NOM->asString();
        if (point && *point != name)
            throw UsageError("el punto de venta " + std::to_string(*pointId) + " se llama " +
                             quoted(name) + ", no " + quoted(*point));
        return *pointId;
    }

    std::vector<std::int64_t> matches;
    std::string known;
    for (points.first(); !points.eof(); points.next()) {
        const std::string name = module.CPuntosPTVT_NOM->asString();
        if (name == *point)
            matches.push_back(module.CPuntosPTVT_ID->asInteger());
        known += (known.empty() ? "" : ", ") + quoted(name) + " (" +
                 module.CPuntosPTVT_ID->asString() + ")";
    }
    if (matches.empty())
        throw UsageError("no hay un punto de venta llamado " + quoted(*point) +
                         "; los puntos de venta son: " + known);
    if (matches.size() > 1) {
        std::string ids;
        for (const std::int64_t id : matches)
            ids += (ids.empty() ? "" : ", ") + std::to_string(id);
        throw UsageError("hay varios puntos de venta llamados " + quoted(*point) + " (PTVT_ID " +
                         ids + "); elija uno con --point-id");
    }
    return matches.front();
}

std::vector<std::pair<std::int64_t, std::string>> allPoints(company::DataModule &module)
{
    std::vector<std::pair<std::int64_t, std::string>> points;
    data::TClientDataSet &list = module.CPuntos;
    for (list.first(); !list.eof(); list.next())
        points.emplace_back(module.CPuntosPTVT_ID->asInteger(), module.CPuntosPTVT_NOM->asString());
    std::sort(points.begin(), points.end());
    return points;
}

} // namespace kalmora::cli

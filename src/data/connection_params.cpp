// SPDX-License-Identifier: Apache-2.0
#include "data/connection_params.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace kalmora::data {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view nameOf(std::string_view line)
{
    return line.substr(0, line.find('='));
}

} // namespace

Params::Params(std::vector<std::string> lines) : lines_(std::move(lines)) {}

std::string Params::value(std::string_view name) const
{
    for (const std::string &line : lines_) {
        if (sameName(nameOf(line), name)) {
            const std::size_t eq = line.find('=');
            return eq == std::string::npos ? std::string() : line.substr(eq + 1);
        }
    }
    return {};
}

bool Params::contains(std::string_view name) const
{
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const std::string &line) { return sameName(nameOf(line), name); });
}

void Params::setValue(std::string_view name, const std::string &text)
{
    auto match = std::find_if(lines_.begin(), lines_.end(), [&](const std::string &line) {
        return sameName(nameOf(line), name);
    });
    if (text.empty()) {
        if (match != lines_.end())
            lines_.erase(match);
        return;
    }
    std::string line = std::string(name) + "=" + text;
    if (match != lines_.end())
        *match = std::move(line);
    else
        lines_.push_back(std::move(line));
}

} // namespace kalmora::data

// SPDX-License-Identifier: Apache-2.0
#pragma once
// The connection's parameter list: lines of "name=value", looked up by name without regard
// to case.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kalmora::data {

class Params
{
public:
    Params() = default;
    explicit Params(std::vector<std::string> lines);

    const std::vector<std::string> &lines() const { return lines_; }
    std::size_t count() const { return lines_.size(); }

    /// The part after the first "=" of the first line whose name (the part before the first
    /// "=") equals `name` without regard to case; empty when no line has that name.
    std::string value(std::string_view name) const;
    bool contains(std::string_view name) const;

    /// Sets a parameter by name. A non-empty `text` replaces the first matching line by
    /// `name` as written here, "=" and `text` (so "password" replaces the line
    /// "Password=..."), or is appended as a new line when no line matches. An empty `text`
    /// deletes the first matching line.
    void setValue(std::string_view name, const std::string &text);

private:
    std::vector<std::string> lines_;
};

} // namespace kalmora::data

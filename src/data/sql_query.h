// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "data/sql_source.h"

namespace kalmora::data {

/// The shared query (`SQLQuery1`): its statement text is whatever a provider last gave it.
class TSQLQuery : public TSQLSource
{
public:
    using TSQLSource::TSQLSource;
    /// The statement text as the source holds it (leading blanks removed).
    const std::string &sql() const { return commandText_; }
    std::string statementText() const override { return commandText_; }
};

} // namespace kalmora::data

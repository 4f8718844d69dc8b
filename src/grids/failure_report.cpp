// SPDX-License-Identifier: Apache-2.0
#include "grids/failure_report.h"

#include <utility>

namespace kalmora::grids {

namespace {

FailureReport &installedReport()
{
    static FailureReport report;
    return report;
}

} // namespace

void setFailureReport(FailureReport report)
{
    installedReport() = std::move(report);
}

void reportFailure(std::exception_ptr failure)
{
    if (const FailureReport &report = installedReport())
        report(failure);
    else
        std::rethrow_exception(failure);
}

} // namespace kalmora::grids

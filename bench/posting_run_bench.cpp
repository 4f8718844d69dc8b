// SPDX-License-Identifier: Apache-2.0
// The posting run as the window runs it (posting/posting_run.h: the point located in
// CPuntos, the lookups in Cborrar, the call in CRepArticulos, the check of the voucher, the
// completion through Scontapend and the message) on a day of 10 000 invoices of one point,
// against the bare posting call and completion of the same day over the plain client API,
// paired in each iteration. Before each side, outside the timing, the invoices are unmarked
// and the old record versions that leaves are collected, so that both post the same day
// from the same state. Limit: 1.05x.

#include "core/date_format.h"
#include "company/data_module.h"
#include "posting/connect_step.h"
#include "posting/posting_run.h"
#include "cli/headless_terminal.h"
#include "demo_company.h"
#include "paired_timing.h"

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using namespace kalmora;

constexpr int kInvoices = 10000;

/// The demo company connected through the connect step, as the window connects it.
struct Company
{
    Company() : demo(kInvoices)
    {
        core::setCurrentDateSettings(core::DateSettings{'-', "yyyy-mm-dd", {}, {}, {}, {}});
        if (!posting::connectStep(module, {demo.folder(), "SYSDBA", "bench", demo.code}, window,
                                  window))
            throw std::runtime_error("the connect step did not run");
        window.choosePoint(1);
    }
    ~Company() { module.Kalmora.setConnected(false); }

    /// One posting run of the day; throws unless it completed a voucher.
    void postingRun()
    {
        messages.str({});
        posting::postingRun(module, window, window, window);
        if (messages.str() != "Comprobante contable correctamente generado.\n")
            throw std::runtime_error("the run did not post: " + messages.str());
    }

    bench::DemoCompany demo;
    company::DataModule module;
    /// The headless command's view: its messages are kept to check each run's outcome.
    std::ostringstream messages;
    cli::TerminalWindow window{messages, messages, false};
};

// Emptied at the end of main(), while the client library is still up.
std::unique_ptr<Company> &benchCompany()
{
    static std::unique_ptr<Company> made;
    if (!made)
        made = std::make_unique<Company>();
    return made;
}

void BM_PostingRunAgainstBareCall(benchmark::State &state)
{
    Company &bench = *benchCompany();
    if (bench.window.day() !=
        *core::parseDate(bench.demo.today(), "yyyy-mm-dd", core::currentDateSettings()))
        state.SkipWithError("the run would post another day than the bare call");
    bench::PairedTiming timing;
    for (auto _ : state) {
        timing.measure(state, {[&] { bench.demo.unmark(); }, [&] { bench.postingRun(); }},
                       {[&] { bench.demo.unmark(); }, [&] { bench.demo.barePosting(); }});
    }
    timing.report(state);
    state.SetItemsProcessed(state.iterations() * bench.demo.cashInvoices());
}

BENCHMARK(BM_PostingRunAgainstBareCall)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(6)
    ->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    const int status = bench::runBenchmarks(
        argc, argv, {{"BM_PostingRunAgainstBareCall", "run over bare call", 1.05}});
    benchCompany().reset();
    return status;
}

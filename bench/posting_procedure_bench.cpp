// SPDX-License-Identifier: Apache-2.0
// The posting of one day of one point of sale as the program sends it through its own
// driver (the posting call read to its end, which commits it, then the completion of the
// voucher) against the same two statements over the plain client API, paired in each
// iteration, on days of 1 000, 10 000 and 100 000 invoices a point. Before each side, outside
// the timing, the invoices are unmarked and the old record versions collected.
//
// Limits: the driver within 1.05x the bare statements; the whole posting of a day at most
// 0.2 s for 10 000 invoices and 2 s for 100 000 (`ours_ms`).

#include "data/sql_connection.h"
#include "data/sql_stored_proc.h"
#include "demo_company.h"
#include "paired_timing.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace kalmora;
using data::TSQLConnection;

/// A demo company of `invoices` invoices a point and the program's connection to it.
struct Company
{
    explicit Company(int invoices) : demo(invoices)
    {
        connection.params().setValue("Database", demo.database());
        connection.params().setValue("User_Name", "SYSDBA");
        connection.params().setValue("Password", "bench");
        complete.params().emplace_back("IDCNT", core::Value{std::int64_t{0}});
    }
    ~Company() { connection.setConnected(false); }

    /// The posting call and the completion, through the program's driver.
    void posting()
    {
        auto cursor = connection.openQuery("select * from contabil_facturas_contado('" +
                                           demo.today() + "', '900000001', 'PPAL', 1, 1)");
        if (!cursor->next())
            throw std::runtime_error("the posting returned no row");
        const std::int64_t voucher = std::get<std::int64_t>(cursor->value(1));
        const std::int64_t errors = std::get<std::int64_t>(cursor->value(2));
        while (cursor->next()) {
        }
        cursor->close();
        if (errors != 0 || voucher == 0)
            throw std::runtime_error("the posting reported errors");
        complete.paramByName("IDCNT").setAsInteger(voucher);
        complete.execProc();
    }

    bench::DemoCompany demo;
    TSQLConnection connection;
    data::TSQLStoredProc complete{"Scontapend", connection, "CONTABILIZA_PENDIENTE"};
};

// Emptied at the end of main(), while the client library is still up.
std::map<int, std::unique_ptr<Company>> &companies()
{
    static std::map<int, std::unique_ptr<Company>> made;
    return made;
}

Company &company(int invoices)
{
    auto &slot = companies()[invoices];
    if (!slot)
        slot = std::make_unique<Company>(invoices);
    return *slot;
}

void BM_PostingAndCompletion(benchmark::State &state)
{
    Company &bench = company(static_cast<int>(state.range(0)));
    bench::PairedTiming timing;
    for (auto _ : state) {
        timing.measure(state, {[&] { bench.demo.unmark(); }, [&] { bench.posting(); }},
                       {[&] { bench.demo.unmark(); }, [&] { bench.demo.barePosting(); }});
    }
    timing.report(state);
    state.SetItemsProcessed(state.iterations() * bench.demo.cashInvoices());
}

BENCHMARK(BM_PostingAndCompletion)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4)
    ->Repetitions(3);

} // namespace

int main(int argc, char **argv)
{
    const int status = bench::runBenchmarks(
        argc, argv,
        {{"BM_PostingAndCompletion/10000", "driver over bare statements", 1.05},
         {"BM_PostingAndCompletion/100000", "driver over bare statements", 1.05},
         {"BM_PostingAndCompletion/10000", "milliseconds", 200, "ours_ms"},
         {"BM_PostingAndCompletion/100000", "milliseconds", 2000, "ours_ms"}});
    companies().clear();
    return status;
}

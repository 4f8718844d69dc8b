// SPDX-License-Identifier: Apache-2.0
// The month's status as "contabiliza-pos status" reads and prints it (posting/month_status.h
// through the connection Kalmora of the data module, then the text report into memory) over
// a demo company of D days of four points of N invoices each, every day but the last posted
// for points 1 to 3; against the same three queries, with the same parameters, typed into a
// plain client-API loop in the same transaction mode (one read-only snapshot), reading every
// value. Paired in each iteration. Limit: 1.1x.
//
// The size is given as arguments: status_bench [--invoices=N] [--days=D] (by default 500
// invoices a point and day over 31 days: a month of 62 000 invoices).

#include "company/data_module.h"
#include "posting/connect_step.h"
#include "posting/month_status.h"
#include "cli/headless_terminal.h"
#include "cli/status_report.h"
#include "demo_company.h"
#include "paired_timing.h"

#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace kalmora;
using namespace Firebird;
using bench::PlainClient;
using bench::PlainMessage;

int g_invoices = 500;
int g_days = 31;

/// The demo company, its days posted, connected through the connect step.
struct Company
{
    Company() : demo(g_invoices, g_days)
    {
        // Every day but the newest, points 1 to 3 (the fourth lacks its accounts), posted and
        // completed, as post --all-points leaves them.
        demo.client().execute(
            "execute block as declare d date; declare p integer; declare pref varchar(4); "
            "declare nit varchar(20); declare inv integer; declare ver char(1); declare idc "
            "integer; declare err integer; begin "
            "for select distinct fact_fecha from facturas where fact_fecha < current_date "
            "into :d do "
            "for select p.ptvt_id, p.pref_pre, coalesce((select first 1 "
            "nullif(trim(a.auto_nitcontado), '') from autorizaciones a where a.pref_pre = "
            "p.pref_pre), '222222222222'), (select max(i.inve_id) from interfaz_ventas i where "
            "i.tido_cod = 31 and i.pref_pre = p.pref_pre) from punto_venta p where p.ptvt_id < 4 "
            "into :p, :pref, :nit, :inv do begin "
            "select ver, idc, error from contabil_facturas_contado(cast(:d as varchar(10)), "
            ":nit, :pref, :p, :inv) into :ver, :idc, :err; "
            "if (idc > 0) then execute procedure contabiliza_pendiente(:idc); end end");
        if (!posting::connectStep(module, {demo.folder(), "SYSDBA", "bench", demo.code}, window,
                                  window))
            throw std::runtime_error("the connect step did not run");
        to = posting::today();
        from = to;
        for (int d = 1; d < g_days; ++d)
            from = previousDay(from);
    }
    ~Company() { module.Kalmora.setConnected(false); }

    static core::Date previousDay(core::Date day)
    {
        if (--day.day > 0)
            return day;
        if (--day.month == 0) {
            day.month = 12;
            --day.year;
        }
        static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (day.year % 4 == 0 && day.year % 100 != 0) || day.year % 400 == 0;
        day.day = lengths[day.month - 1] + (day.month == 2 && leap ? 1 : 0);
        return day;
    }

    /// What the command does once connected: read the month, print its grid into memory.
    std::size_t status()
    {
        const posting::MonthStatus month = posting::readMonthStatus(module.Kalmora, from, to);
        std::ostringstream out;
        cli::printStatusText(month, true, out);
        if (month.entries.size() != std::size_t(g_days) * 4)
            throw std::runtime_error("the status did not read every day and point");
        return out.str().size();
    }

    /// The same queries over the plain client API, in one read-only snapshot transaction,
    /// each value read.
    std::size_t plainStatus()
    {
        PlainClient &client = demo.client();
        ThrowStatusWrapper &status = client.status();
        static const unsigned char readOnlySnapshot[] = {isc_tpb_version3, isc_tpb_concurrency,
                                                         isc_tpb_read, isc_tpb_wait};
        ITransaction *transaction = client.attachment()->startTransaction(
            &status, sizeof readOnlySnapshot, readOnlySnapshot);
        const std::vector<std::string> queries = posting::monthStatusQueries(false);
        std::size_t read = 0;
        for (std::size_t q = 0; q < queries.size(); ++q) {
            IStatement *statement =
                client.attachment()->prepare(&status, transaction, 0, queries[q].c_str(), 3,
                                             IStatement::PREPARE_PREFETCH_METADATA);
            PlainMessage row(status, statement->getOutputMetadata(&status));
            std::unique_ptr<PlainMessage> input;
            if (q > 0) {
                input =
                    std::make_unique<PlainMessage>(status, statement->getInputMetadata(&status));
                input->write(0, client.util()->encodeDate(unsigned(from.year), unsigned(from.month),
                                                          unsigned(from.day)));
                input->write(1, client.util()->encodeDate(unsigned(to.year), unsigned(to.month),
                                                          unsigned(to.day)));
            }
            IResultSet *cursor =
                statement->openCursor(&status, transaction, input ? input->metadata : nullptr,
                                      input ? input->buffer.data() : nullptr, row.metadata, 0);
            while (cursor->fetchNext(&status, row.buffer.data()) == IStatus::RESULT_OK) {
                for (std::size_t c = 0; c < row.offsets.size(); ++c)
                    if (!row.isNull(c))
                        read += row.buffer[row.offsets[c]];
            }
            cursor->close(&status);
            statement->free(&status);
        }
        transaction->rollback(&status);
        return read;
    }

    bench::DemoCompany demo;
    company::DataModule module;
    std::ostringstream messages;
    cli::TerminalWindow window{messages, messages, false};
    core::Date from;
    core::Date to;
};

// Emptied at the end of main(), while the client library is still up.
std::unique_ptr<Company> &benchCompany()
{
    static std::unique_ptr<Company> made;
    if (!made)
        made = std::make_unique<Company>();
    return made;
}

void BM_StatusAgainstPlainQueries(benchmark::State &state)
{
    Company &bench = *benchCompany();
    bench::PairedTiming timing;
    std::size_t sink = 0;
    for (auto _ : state) {
        timing.measure(state, {{}, [&] { sink += bench.status(); }},
                       {{}, [&] { sink += bench.plainStatus(); }});
    }
    benchmark::DoNotOptimize(sink);
    timing.report(state);
    state.SetItemsProcessed(state.iterations() * std::int64_t(g_invoices) * 4 * g_days);
}

BENCHMARK(BM_StatusAgainstPlainQueries)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3)
    ->Repetitions(5);

/// Takes --invoices=N and --days=D out of the arguments.
void readSize(int &argc, char **argv)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--invoices=", 11) == 0)
            g_invoices = std::stoi(argv[i] + 11);
        else if (std::strncmp(argv[i], "--days=", 7) == 0)
            g_days = std::stoi(argv[i] + 7);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (g_invoices < 1 || g_days < 1 || g_days > 366)
        throw std::invalid_argument("--invoices=N (1 or more) --days=D (1 to 366)");
}

} // namespace

int main(int argc, char **argv)
{
    readSize(argc, argv);
    const int status = bench::runBenchmarks(
        argc, argv, {{"BM_StatusAgainstPlainQueries", "status over plain queries", 1.1}});
    benchCompany().reset();
    return status;
}

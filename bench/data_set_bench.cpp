// SPDX-License-Identifier: Apache-2.0
// Data sets against the Firebird client API used plainly, paired in each iteration over a
// scratch database of 100 000 five-column rows (INTEGER, two DATEs, two NUMERIC(15,4)):
//   - opening a data set of the 100 000 rows against a plain fetch of the same rows that
//     reads every value (limit 1.3x), and the heap each row then holds (`bytes_per_row`,
//     limit 64; the raw row is 28 bytes);
//   - a locate of the last row and a filter change, against the same search over the rows
//     held as plain structs;
//   - saving 10 000 inserted rows against a loop of one prepared insert over the client API
//     in one transaction (limit 1.3x).
#include "core/date_format.h"
#include "data/client_data_set.h"
#include "data/sql_connection.h"
#include "data/sql_table.h"
#include "paired_timing.h"
#include "plain_client.h"
#include "scratch_database.h"

#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;

namespace {

constexpr int fetchedRows = 100000;
constexpr int savedRows = 10000;

std::string makeScript()
{
    return "create table BENCH_ROWS (AJCI_ID integer not null, AJCI_FECINI date, "
           "AJCI_FECFIN date, AJCI_PORC numeric(15,4), AJCI_FACTOR numeric(15,4));\n"
           "create table BENCH_SAVE (AJCI_ID integer not null, AJCI_FECINI date, "
           "AJCI_FECFIN date, AJCI_PORC numeric(15,4), AJCI_FACTOR numeric(15,4));\n"
           "commit;\nset term ^;\n"
           "execute block as declare i integer = 1; begin\n"
           "  while (i <= " +
           std::to_string(fetchedRows) +
           ") do begin\n"
           "    insert into BENCH_ROWS values (:i, dateadd(mod(:i, 365) day to date "
           "'2026-01-01'), dateadd(mod(:i, 365) day to date '2026-01-01'), mod(:i, 100), 0.8);\n"
           "    i = i + 1;\n  end\nend^\nset term ;^\n";
}

/// The main window's layout in small: a connection, table sources, providers; and the
/// plain client beside it on the same database.
struct Components : ProviderDirectory
{
    explicit Components(const bench::ScratchDatabase &database)
        : plain(database.path(), bench::ScratchDatabase::user, bench::ScratchDatabase::password)
    {
        connection.params().setValue("Database", database.path());
        connection.params().setValue("User_Name", bench::ScratchDatabase::user);
        connection.params().setValue("Password", bench::ScratchDatabase::password);
        connection.setConnected(true);
    }
    TDataSetProvider *findProvider(std::string_view name) const override
    {
        return name == "PRows" ? &rowsProvider : name == "PSave" ? &saveProvider : nullptr;
    }
    TSQLConnection connection;
    TSQLTable rowsTable{"TRows", connection, "BENCH_ROWS"};
    TSQLTable saveTable{"TSave", connection, "BENCH_SAVE"};
    mutable TDataSetProvider rowsProvider{"PRows", rowsTable};
    mutable TDataSetProvider saveProvider{"PSave", saveTable};
    bench::PlainClient plain;
};

Components *g_components = nullptr;

std::unique_ptr<TClientDataSet> rowsDataSet()
{
    auto dataSet = std::make_unique<TClientDataSet>("CRows", g_components);
    dataSet->setProviderName("PRows");
    return dataSet;
}

/// The heap in use, large blocks that the allocator maps on their own included.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

/// One fetched row as a plain program would hold it.
struct PlainRow
{
    std::int32_t id;
    ISC_DATE from;
    ISC_DATE to;
    std::int64_t rate;
    std::int64_t factor;
};

/// Reads every row of BENCH_ROWS through the client API in a transaction of the driver's
/// mode, each value taken out of the message (a date as its year, month and day); `into`,
/// when given, keeps the rows.
void plainFetch(std::vector<PlainRow> *into = nullptr)
{
    using namespace Firebird;
    bench::PlainClient &client = g_components->plain;
    ThrowStatusWrapper &status = client.status();
    ITransaction *transaction = client.startTransaction();
    IStatement *statement =
        client.attachment()->prepare(&status, transaction, 0, "select * from BENCH_ROWS", 3,
                                     IStatement::PREPARE_PREFETCH_METADATA);
    bench::PlainMessage row(status, statement->getOutputMetadata(&status));
    IResultSet *cursor =
        statement->openCursor(&status, transaction, nullptr, nullptr, row.metadata, 0);
    std::int64_t sum = 0;
    while (cursor->fetchNext(&status, row.buffer.data()) == IStatus::RESULT_OK) {
        const PlainRow plain{row.read<std::int32_t>(0), row.read<ISC_DATE>(1),
                             row.read<ISC_DATE>(2), row.read<std::int64_t>(3),
                             row.read<std::int64_t>(4)};
        for (std::size_t c = 0; c < 5; ++c)
            sum += row.isNull(c);
        for (ISC_DATE day : {plain.from, plain.to}) {
            unsigned y, m, d;
            client.util()->decodeDate(day, &y, &m, &d);
            sum += y + m + d;
        }
        sum += plain.id + plain.rate + plain.factor;
        if (into)
            into->push_back(plain);
    }
    cursor->close(&status);
    statement->free(&status);
    transaction->commit(&status);
    benchmark::DoNotOptimize(sum);
}

void BM_OpenDataSet(benchmark::State &state)
{
    std::unique_ptr<TClientDataSet> dataSet;
    bench::PairedTiming timing;
    double bytesPerRow = 0;
    for (auto _ : state) {
        timing.measure(state,
                       {[&] { dataSet.reset(); },
                        [&] {
                            // A new data set each time: the heap it holds afterwards is all its
                            // own.
                            const std::size_t before = heapInUse();
                            dataSet = rowsDataSet();
                            dataSet->open();
                            bytesPerRow = double(heapInUse() - before) / fetchedRows;
                        }},
                       {{}, [] { plainFetch(); }});
        if (dataSet->recordCount() != fetchedRows)
            state.SkipWithError("wrong row count");
    }
    timing.report(state);
    state.counters["bytes_per_row"] = bytesPerRow;
}

/// The plain rows and the day the filter looks for, for the searches' reference.
struct PlainRows
{
    PlainRows() { plainFetch(&rows); }
    std::vector<PlainRow> rows;
};

void BM_LocateLastRow(benchmark::State &state)
{
    std::unique_ptr<TClientDataSet> dataSet = rowsDataSet();
    dataSet->open();
    const PlainRows plain;
    bench::PairedTiming timing;
    for (auto _ : state) {
        timing.measure(state,
                       {[&] { dataSet->first(); },
                        [&] {
                            if (!dataSet->locate("AJCI_ID", core::Value{std::int64_t{fetchedRows}}))
                                state.SkipWithError("not found");
                        }},
                       {{}, [&] {
                            std::size_t found = 0;
                            while (found < plain.rows.size() && plain.rows[found].id != fetchedRows)
                                ++found;
                            benchmark::DoNotOptimize(found);
                        }});
    }
    timing.report(state);
}

void BM_FilterChange(benchmark::State &state)
{
    core::DateSettings settings;
    settings.shortPattern = "dd/mm/yyyy";
    core::setCurrentDateSettings(settings);
    std::unique_ptr<TClientDataSet> dataSet = rowsDataSet();
    dataSet->setFilter("AJCI_FECINI = '10/12/2026'");
    dataSet->setFiltered(true);
    dataSet->open();
    const PlainRows plain;
    bench::PlainClient &client = g_components->plain;
    bool other = false;
    bench::PairedTiming timing;
    for (auto _ : state) {
        other = !other;
        timing.measure(state,
                       {{},
                        [&] {
                            dataSet->setFilter(other ? "AJCI_FECINI = '10/12/2026'"
                                                     : "AJCI_FECINI = '11/12/2026'");
                            benchmark::DoNotOptimize(dataSet->recordCount());
                        }},
                       {{}, [&] {
                            // The day read from the same text, then the rows that hold it.
                            const Date day = *parseDate(other ? "10/12/2026" : "11/12/2026");
                            const ISC_DATE wanted = client.util()->encodeDate(
                                unsigned(day.year), unsigned(day.month), unsigned(day.day));
                            std::vector<std::size_t> shown;
                            for (std::size_t r = 0; r < plain.rows.size(); ++r)
                                if (plain.rows[r].from == wanted)
                                    shown.push_back(r);
                            benchmark::DoNotOptimize(shown.size());
                        }});
    }
    timing.report(state);
}

/// Deletes the saved rows and reads the table once, so that their old versions are collected
/// now and not inside the next timed save.
void emptySaveTable()
{
    bench::PlainClient &client = g_components->plain;
    client.execute("delete from BENCH_SAVE");
    client.readAll("select count(*) from BENCH_SAVE");
}

/// The inserts a save of the rows below sends, through one statement prepared once, its
/// message as the server describes it, in one transaction of the driver's mode.
void plainInsertLoop()
{
    using namespace Firebird;
    bench::PlainClient &client = g_components->plain;
    ThrowStatusWrapper &status = client.status();
    ITransaction *transaction = client.startTransaction();
    IStatement *statement = client.attachment()->prepare(
        &status, transaction, 0,
        "insert into BENCH_SAVE (AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR) "
        "values (?, ?, ?, ?, ?)",
        3, IStatement::PREPARE_PREFETCH_METADATA);
    bench::PlainMessage input(status, statement->getInputMetadata(&status));
    for (int i = 0; i < savedRows; ++i) {
        input.write<std::int32_t>(0, 0);
        input.write<ISC_DATE>(1, client.util()->encodeDate(2026, 12, 10));
        input.write<ISC_DATE>(2, client.util()->encodeDate(2026, 12, 10));
        input.write<std::int64_t>(3, 190000);
        input.write<std::int64_t>(4, 8000);
        statement->execute(&status, transaction, input.metadata, input.buffer.data(), nullptr,
                           nullptr);
    }
    statement->free(&status);
    transaction->commit(&status);
}

void BM_SaveInsertedRows(benchmark::State &state)
{
    TClientDataSet dataSet("CSave", g_components);
    dataSet.setProviderName("PSave");
    const auto appendRows = [&] {
        emptySaveTable();
        dataSet.close();
        dataSet.open();
        for (int i = 0; i < savedRows; ++i) {
            dataSet.append();
            dataSet.fields(0).setAsInteger(0);
            dataSet.fields(1).setAsDate(Date{2026, 12, 10});
            dataSet.fields(2).setAsDate(Date{2026, 12, 10});
            dataSet.fields(3).setAsCurrency(Decimal{19, 0});
            dataSet.fields(4).setAsCurrency(Decimal{8, 1});
            dataSet.post();
        }
    };
    bench::PairedTiming timing;
    for (auto _ : state) {
        timing.measure(state,
                       {appendRows,
                        [&] {
                            if (dataSet.applyUpdates(0) != 0)
                                state.SkipWithError("rows failed");
                        }},
                       {emptySaveTable, plainInsertLoop});
    }
    timing.report(state);
    emptySaveTable();
}

BENCHMARK(BM_OpenDataSet)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(5);
BENCHMARK(BM_LocateLastRow)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(200)
    ->Repetitions(5);
BENCHMARK(BM_FilterChange)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(200)
    ->Repetitions(5);
BENCHMARK(BM_SaveInsertedRows)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    const bench::ScratchDatabase database(makeScript());
    Components components(database);
    g_components = &components;
    return bench::runBenchmarks(argc, argv,
                                {{"BM_OpenDataSet", "open over plain fetch", 1.3},
                                 {"BM_OpenDataSet", "bytes per row", 64, "bytes_per_row"},
                                 {"BM_SaveInsertedRows", "save over plain insert loop", 1.3}});
}

// SPDX-License-Identifier: Apache-2.0
// Fetching 100 000 rows through the program's driver against a plain loop over the Firebird
// client API (IStatement/IResultSet reading the server's own message in place) on the same
// embedded database, in the same transaction mode, paired in each iteration. Both prepare
// the query, read every row to the end, touch every value (a text as a string, a date as
// its year, month and day) and commit. Limit: 1.2x.

#include "driver/fb_driver.h"
#include "paired_timing.h"
#include "plain_client.h"
#include "scratch_database.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace kalmora;
using namespace kalmora::core;

constexpr int kRows = 100000;
const char *const kQuery = "select ID, NAME, AMOUNT, FECHA from B";

const bench::ScratchDatabase *g_database = nullptr;

std::string makeScript()
{
    return "create table B (ID integer not null, NAME varchar(40), AMOUNT numeric(15,4),"
           " FECHA date);\ncommit;\nset term ^;\n"
           "execute block as declare i integer = 0; begin while (i < " +
           std::to_string(kRows) +
           ") do begin insert into B values (:i, 'articulo ' || :i, :i * 1.25,"
           " dateadd(mod(:i, 3000) day to date '2020-01-01')); i = i + 1; end end^\n"
           "set term ;^\n";
}

// What each loop computes from the values, so neither can skip reading them.
struct Checksum
{
    std::int64_t ids = 0;
    std::int64_t textBytes = 0;
    std::int64_t amounts = 0;
    std::int64_t days = 0;
};

void driverFetch(driver::DriverConnection &connection)
{
    Checksum sum;
    auto command = connection.createCommand();
    command->prepare(kQuery);
    auto cursor = command->execute();
    while (cursor->next()) {
        sum.ids += std::get<std::int64_t>(cursor->value(0));
        sum.textBytes += static_cast<std::int64_t>(std::get<std::string>(cursor->value(1)).size());
        sum.amounts += std::get<Decimal>(cursor->value(2)).unscaled;
        const Date &day = std::get<Date>(cursor->value(3));
        sum.days += day.year + day.month + day.day;
    }
    benchmark::DoNotOptimize(sum);
}

void plainFetch(bench::PlainClient &client)
{
    using namespace Firebird;
    ThrowStatusWrapper &status = client.status();
    Checksum sum;
    ITransaction *transaction = client.startTransaction();
    IStatement *statement = client.attachment()->prepare(&status, transaction, 0, kQuery, 3,
                                                         IStatement::PREPARE_PREFETCH_METADATA);
    bench::PlainMessage row(status, statement->getOutputMetadata(&status));
    IResultSet *cursor =
        statement->openCursor(&status, transaction, nullptr, nullptr, row.metadata, 0);
    while (cursor->fetchNext(&status, row.buffer.data()) == IStatus::RESULT_OK) {
        sum.ids += row.read<std::int32_t>(0);
        const auto length = row.read<std::uint16_t>(1);
        const std::string name(
            reinterpret_cast<const char *>(row.buffer.data() + row.offsets[1] + 2), length);
        sum.textBytes += static_cast<std::int64_t>(name.size());
        sum.amounts += row.read<std::int64_t>(2);
        unsigned year, month, day;
        client.util()->decodeDate(row.read<ISC_DATE>(3), &year, &month, &day);
        sum.days += year + month + day;
    }
    cursor->close(&status);
    statement->free(&status);
    transaction->commit(&status);
    benchmark::DoNotOptimize(sum);
}

void BM_DriverFetch(benchmark::State &state)
{
    auto driver = driver::getSQLDriverINTERBASE("GDS32.DLL", "");
    auto connection = driver->createConnection();
    connection->connect(g_database->path(), bench::ScratchDatabase::user,
                        bench::ScratchDatabase::password);
    bench::PlainClient client(g_database->path(), bench::ScratchDatabase::user,
                              bench::ScratchDatabase::password);
    bench::PairedTiming timing;
    for (auto _ : state)
        timing.measure(state, {{}, [&] { driverFetch(*connection); }},
                       {{}, [&] { plainFetch(client); }});
    timing.report(state);
    state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_DriverFetch)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    const bench::ScratchDatabase database(makeScript());
    g_database = &database;
    return bench::runBenchmarks(argc, argv, {{"BM_DriverFetch", "driver over plain client", 1.2}});
}

// Fetching 100 000 rows through the program's driver, against a plain loop over the
// Firebird client (IStatement/IResultSet with a raw message buffer) on the same embedded
// database in the same run. Both prepare the query, read every row to the end, touch
// every value and commit. At the end the ratio driver/plain is printed; the program fails
// when it exceeds 1.2.

#include "driver/fb_client_library.h"
#include "driver/fb_driver.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <firebird/Interface.h>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace kalmora::data;

constexpr int kRows = 100000;
const char *const kQuery = "select ID, NAME, AMOUNT, FECHA from B";

// A database of kRows rows in a temporary folder, removed at exit.
class BenchDatabase
{
public:
    BenchDatabase()
    {
        std::string dir = (std::filesystem::temp_directory_path() / "kalmora-fetch-XXXXXX");
        if (!::mkdtemp(dir.data()))
            throw std::runtime_error("cannot create a temporary folder");
        dir_ = dir;
        path_ = dir_ + "/kalmora.fdb";
        Firebird::IMaster *master = FbClientLibrary::load("GDS32.DLL")->master();
        Firebird::ThrowStatusWrapper status(master->getStatus());
        Firebird::IProvider *provider = master->getDispatcher();
        Firebird::IAttachment *att = provider->createDatabase(&status, path_.c_str(), 0, nullptr);
        auto run = [&](const char *sql) {
            Firebird::ITransaction *tra = att->startTransaction(&status, 0, nullptr);
            att->execute(&status, tra, 0, sql, 3, nullptr, nullptr, nullptr, nullptr);
            tra->commit(&status);
        };
        run("create table B (ID integer not null, NAME varchar(40), AMOUNT numeric(15,4),"
            " FECHA date)");
        const std::string fill =
            "execute block as declare i integer = 0; begin while (i < " + std::to_string(kRows) +
            ") do begin insert into B values (:i, 'articulo ' || :i, :i * 1.25,"
            " dateadd(mod(:i, 3000) day to date '2020-01-01')); i = i + 1; end end";
        run(fill.c_str());
        att->detach(&status);
        provider->release();
        status.dispose();
    }
    ~BenchDatabase()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    const std::string &path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
};

BenchDatabase &database()
{
    try {
        static BenchDatabase db;
        return db;
    } catch (const Firebird::FbException &e) {
        char text[2048];
        FbClientLibrary::load("GDS32.DLL")
            ->master()
            ->getUtilInterface()
            ->formatStatus(text, sizeof text, e.getStatus());
        throw std::runtime_error(text);
    }
}

// What each loop computes from the values, so neither can skip reading them.
struct Checksum
{
    std::int64_t ids = 0;
    std::int64_t textBytes = 0;
    std::int64_t amounts = 0;
    std::int64_t days = 0;
};

void BM_DriverFetch(benchmark::State &state)
{
    auto driver = getSQLDriverINTERBASE("GDS32.DLL", "");
    auto connection = driver->createConnection();
    connection->connect(database().path(), "SYSDBA", "");
    for (auto _ : state) {
        Checksum sum;
        auto command = connection->createCommand();
        command->prepare(kQuery);
        auto cursor = command->execute();
        while (cursor->next()) {
            sum.ids += std::get<std::int64_t>(cursor->value(0));
            sum.textBytes +=
                static_cast<std::int64_t>(std::get<std::string>(cursor->value(1)).size());
            sum.amounts += std::get<Decimal>(cursor->value(2)).unscaled;
            sum.days += std::get<Date>(cursor->value(3)).day;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_PlainClientFetch(benchmark::State &state)
{
    using namespace Firebird;
    IMaster *master = FbClientLibrary::load("GDS32.DLL")->master();
    IUtil *util = master->getUtilInterface();
    ThrowStatusWrapper status(master->getStatus());
    IProvider *provider = master->getDispatcher();
    IAttachment *att = provider->attachDatabase(&status, database().path().c_str(), 0, nullptr);
    for (auto _ : state) {
        Checksum sum;
        ITransaction *tra = att->startTransaction(&status, 0, nullptr);
        IStatement *stmt =
            att->prepare(&status, tra, 0, kQuery, 3, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata *meta = stmt->getOutputMetadata(&status);
        std::vector<unsigned char> row(meta->getMessageLength(&status));
        unsigned offsets[4], nulls[4];
        for (unsigned i = 0; i < 4; ++i) {
            offsets[i] = meta->getOffset(&status, i);
            nulls[i] = meta->getNullOffset(&status, i);
        }
        IResultSet *rs = stmt->openCursor(&status, tra, nullptr, nullptr, meta, 0);
        while (rs->fetchNext(&status, row.data()) == IStatus::RESULT_OK) {
            const unsigned char *r = row.data();
            std::int16_t isNull;
            std::memcpy(&isNull, r + nulls[0], 2);
            std::int32_t id;
            std::memcpy(&id, r + offsets[0], 4);
            sum.ids += id;
            std::uint16_t length;
            std::memcpy(&length, r + offsets[1], 2);
            std::string name(reinterpret_cast<const char *>(r + offsets[1] + 2), length);
            sum.textBytes += static_cast<std::int64_t>(name.size());
            std::int64_t amount;
            std::memcpy(&amount, r + offsets[2], 8);
            sum.amounts += amount;
            ISC_DATE day;
            std::memcpy(&day, r + offsets[3], 4);
            unsigned y, m, d;
            util->decodeDate(day, &y, &m, &d);
            sum.days += d;
        }
        rs->close(&status);
        meta->release();
        stmt->free(&status);
        tra->commit(&status);
        benchmark::DoNotOptimize(sum);
    }
    att->detach(&status);
    provider->release();
    status.dispose();
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Repetitions, judged by their fastest: the machine is shared, and load only ever adds time.
BENCHMARK(BM_PlainClientFetch)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_DriverFetch)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);

// Keeps the fastest time per iteration of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const std::string name = run.benchmark_name();
            const double time = run.GetAdjustedRealTime();
            auto [entry, added] = fastest.emplace(name.substr(0, name.find('/')), time);
            if (!added && time < entry->second)
                entry->second = time;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> fastest; // by benchmark function
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    database(); // made before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto timeOf = [&](const std::string &function) {
        auto found = reporter.fastest.find(function);
        return found == reporter.fastest.end() ? 0.0 : found->second;
    };
    const double driver = timeOf("BM_DriverFetch");
    const double plain = timeOf("BM_PlainClientFetch");
    if (driver <= 0 || plain <= 0)
        return 0; // a filter left one out: no ratio
    const double ratio = driver / plain;
    std::printf("driver / plain client: %.3f (limit 1.200)\n", ratio);
    return ratio <= 1.2 ? 0 : 1;
}

// Data sets against the plain driver, in one run over a scratch database made here with
// isql-fb (embedded engine):
//   - opening a data set of 100 000 rows against fetching the same rows straight from the
//     driver (target: within 1.3x), with the memory each fetched row takes beside its raw
//     size;
//   - a locate and a filter change over the 100 000 rows;
//   - a save of 10 000 inserted rows against a loop of the same prepared insert in one
//     transaction (target: within 1.5x).
#include "core/date_format.h"
#include "core/quoting.h"
#include "data/client_data_set.h"
#include "data/sql_connection.h"
#include "data/sql_table.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

using namespace kalmora::data;

namespace {

constexpr int fetchedRows = 100000;
constexpr int savedRows = 10000;
// One row as the server stores it: INTEGER, two DATEs, two NUMERIC(15,4).
constexpr int rawRowBytes = 4 + 4 + 4 + 8 + 8;

const std::string insertText = "insert into BENCH_SAVE (AJCI_ID, AJCI_FECINI, AJCI_FECFIN, "
                               "AJCI_PORC, AJCI_FACTOR) values (?, ?, ?, ?, ?)";

/// The scratch database: created once, removed at exit.
class Scratch
{
public:
    Scratch()
    {
        char pattern[] = "/tmp/kalmora-bench.XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("cannot create a temporary folder");
        folder_ = pattern;
        path_ = folder_ + "/bench.fdb";
        const std::string script = folder_ + "/make.sql";
        std::ofstream(script)
            << "create database '" << path_ << "' user 'SYSDBA' default character set UTF8;\n"
            << "create table BENCH_ROWS (AJCI_ID integer not null, AJCI_FECINI date, "
               "AJCI_FECFIN date, AJCI_PORC numeric(15,4), AJCI_FACTOR numeric(15,4));\n"
            << "create table BENCH_SAVE (AJCI_ID integer not null, AJCI_FECINI date, "
               "AJCI_FECFIN date, AJCI_PORC numeric(15,4), AJCI_FACTOR numeric(15,4));\n"
            << "commit;\nset term ^;\n"
            << "execute block as declare i integer = 1; begin\n"
            << "  while (i <= " << fetchedRows << ") do begin\n"
            << "    insert into BENCH_ROWS values (:i, dateadd(mod(:i, 365) day to date "
               "'2026-01-01'), dateadd(mod(:i, 365) day to date '2026-01-01'), "
               "mod(:i, 100), 0.8);\n"
            << "    i = i + 1;\n  end\nend^\nset term ;^\ncommit;\n";
        // Writes without waiting for the disk, so that commits time the engine and not the
        // other work of a shared machine.
        const std::string command = "isql-fb -q -i " + script + " > " + folder_ +
                                    "/make.log 2>&1 && gfix -write async " + path_ + " >> " +
                                    folder_ + "/make.log 2>&1";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("isql-fb could not make the scratch database; see " + folder_ +
                                     "/make.log");
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    void pointAt(TSQLConnection &connection) const
    {
        connection.params().setValue("Database", path_);
        connection.params().setValue("User_Name", "SYSDBA");
        connection.params().setValue("Password", "masterkey");
    }

private:
    std::string folder_;
    std::string path_;
};

/// The main window's layout in small: a connection, table sources, providers.
struct Components : ProviderDirectory
{
    explicit Components(const Scratch &scratch)
    {
        scratch.pointAt(connection);
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
};

Scratch *g_scratch = nullptr;
Components *g_components = nullptr;

std::unique_ptr<TClientDataSet> rowsDataSet()
{
    auto dataSet = std::make_unique<TClientDataSet>("CRows", g_components);
    dataSet->setProviderName("PRows");
    return dataSet;
}

std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/// The plain driver fetch: every row read into the program, one row at a time.
void plainFetch()
{
    std::unique_ptr<DriverCursor> cursor =
        g_components->connection.openQuery(" select * from \"BENCH_ROWS\"");
    std::vector<Value> row(cursor->columns().size());
    while (cursor->next()) {
        for (std::size_t c = 0; c < row.size(); ++c)
            row[c] = cursor->value(c);
        benchmark::DoNotOptimize(row.data());
    }
    cursor->close();
}

/// Opening the data set, timed against the plain fetch in the same iteration (taking turns
/// at going first), so that both meet the same load of a shared machine.
void BM_OpenDataSet(benchmark::State &state)
{
    std::unique_ptr<TClientDataSet> dataSet = rowsDataSet();
    double open = 0, plain = 0, bytesPerRow = 0;
    bool openFirst = false;
    for (auto _ : state) {
        openFirst = !openFirst;
        if (!openFirst) {
            const Clock::time_point plainStart = Clock::now();
            plainFetch();
            plain += secondsSince(plainStart);
        }
        const std::size_t before = heapInUse();
        const Clock::time_point start = Clock::now();
        dataSet->open();
        const double seconds = secondsSince(start);
        open += seconds;
        state.SetIterationTime(seconds);
        bytesPerRow = double(heapInUse() - before) / fetchedRows;
        if (dataSet->recordCount() != fetchedRows)
            state.SkipWithError("wrong row count");
        dataSet->close();
        if (openFirst) {
            const Clock::time_point plainStart = Clock::now();
            plainFetch();
            plain += secondsSince(plainStart);
        }
    }
    state.counters["plain_fetch_ms"] = plain * 1000 / double(state.iterations());
    state.counters["ratio"] = open / plain;
    state.counters["bytes_per_row"] = bytesPerRow;
    state.counters["raw_row_bytes"] = rawRowBytes;
}

void BM_LocateLastRow(benchmark::State &state)
{
    std::unique_ptr<TClientDataSet> dataSet = rowsDataSet();
    dataSet->open();
    for (auto _ : state) {
        if (!dataSet->locate("AJCI_ID", Value{std::int64_t{fetchedRows}}))
            state.SkipWithError("not found");
        dataSet->first();
    }
}

void BM_FilterChange(benchmark::State &state)
{
    DateSettings settings;
    settings.shortPattern = "dd/mm/yyyy";
    setCurrentDateSettings(settings);
    std::unique_ptr<TClientDataSet> dataSet = rowsDataSet();
    dataSet->setFilter("AJCI_FECINI = '10/12/2026'");
    dataSet->setFiltered(true);
    dataSet->open();
    bool other = false;
    for (auto _ : state) {
        dataSet->setFilter(other ? "AJCI_FECINI = '10/12/2026'" : "AJCI_FECINI = '11/12/2026'");
        other = !other;
        benchmark::DoNotOptimize(dataSet->recordCount());
    }
}

/// Deletes the saved rows and reads the table once, so that their old versions are collected
/// now and not inside the next timed save.
void emptySaveTable()
{
    g_components->connection.execute("delete from BENCH_SAVE");
    std::unique_ptr<DriverCursor> cursor =
        g_components->connection.openQuery("select count(*) from BENCH_SAVE");
    while (cursor->next()) {
    }
    cursor->close();
}

Param param(ColumnType type, Value value, int precision = 0, int scale = 0)
{
    ColumnDesc desc;
    desc.type = type;
    desc.precision = precision;
    desc.scale = scale;
    return Param{desc, std::move(value)};
}

/// The same inserts as a save of the rows below sends, through one prepared statement in
/// one transaction.
void plainInsertLoop()
{
    TSQLConnection &connection = g_components->connection;
    const TransactionDesc transaction{1, IsolationLevel::ReadCommitted};
    connection.startTransaction(transaction);
    std::unique_ptr<DriverCommand> command = connection.createCommand();
    command->prepare(insertText);
    for (int i = 0; i < savedRows; ++i) {
        const Param values[] = {
            param(ColumnType::Integer, Value{std::int64_t{0}}),
            param(ColumnType::Date, Value{Date{2026, 12, 10}}),
            param(ColumnType::Date, Value{Date{2026, 12, 10}}),
            param(ColumnType::Decimal, Value{Decimal{190000, 4}}, 6, 4),
            param(ColumnType::Decimal, Value{Decimal{8000, 4}}, 4, 4),
        };
        for (std::size_t p = 0; p < 5; ++p)
            command->setParameter(p, values[p].type, values[p].value);
        command->execute();
        benchmark::DoNotOptimize(command->rowsAffected());
    }
    command.reset();
    connection.commit(transaction);
}

/// Saving 10 000 inserted rows, timed against the plain insert loop in the same iteration.
void BM_SaveInsertedRows(benchmark::State &state)
{
    TClientDataSet dataSet("CSave", g_components);
    dataSet.setProviderName("PSave");
    double save = 0, plain = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        plainInsertLoop();
        plain += secondsSince(start);
        emptySaveTable();

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
        start = Clock::now();
        if (dataSet.applyUpdates(0) != 0)
            state.SkipWithError("rows failed");
        const double seconds = secondsSince(start);
        save += seconds;
        state.SetIterationTime(seconds);
        dataSet.close();
        emptySaveTable();
    }
    state.counters["plain_loop_ms"] = plain * 1000 / double(state.iterations());
    state.counters["ratio"] = save / plain;
}

// Medians of three runs each: the machine is shared, and single runs wander.
BENCHMARK(BM_OpenDataSet)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(3);
BENCHMARK(BM_LocateLastRow)->Unit(benchmark::kMicrosecond)->Repetitions(3);
BENCHMARK(BM_FilterChange)->Unit(benchmark::kMicrosecond)->Repetitions(3);
BENCHMARK(BM_SaveInsertedRows)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(3);

/// Prints the runs as usual and keeps the median ratios for the verdicts at the end.
class Comparing : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const auto ratio = run.counters.find("ratio");
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                ratio != run.counters.end())
                ratios[run.run_name.function_name] = ratio->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> ratios;
};

void verdict(const Comparing &reporter, const std::string &name, const char *reference,
             double limit)
{
    const auto found = reporter.ratios.find(name);
    if (found == reporter.ratios.end())
        return;
    std::printf("%s against %s: %.2fx (limit %.1fx): %s\n", name.c_str(), reference, found->second,
                limit, found->second <= limit ? "within" : "OVER");
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    Scratch scratch;
    Components components(scratch);
    g_scratch = &scratch;
    g_components = &components;
    Comparing reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    verdict(reporter, "BM_OpenDataSet", "the plain driver fetch", 1.3);
    verdict(reporter, "BM_SaveInsertedRows", "the plain prepared insert loop", 1.5);
    benchmark::Shutdown();
    return 0;
}

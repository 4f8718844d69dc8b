// The posting of one day of one point of sale as the program runs it through its own
// driver: the posting call read to its end (which commits it), then the completion of the
// voucher. Reference, in the same run: one query through the same driver that reads the
// same invoices and their amounts without posting them.
//
// Each size gets a demo company made by db/make-company (one day, four points of N
// invoices each; 90 % of a point's invoices are cash sales). Between iterations the
// invoices are unmarked again, outside the timing. Set KALMORA_SOURCE_DIR to the source
// tree when running from elsewhere.

#include "data/sql_connection.h"
#include "data/sql_stored_proc.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using kalmora::data::TSQLConnection;

std::string sourceDir()
{
    if (const char *dir = std::getenv("KALMORA_SOURCE_DIR"); dir && *dir)
        return dir;
    return std::filesystem::current_path().string();
}

// A demo company with `invoices` invoices per point for today, removed at exit.
class BenchCompany
{
public:
    explicit BenchCompany(int invoices)
    {
        const std::string maker = sourceDir() + "/db/make-company";
        if (!std::filesystem::exists(maker))
            throw std::runtime_error(maker + " not found: set KALMORA_SOURCE_DIR");
        const char *tmp = std::getenv("TMPDIR");
        dir_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalmora-bench.XXXXXX";
        if (!::mkdtemp(dir_.data()))
            throw std::runtime_error("cannot create " + dir_);
        const std::string command = "'" + maker + "' '" + dir_ + "' BENCH --days 1 --invoices " +
                                    std::to_string(invoices) + " --date-order YMD";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("failed: " + command);
        connection_.params().setValue("Database", dir_ + "/datos/BENCH/kalmora.fdb");
        connection_.params().setValue("User_Name", "SYSDBA");
        connection_.params().setValue("Password", "bench");
        auto cursor =
            connection_.openQuery("select cast(current_date as varchar(10)) from rdb$database");
        cursor->next();
        today_ = std::get<std::string>(cursor->value(0));
        cursor->close();
    }
    ~BenchCompany()
    {
        connection_.setConnected(false);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    BenchCompany(const BenchCompany &) = delete;
    BenchCompany &operator=(const BenchCompany &) = delete;

    TSQLConnection &connection() { return connection_; }
    const std::string &today() const { return today_; }

private:
    std::string dir_;
    TSQLConnection connection_;
    std::string today_;
};

// Emptied at the end of main(), while the client library is still up.
std::map<int, std::unique_ptr<BenchCompany>> &companies()
{
    static std::map<int, std::unique_ptr<BenchCompany>> made;
    return made;
}

BenchCompany &company(int invoices)
{
    auto &slot = companies()[invoices];
    if (!slot)
        slot = std::make_unique<BenchCompany>(invoices);
    return *slot;
}

// Point 1 of the demo: prefix PPAL, cash customer 900000001, interface 1.
std::string dayFilter(const std::string &day)
{
    return "f.fact_fecha = '" + day +
           "' and f.ptvt_id = 1 and f.pref_pre = 'PPAL' and f.terc_nit = '900000001'";
}

void BM_PostingAndCompletion(benchmark::State &state)
{
    try {
        BenchCompany &bench = company(static_cast<int>(state.range(0)));
        TSQLConnection &connection = bench.connection();
        kalmora::data::TSQLStoredProc complete("Scontapend", connection, "CONTABILIZA_PENDIENTE");
        complete.params().emplace_back("IDCNT", kalmora::data::Value{std::int64_t{0}});
        const std::string call = "select * from contabil_facturas_contado('" + bench.today() +
                                 "', '900000001', 'PPAL', 1, 1)";
        for (auto _ : state) {
            state.PauseTiming();
            connection.execute("update facturas set comp_id = null where comp_id is not null");
            state.ResumeTiming();
            auto cursor = connection.openQuery(call);
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
        // Every tenth demo invoice is a named customer's and is not posted.
        const std::int64_t cashInvoices = state.range(0) - state.range(0) / 10;
        state.SetItemsProcessed(state.iterations() * cashInvoices);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

void BM_ReadingTheSameInvoices(benchmark::State &state)
{
    try {
        BenchCompany &bench = company(static_cast<int>(state.range(0)));
        const std::string query = "select d.faiv_porc, sum(d.faiv_base), sum(d.faiv_iva), "
                                  "count(*) from facturas f join facturas_iva d on d.fact_id = "
                                  "f.fact_id where " +
                                  dayFilter(bench.today()) + " group by 1";
        for (auto _ : state) {
            auto cursor = bench.connection().openQuery(query);
            while (cursor->next())
                benchmark::DoNotOptimize(cursor->value(1));
            cursor->close();
        }
        state.SetItemsProcessed(state.iterations() * (state.range(0) - state.range(0) / 10));
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

BENCHMARK(BM_ReadingTheSameInvoices)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PostingAndCompletion)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    companies().clear();
    return 0;
}

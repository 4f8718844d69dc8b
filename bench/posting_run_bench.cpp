// The posting run as the window runs it (posting/posting_run.h: the point located in
// CPuntos, the three lookups in Cborrar, the call in CRepArticulos, the completion through
// Scontapend and the message) on a day of 10 000 invoices of one point, against the bare
// posting call and completion of the same day sent through the same driver. The difference
// is the run's own overhead (lookups and data sets), which must stay under 10 %.
//
// The demo company (db/make-company: one day, four points of 10 000 invoices each, 90 % of
// them cash sales) is made once; before each iteration, outside the timing, the invoices are
// unmarked so that every iteration posts the whole day again. Set KALMORA_SOURCE_DIR to the
// source tree when running from elsewhere.

#include "cli/headless_terminal.h"
#include "company/data_module.h"
#include "core/date_format.h"
#include "posting/connect_step.h"
#include "posting/posting_run.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace kalmora;

constexpr int kInvoices = 10000;

std::string sourceDir()
{
    if (const char *dir = std::getenv("KALMORA_SOURCE_DIR"); dir && *dir)
        return dir;
    return std::filesystem::current_path().string();
}

/// A demo company of one day, connected through the connect step; removed at exit.
class BenchCompany
{
public:
    BenchCompany()
    {
        const std::string maker = sourceDir() + "/db/make-company";
        if (!std::filesystem::exists(maker))
            throw std::runtime_error(maker + " not found: set KALMORA_SOURCE_DIR");
        const char *tmp = std::getenv("TMPDIR");
        dir_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalmora-run-bench.XXXXXX";
        if (!::mkdtemp(dir_.data()))
            throw std::runtime_error("cannot create " + dir_);
        const std::string command = "'" + maker + "' '" + dir_ + "' BENCH --days 1 --invoices " +
                                    std::to_string(kInvoices) + " --date-order YMD >/dev/null";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("failed: " + command);

        data::setCurrentDateSettings(data::DateSettings{'-', "yyyy-mm-dd", {}, {}, {}, {}});
        if (!posting::connectStep(module, {dir_, "SYSDBA", "bench", "BENCH"}, window, window))
            throw std::runtime_error("the connect step did not run");
        window.choosePoint(1);
    }
    ~BenchCompany()
    {
        module.Kalmora.setConnected(false);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    BenchCompany(const BenchCompany &) = delete;
    BenchCompany &operator=(const BenchCompany &) = delete;

    /// Every invoice unposted again.
    void unmark() { module.Kalmora.execute("update facturas set comp_id = null"); }

    data::DataModule module;
    /// The headless command's view: its messages are kept to check each run's outcome.
    std::ostringstream messages;
    cli::TerminalWindow window{messages, messages, false};

private:
    std::string dir_;
};

// Emptied at the end of main(), while the client library is still up.
std::unique_ptr<BenchCompany> &benchCompany()
{
    static std::unique_ptr<BenchCompany> made;
    return made;
}

BenchCompany &company()
{
    if (!benchCompany())
        benchCompany() = std::make_unique<BenchCompany>();
    return *benchCompany();
}

/// One posting run of the day; throws unless it completed a voucher.
void postingRun(BenchCompany &bench)
{
    bench.messages.str({});
    posting::postingRun(bench.module, bench.window, bench.window, bench.window);
    if (bench.messages.str() != "Comprobante contable correctamente generado.\n")
        throw std::runtime_error("the run did not post: " + bench.messages.str());
}

/// The same day's posting call read to its end and the completion, sent straight through
/// the connection: the database's own work, without the run's lookups and data sets.
void barePostingCall(BenchCompany &bench, const std::string &call)
{
    auto cursor = bench.module.Kalmora.openQuery(call);
    if (!cursor->next())
        throw std::runtime_error("the posting returned no row");
    const std::int64_t voucher = std::get<std::int64_t>(cursor->value(1));
    const std::int64_t errors = std::get<std::int64_t>(cursor->value(2));
    while (cursor->next()) {
    }
    cursor->close();
    if (errors != 0 || voucher == 0)
        throw std::runtime_error("the posting reported errors");
    bench.module.Scontapend.paramByName("IDCNT").setAsInteger(voucher);
    bench.module.Scontapend.execProc();
}

double secondsOf(const std::function<void()> &action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Each iteration times one posting run and one bare call of the same day, in alternating
// order, so that the load of a shared machine falls on both alike. The iteration's time is
// the run's; the counters give both medians and the median overhead of the run over the
// bare call.
void BM_PostingRunAgainstBareCall(benchmark::State &state)
{
    try {
        BenchCompany &bench = company();
        const std::string call = "select * from contabil_facturas_contado('" +
                                 data::formatDate(bench.window.day()) +
                                 "', '900000001', 'PPAL', 1, 1)";
        std::vector<double> runs;
        std::vector<double> bares;
        for (auto _ : state) {
            const auto timeRun = [&] {
                bench.unmark();
                runs.push_back(secondsOf([&] { postingRun(bench); }));
            };
            const auto timeBare = [&] {
                bench.unmark();
                bares.push_back(secondsOf([&] { barePostingCall(bench, call); }));
            };
            if (runs.size() % 2) {
                timeBare();
                timeRun();
            } else {
                timeRun();
                timeBare();
            }
            state.SetIterationTime(runs.back());
        }
        // The overhead of each pair, timed back to back, then their median: steadier on a
        // loaded machine than comparing the two medians.
        std::vector<double> overheads;
        for (std::size_t i = 0; i < runs.size(); ++i)
            overheads.push_back((runs[i] - bares[i]) / bares[i] * 100);
        state.counters["run_ms"] = median(runs) * 1000;
        state.counters["bare_ms"] = median(bares) * 1000;
        state.counters["overhead_%"] = median(overheads);
        state.SetItemsProcessed(state.iterations() * (kInvoices - kInvoices / 10));
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

BENCHMARK(BM_PostingRunAgainstBareCall)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchCompany().reset();
    return 0;
}

// SPDX-License-Identifier: Apache-2.0
// A text location over every visible column of the rates grid holding 100 000 rows, for a
// text that is nowhere, against a plain loop over the same rows' displayed texts, in one
// run and taking turns at going first (target: within 1.5x). The grid must repaint at most
// once per location, which `paints` reports.
//
// The rows are the day's rates of a demo company (tests/support/company_database.h),
// appended in memory and never saved.
#include "data/client_data_set.h"
#include "data/field.h"
#include "company/data_module.h"
#include "grids/db_grid_eh.h"
#include "app/window_grids.h"
#include "support/company_database.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

using namespace kalmora;

namespace {

constexpr int kRows = 100000;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

/// The plain reference: each row's displayed text of each column, compared the same way.
bool plainLoop(const std::vector<data::TField *> &fields, const QString &wanted)
{
    for (int row = 0; row < kRows; ++row)
        for (const data::TField *field : fields)
            if (grids::textMatches(QString::fromLocal8Bit(field->textAt(std::size_t(row))), wanted,
                                   grids::MatchKind::AnyPart, true))
                return true;
    return false;
}

void BM_LocateNothing(benchmark::State &state)
{
    test::CompanyDatabase company;
    company::DataModule dm;
    dm.Kalmora.params().setValue("Database", company.databasePath());
    dm.Kalmora.params().setValue("User_Name", "SYSDBA");
    dm.Kalmora.params().setValue("Password", "masterkey");
    dm.CAjuste.open();
    for (int i = 0; i < kRows; ++i) {
        dm.CAjuste.append();
        dm.CAjusteAJCI_FECINI->setAsDate({2026, 1 + i % 12, 1 + i % 28});
        dm.CAjusteAJCI_FECFIN->setAsDate({2026, 1 + i % 12, 1 + i % 28});
        dm.CAjusteAJCI_PORC->setAsInteger(i % 100);
        dm.CAjusteAJCI_FACTOR->setAsString("0.8");
        dm.CAjuste.post();
    }
    dm.CAjuste.first();
    QWidget host;
    auto *grid = new grids::DBGridEh(&host);
    grid->setGeometry(0, 0, 303, 123);
    app::applyRatesGridSettings(*grid, dm.DAjuste);
    host.show();
    QApplication::processEvents();
    PaintCounter counter;
    grid->viewport()->installEventFilter(&counter);
    std::vector<data::TField *> fields{dm.CAjusteAJCI_FECINI, dm.CAjusteAJCI_FECFIN,
                                       dm.CAjusteAJCI_PORC, dm.CAjusteAJCI_FACTOR};

    grids::TextLocation request;
    request.text = QStringLiteral("nowhere");
    double located = 0, plain = 0;
    int maxPaints = 0;
    bool locateFirst = false;
    for (auto _ : state) {
        locateFirst = !locateFirst;
        if (!locateFirst) {
            const Clock::time_point start = Clock::now();
            benchmark::DoNotOptimize(plainLoop(fields, request.text));
            plain += secondsSince(start);
        }
        counter.paints = 0;
        const Clock::time_point start = Clock::now();
        const bool found = grid->locateText(request);
        const double seconds = secondsSince(start);
        QApplication::processEvents();
        maxPaints = std::max(maxPaints, counter.paints);
        located += seconds;
        state.SetIterationTime(seconds);
        if (found)
            state.SkipWithError("found a text that is nowhere");
        if (locateFirst) {
            const Clock::time_point plainStart = Clock::now();
            benchmark::DoNotOptimize(plainLoop(fields, request.text));
            plain += secondsSince(plainStart);
        }
    }
    state.counters["plain_loop_ms"] = plain * 1000 / double(state.iterations());
    state.counters["ratio"] = located / plain;
    state.counters["paints"] = maxPaints;
    dm.CAjuste.cancel();
    dm.CAjuste.close();
}

} // namespace

BENCHMARK(BM_LocateNothing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(6);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

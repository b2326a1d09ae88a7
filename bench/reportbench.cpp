// The calculation report of a water system: built from a computed system, and written as a
// PDF (laid out, painted, fonts embedded), for 200 and 2,000 sections in a binary tree.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/watersystem.h"
#include "system/systemreport.h"

namespace {

struct System {
    hydraulics::PipeCatalog catalog = hydraulics::shippedCatalog();
    hydraulics::SystemSettings settings;
    std::vector<hydraulics::SectionInput> sections;
    hydraulics::SystemResult result;

    explicit System(int n) : sections(n) {
        for (int i = 0; i < n; ++i) {
            hydraulics::SectionInput& s = sections[i];
            s.id = "S" + std::to_string(i);
            if (i > 0) s.up = "S" + std::to_string((i - 1) / 2);
            s.L = "10";
            s.zeta = "2";
            // The second half has no sections below it: terminals with a load.
            if (i >= n / 2) s.Q = "20";
        }
        result = hydraulics::computeSystem(sections, settings, catalog);
    }
};

void BM_buildReport(benchmark::State& state) {
    const System system(int(state.range(0)));
    for (auto _ : state) {
        SystemReport report(QStringLiteral("bench"), system.settings, system.sections,
                            system.result, system.catalog);
        benchmark::DoNotOptimize(report.pages().partCount());
    }
}
BENCHMARK(BM_buildReport)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_writeReportPdf(benchmark::State& state) {
    const System system(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state) {
        SystemReport report(QStringLiteral("bench"), system.settings, system.sections,
                            system.result, system.catalog);
        if (!report.writePdf(path).ok()) state.SkipWithError("the PDF was not written");
    }
}
BENCHMARK(BM_writeReportPdf)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

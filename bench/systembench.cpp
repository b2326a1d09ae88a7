// A whole recompute of a water system of 10,000 sections in a random tree, every section sized
// automatically: what the sheet does after each edit. Target: under 10 ms.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/watersystem.h"

namespace {

// Each section hangs below one of the 30 before it (so the tree is both deep and bushy);
// terminals carry a load of 3 to 40 kW, the rest the sum of what is below them.
std::vector<hydraulics::SectionInput> randomTree(int n, bool sized) {
    std::mt19937 random(17);
    std::vector<hydraulics::SectionInput> sections(n);
    std::vector<bool> hasChild(n, false);
    for (int i = 0; i < n; ++i) {
        hydraulics::SectionInput& s = sections[i];
        s.id = "S" + std::to_string(i);
        if (i > 0) {
            const int up = std::max(0, i - 1 - static_cast<int>(random() % 30));
            s.up = sections[up].id;
            hasChild[up] = true;
        }
        s.L = std::to_string(1 + random() % 60);
        s.zeta = std::to_string(random() % 8) + ".5";
        if (!sized) s.DN = "50";
    }
    for (int i = 0; i < n; ++i)
        if (!hasChild[i]) sections[i].Q = std::to_string(3 + random() % 38);
    return sections;
}

void BM_computeSystem(benchmark::State& state) {
    const hydraulics::PipeCatalog catalog = hydraulics::shippedCatalog();
    const std::vector<hydraulics::SectionInput> sections =
        randomTree(static_cast<int>(state.range(0)), state.range(1) != 0);
    hydraulics::SystemSettings settings;
    settings.friction =
        state.range(2) ? hydraulics::FrictionModel::Screen : hydraulics::FrictionModel::Colebrook;
    for (auto _ : state) {
        hydraulics::SystemResult result = hydraulics::computeSystem(sections, settings, catalog);
        benchmark::DoNotOptimize(result.headKPa);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
// Arguments: sections, sized automatically (1) or all DN50 (0), screen model (1).
BENCHMARK(BM_computeSystem)
    ->Args({10000, 1, 0})
    ->Args({10000, 1, 1})
    ->Args({10000, 0, 0})
    ->Args({1000, 1, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace

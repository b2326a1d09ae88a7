// Per-call cost of the core computations and of the number texts. Inputs rotate through a
// small table of realistic sections so that nothing is computed once and folded away.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "core/frictionloss.h"
#include "core/localloss.h"
#include "core/lossrecord.h"
#include "core/numbertext.h"

namespace {

constexpr std::array<FrictionLossInput, 8> Sections{{
    {50, 1000, 45, 1, 0.2},
    {50, 1000, 45.5f, 1, 0.2f},
    {25, 1000, 7, 1, 0.2f},
    {100, 1000, 20, 10, 0.2f},
    {150, 12000, 60, 45, 0.15f},
    {20, 3500, 12.5f, 0.4f, 0.05f},
    {300, 80000, 80, 300, 1.2f},
    {80, 500, 95, 8.5f, 0},
}};

void BM_computeFrictionLoss(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        auto outcome = computeFrictionLoss(Sections[i++ & 7]);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_computeFrictionLoss);

// The yardstick for computeFrictionLoss: the same formulas with the same roundings, written
// inline, with no failure checks and only the density rows the sections above use.
[[gnu::noinline]] FrictionLossResult frictionFormulaAlone(const FrictionLossInput& in) {
    const double D = in.D, L = in.L, G = in.G, K = in.K, t = in.t;
    double density;
    switch (t == static_cast<int>(t) ? static_cast<int>(t) : -1) {
        case 20:
            density = 998.23;
            break;
        case 45:
            density = 990.12;
            break;
        case 60:
            density = 983.24;
            break;
        case 80:
            density = 971.83;
            break;
        default:
            density = ((t - 10.0) * (t - 20.0)) * 999.87 / 200.0 +
                      (t * (t - 20.0)) * 999.73 / -100.0 + (t * (t - 10.0)) * 998.23 / 200.0;
    }
    FrictionLossResult r;
    r.rho = static_cast<float>(density);
    r.nu = 1e-4 * 0.0178 * (1.0 / (0.00022 * (t * t) + (0.0337 * t + 1.0)));
    r.V = static_cast<float>((G * 4.0 * 1000000.0) / (D * D * 3.1415926 * 3600.0));
    r.Re = static_cast<float>((static_cast<double>(r.V) * D * 0.001) / r.nu);
    r.lambda = static_cast<float>(
        0.0055 *
        (1.0 + std::pow(K * 20000.0 / D + 1000000.0 / static_cast<double>(r.Re), 1.0 / 3.0)));
    const double V = r.V;
    r.Hf = static_cast<float>(
        (V * V * (static_cast<double>(r.lambda) * L) * static_cast<double>(r.rho)) / (2.0 * D));
    return r;
}

void BM_frictionFormulaAlone(benchmark::State& state) {
    for (const FrictionLossInput& section : Sections) {
        const FrictionLossResult a = frictionFormulaAlone(section);
        const FrictionLossResult b = computeFrictionLoss(section).value();
        if (a.rho != b.rho || a.nu != b.nu || a.V != b.V || a.Re != b.Re || a.lambda != b.lambda ||
            a.Hf != b.Hf) {
            state.SkipWithError("the yardstick computes other figures");
            return;
        }
    }
    std::size_t i = 0;
    for (auto _ : state) {
        auto result = frictionFormulaAlone(Sections[i++ & 7]);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_frictionFormulaAlone);

void BM_computeLocalLoss(benchmark::State& state) {
    constexpr std::array<std::array<float, 3>, 4> Fittings{
        {{1.0f, 1.2f, 50}, {0.3f, 2.5f, 37.5f}, {2.5f, 2, 100}, {0.9f, 0.8f, 7}}};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& f = Fittings[i++ & 3];
        auto outcome = computeLocalLoss({f[0], f[1], f[2]});
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_computeLocalLoss);

// Typical results: fixed form, carries into a new digit, exponent form both ways.
void BM_generalTextFloat(benchmark::State& state) {
    constexpr std::array<float, 8> Values{0.1414711f, 7.067252f, 711.36f,      11770.71f,
                                          9.9999996f, 5e-05f,    1.2345678e7f, -0.03566379f};
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = numbertext::generalText(Values[i++ & 7]);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_generalTextFloat);

void BM_generalTextDouble(benchmark::State& state) {
    constexpr std::array<double, 4> Values{1234.567, 0.1 + 0.2, 6.00945345e-7, 98765432109876.5};
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = numbertext::generalText(Values[i++ & 3]);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_generalTextDouble);

void BM_parseSingle(benchmark::State& state) {
    constexpr std::array<const char*, 4> Texts{"50", "0.2", " 45.5 ", "1.2e3"};
    std::size_t i = 0;
    for (auto _ : state) {
        auto parsed = numbertext::parseSingle(Texts[i++ & 3]);
        benchmark::DoNotOptimize(parsed);
    }
}
BENCHMARK(BM_parseSingle);

// One CSV row's worth of core work as quorvel-calc does it: five inputs parsed where they
// stand, one section computed, six texts written into the output.
void BM_frictionRow(benchmark::State& state) {
    constexpr std::array<std::string_view, 5> Texts{"50", "1000", "45", "1", "0.2"};
    char out[6 * (numbertext::MaxGeneralTextLength + 1)];
    for (auto _ : state) {
        float in[5];
        for (int k = 0; k < 5; ++k) in[k] = *numbertext::parseSingle(Texts[k]).value;
        const auto outcome = FrictionLossRecord::compute({in[0], in[1], in[2], in[3], in[4]});
        char* end = outcome.value().writeResultTexts(out, ',');
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_frictionRow);

}  // namespace

BENCHMARK_MAIN();

#include "core/waterproperties.h"

// Density of water in kg/m³ at whole temperatures; 5 °C steps to 50 °C, then 10 °C steps.
namespace {

constexpr std::array<WaterDensityRow, 16> DensityRows{{
    {0, 999.87},
    {5, 999.8},
    {10, 999.73},
    {15, 998.98},
    {20, 998.23},
    {25, 996.91},
    {30, 995.6},
    {35, 993.92},
    {40, 992.24},
    {45, 990.12},
    {50, 988.0},
    {60, 983.24},
    {70, 977.7},
    {80, 971.83},
    {90, 965.2},
    {100, 958.4},
}};

// The table row of each whole temperature from 0 to 100 °C, -1 where there is none: every
// table temperature is one of them, so a lookup is one index instead of a search.
constexpr std::array<std::int8_t, 101> DensityRowAt = [] {
    std::array<std::int8_t, 101> at{};
    at.fill(-1);
    for (std::size_t i = 0; i < DensityRows.size(); ++i) at.at(DensityRows[i].temperature) = i;
    return at;
}();

}  // namespace

const std::array<WaterDensityRow, 16> WaterDensityTable = DensityRows;

double WaterProperties::density(float t) {
    // Exact comparison on purpose: 45.0 is a table entry, 44.9 is not.
    if (t >= 0.0f && t <= 100.0f) {
        const int whole = static_cast<int>(t);
        if (static_cast<float>(whole) == t && DensityRowAt[whole] >= 0)
            return DensityRows[DensityRowAt[whole]].density;
    }
    const double td = t;
    // Lagrange quadratic through (0, 999.87), (10, 999.73), (20, 998.23), used everywhere off
    // the table, extrapolating outside 0..20 °C.
    const double a = ((td - 10.0) * (td - 20.0)) * 999.87 / 200.0;
    const double b = (td * (td - 20.0)) * 999.73 / -100.0;
    const double c = (td * (td - 10.0)) * 998.23 / 200.0;
    return a + b + c;
}

double WaterProperties::kinematicViscosity(float t) {
    const double td = t;
    const double denominator = 0.00022 * (td * td) + (0.0337 * td + 1.0);
    return 1e-4 * 0.0178 * (1.0 / denominator);
}

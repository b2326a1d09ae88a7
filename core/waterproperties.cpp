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

}  // namespace

// Both filled at compile time, ready before any other file's static initialisers ask for a
// density.
constinit const std::array<WaterDensityRow, 16> WaterDensityTable = DensityRows;

constinit const std::array<std::int8_t, 101> WaterDensityRowAt = [] {
    std::array<std::int8_t, 101> at{};
    at.fill(-1);
    for (std::size_t i = 0; i < DensityRows.size(); ++i) at.at(DensityRows[i].temperature) = i;
    return at;
}();

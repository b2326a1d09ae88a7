#pragma once

#include <array>
#include <cstdint>

// Density and kinematic viscosity of water by temperature (°C).
struct WaterDensityRow {
    std::int16_t temperature;  // °C
    double density;            // kg/m³
};

extern const std::array<WaterDensityRow, 16> WaterDensityTable;

namespace WaterProperties {

// kg/m³: the table row whose temperature equals t exactly, otherwise the quadratic through
// (0, 999.87), (10, 999.73), (20, 998.23), at any temperature.
double density(float t);

// m²/s: 0.0178e-4 / (1 + 0.0337 t + 0.00022 t²). Not finite or not positive between about
// -112.93 °C and -40.25 °C, where the denominator is zero or negative.
double kinematicViscosity(float t);

}  // namespace WaterProperties

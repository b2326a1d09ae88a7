#pragma once

#include <array>
#include <cstdint>

// Density and kinematic viscosity of water by temperature (°C).
struct WaterDensityRow {
    std::int16_t temperature;  // °C
    double density;            // kg/m³
};

extern const std::array<WaterDensityRow, 16> WaterDensityTable;

// A class of its own so that callers write WaterProperties::density(t), the name the
// calculations are described by.
class WaterProperties {
  public:
    WaterProperties() = delete;

    // kg/m³: the table row whose temperature equals t exactly, otherwise the quadratic through
    // (0, 999.87), (10, 999.73), (20, 998.23), at any temperature.
    static double density(float t);

    // m²/s: 0.0178e-4 / (1 + 0.0337 t + 0.00022 t²). Not finite or not positive between about
    // -112.93 °C and -40.25 °C, where the denominator is zero or negative.
    static double kinematicViscosity(float t);
};

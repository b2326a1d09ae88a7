#pragma once

#include <array>
#include <cstdint>

// Density and kinematic viscosity of water by temperature (°C).
struct WaterDensityRow {
    std::int16_t temperature;  // °C
    double density;            // kg/m³
};

extern const std::array<WaterDensityRow, 16> WaterDensityTable;

// The index into WaterDensityTable of each whole temperature from 0 to 100 °C, -1 where there
// is no row: every table temperature is one of them, so a lookup is an index, not a search.
extern const std::array<std::int8_t, 101> WaterDensityRowAt;

// A class of its own so that callers write WaterProperties::density(t), the name the
// calculations are described by. Defined here, where the friction loss can inline them: a call
// makes it spill and reload its figures around it.
class WaterProperties {
  public:
    WaterProperties() = delete;

    // kg/m³: the table row whose temperature equals t exactly, otherwise the quadratic through
    // (0, 999.87), (10, 999.73), (20, 998.23), at any temperature.
    static double density(float t) {
        // Exact comparison on purpose: 45.0 is a table entry, 44.9 is not.
        if (t >= 0.0f && t <= 100.0f) {
            const int whole = static_cast<int>(t);
            if (static_cast<float>(whole) == t && WaterDensityRowAt[whole] >= 0)
                return WaterDensityTable[WaterDensityRowAt[whole]].density;
        }
        // Lagrange quadratic through the rows at 0, 10 and 20 °C, used everywhere off the
        // table, extrapolating outside 0..20 °C.
        const double td = t;
        const double a = ((td - 10.0) * (td - 20.0)) * 999.87 / 200.0;
        const double b = (td * (td - 20.0)) * 999.73 / -100.0;
        const double c = (td * (td - 10.0)) * 998.23 / 200.0;
        return a + b + c;
    }

    // m²/s: 0.0178e-4 / (1 + 0.0337 t + 0.00022 t²). Not finite or not positive between about
    // -112.93 °C and -40.25 °C, where the denominator is zero or negative.
    static double kinematicViscosity(float t) {
        const double td = t;
        const double denominator = 0.00022 * (td * td) + (0.0337 * td + 1.0);
        return 1e-4 * 0.0178 * (1.0 / denominator);
    }
};

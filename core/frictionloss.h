#pragma once

#include "core/calcoutcome.h"

// One straight pipe section. D, L and K in mm, t in °C, G in m³/h.
struct FrictionLossInput {
    float D = 0;
    float L = 0;
    float t = 0;
    float G = 0;
    float K = 0;
};

struct FrictionLossResult {
    float rho = 0;     // kg/m³
    double nu = 0;     // m²/s
    float V = 0;       // m/s
    float Re = 0;      // dimensionless
    float lambda = 0;  // dimensionless
    float Hf = 0;      // Pa
};

// Velocity and friction loss of a section (Darcy-Weisbach, friction factor after Moody's
// explicit approximation). Each result is rounded to its width as soon as it is formed and
// later steps use the rounded value, so the figures match the screen to the last digit.
CalcOutcome<FrictionLossResult> computeFrictionLoss(const FrictionLossInput& input);

#pragma once

#include "core/calcoutcome.h"

// One fitting. v in m/s, t in °C.
struct LocalLossInput {
    float zeta = 0;
    float v = 0;
    float t = 0;
};

// Local loss of a fitting in Pa: zeta · rho(t) · v² / 2. Intermediates are 64-bit; only the
// result is rounded to 32 bits. Fails only on overflow.
CalcOutcome<float> computeLocalLoss(const LocalLossInput& input);

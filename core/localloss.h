#pragma once

#include "core/calcoutcome.h"

// Local loss of a fitting in Pa: zeta · rho(t) · v² / 2, v in m/s, t in °C. Intermediates are
// 64-bit; only the result is rounded to 32 bits. Fails only on overflow.
CalcOutcome<float> computeLocalLoss(float zeta, float v, float t);

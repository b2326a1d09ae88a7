#include "core/frictionloss.h"

#include <cmath>

#include "core/waterproperties.h"

namespace {

// The 32-bit rounding of every step. An infinite or NaN result means the 64-bit value was not
// finite or left the 32-bit range.
inline float single(double value) { return static_cast<float>(value); }

}  // namespace

// The figures stay in registers until the end: a std::optional<float> per step, or a result
// struct filled field by field and then copied whole into the outcome, goes through memory in
// pieces and then stalls on being read back, costing more than the arithmetic around it.
CalcOutcome<FrictionLossResult> computeFrictionLoss(const FrictionLossInput& in) {
    const double D = in.D;
    const double L = in.L;
    const double G = in.G;
    const double K = in.K;
    // Five 32-bit values add up in 64 bits without overflow: the sum is finite exactly when
    // every input is.
    if (!std::isfinite(D + L + static_cast<double>(in.t) + G + K)) return CalcFailure::Overflow;

    const float rho = single(WaterProperties::density(in.t));
    if (!std::isfinite(rho)) return CalcFailure::Overflow;

    const double nu = WaterProperties::kinematicViscosity(in.t);
    if (!std::isfinite(nu) || !(nu > 0.0)) return CalcFailure::Viscosity;

    if (D == 0.0) return CalcFailure::ZeroDiameter;

    // π as the eight-digit constant the published figures were computed with.
    const float V = single((G * 4.0 * 1000000.0) / (D * D * 3.1415926 * 3600.0));
    if (!std::isfinite(V)) return CalcFailure::Overflow;

    const float Re = single((static_cast<double>(V) * D * 0.001) / nu);
    if (!std::isfinite(Re)) return CalcFailure::Overflow;
    if (Re == 0.0f) return CalcFailure::ZeroReynolds;

    const double rootSum = K * 20000.0 / D + 1000000.0 / static_cast<double>(Re);
    if (rootSum < 0.0) return CalcFailure::NegativeRoot;
    const float lambda = single(0.0055 * (1.0 + std::pow(rootSum, 1.0 / 3.0)));
    if (!std::isfinite(lambda)) return CalcFailure::Overflow;

    const double Vd = V;
    const float Hf = single(
        (Vd * Vd * (static_cast<double>(lambda) * L) * static_cast<double>(rho)) / (2.0 * D));
    if (!std::isfinite(Hf)) return CalcFailure::Overflow;

    return FrictionLossResult{rho, nu, V, Re, lambda, Hf};
}

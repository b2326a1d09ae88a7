#include "core/frictionloss.h"

#include <cmath>
#include <optional>

#include "core/singleprecision.h"
#include "core/waterproperties.h"

CalcOutcome<FrictionLossResult> computeFrictionLoss(const FrictionLossInput& in) {
    const double D = in.D;
    const double L = in.L;
    const double G = in.G;
    const double K = in.K;
    if (!std::isfinite(D) || !std::isfinite(L) || !std::isfinite(in.t) || !std::isfinite(G) ||
        !std::isfinite(K))
        return CalcFailure::Overflow;

    FrictionLossResult r;

    std::optional<float> single = toSingle(WaterProperties::density(in.t));
    if (!single) return CalcFailure::Overflow;
    r.rho = *single;

    r.nu = WaterProperties::kinematicViscosity(in.t);
    if (!std::isfinite(r.nu) || !(r.nu > 0.0)) return CalcFailure::Viscosity;

    if (D == 0.0) return CalcFailure::ZeroDiameter;

    // π as the eight-digit constant the published figures were computed with.
    single = toSingle((G * 4.0 * 1000000.0) / (D * D * 3.1415926 * 3600.0));
    if (!single) return CalcFailure::Overflow;
    r.V = *single;

    single = toSingle((static_cast<double>(r.V) * D * 0.001) / r.nu);
    if (!single) return CalcFailure::Overflow;
    r.Re = *single;
    if (r.Re == 0.0f) return CalcFailure::ZeroReynolds;

    const double rootSum = K * 20000.0 / D + 1000000.0 / static_cast<double>(r.Re);
    if (rootSum < 0.0) return CalcFailure::NegativeRoot;
    single = toSingle(0.0055 * (1.0 + std::pow(rootSum, 1.0 / 3.0)));
    if (!single) return CalcFailure::Overflow;
    r.lambda = *single;

    const double V = r.V;
    single = toSingle((V * V * (static_cast<double>(r.lambda) * L) * static_cast<double>(r.rho)) /
                      (2.0 * D));
    if (!single) return CalcFailure::Overflow;
    r.Hf = *single;

    return r;
}

#include "core/localloss.h"

#include <cmath>
#include <optional>

#include "core/singleprecision.h"
#include "core/waterproperties.h"

CalcOutcome<float> computeLocalLoss(const LocalLossInput& input) {
    const auto [zeta, v, t] = input;
    if (!std::isfinite(zeta) || !std::isfinite(v) || !std::isfinite(t))
        return CalcFailure::Overflow;
    // The density stays at 64 bits here, unlike in the friction loss.
    const double rho = WaterProperties::density(t);
    const double vd = v;
    const double a = (vd * vd) * static_cast<double>(zeta);
    const double p = rho * a;
    const double q = p / 2.0;
    const std::optional<float> hf = toSingle(q);
    if (!hf) return CalcFailure::Overflow;
    return *hf;
}

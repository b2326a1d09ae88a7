#include "hydraulics/watersystem.h"

namespace hydraulics {

double flowFromLoad(double Q, double rho, double dt) { return 3600.0 * Q / (4.187 * rho * dt); }

double colebrookFactor(double, double) { return 0; }

SystemResult computeSystem(const std::vector<SectionInput>& sections, const SystemSettings&,
                           const PipeCatalog&) {
    SystemResult result;
    result.sections.resize(sections.size());
    return result;
}

}  // namespace hydraulics

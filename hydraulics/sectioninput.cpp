#include "hydraulics/sectioninput.h"

namespace hydraulics {

std::optional<double> parseNumberField(std::string_view) { return std::nullopt; }

std::optional<std::string> fittingsZetaText(const std::vector<FittingCount>&) {
    return std::nullopt;
}

}  // namespace hydraulics

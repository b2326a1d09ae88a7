#include "hydraulics/systemtexts.h"

namespace hydraulics {

const char* noteCode(NoteKind) { return ""; }
std::string noteText(NoteKind) { return {}; }
std::string errorCode(const SectionError&) { return {}; }
std::string errorText(const SectionError&) { return {}; }
const char* fieldName(Field) { return ""; }
std::string codeListing() { return {}; }
std::string figureText(double) { return {}; }
std::string summaryText(const SystemResult&) { return {}; }
std::array<std::string, 16> sectionRowTexts(const SectionInput&, const SectionResult&) {
    return {};
}

}  // namespace hydraulics

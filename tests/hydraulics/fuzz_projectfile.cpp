// Fuzz entry point of the project file reader and of the engine behind it. Built with clang and
// libFuzzer by run_fuzz.sh, and with the normal compiler into hydraulics_projectcorpus, which
// runs the seeds and the saved findings through it.
//
// Besides not crashing: what the reader accepts, the writer writes and the reader reads back
// to the same bytes; and the engine computes whatever sections and settings it was given.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/projectfile.h"
#include "hydraulics/systemtexts.h"
#include "hydraulics/watersystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const hydraulics::PipeCatalog catalog = hydraulics::shippedCatalog();
    const hydraulics::ProjectReadOutcome read =
        hydraulics::readProject(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.ok()) {
        if (read.reason().empty()) std::abort();
        return 0;
    }
    const std::string saved = hydraulics::writeProject(*read.project);
    const hydraulics::ProjectReadOutcome again = hydraulics::readProject(saved);
    if (!again.ok() || hydraulics::writeProject(*again.project) != saved) {
        std::fprintf(stderr, "a read project does not survive a save and a read\n");
        std::abort();
    }
    const hydraulics::SystemResult result =
        hydraulics::computeSystem(read.project->sections, read.project->settings, catalog);
    if (result.sections.size() != read.project->sections.size()) std::abort();
    for (std::size_t i = 0; i < result.sections.size(); ++i) {
        const hydraulics::SectionResult& r = result.sections[i];
        // Every section is either computed with finite figures or says why not.
        if (r.ok() ? !std::isfinite(r.Pend) || !std::isfinite(r.P) : r.errors.empty()) std::abort();
        (void)hydraulics::sectionRowTexts(read.project->sections[i], r);
    }
    (void)hydraulics::summaryText(result);
    return 0;
}

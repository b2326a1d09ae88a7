#include "hydraulics/systemworkbook.h"

namespace hydraulics {

std::string systemSheetName() { return {}; }
std::vector<tablefiles::Cell> systemWorkbookCells(const std::vector<SectionInput>&,
                                                  const SystemSettings&, const SystemResult&) {
    return {};
}
tablefiles::WriteResult writeSystemWorkbook(const std::string&, const std::vector<SectionInput>&,
                                            const SystemSettings&, const SystemResult&,
                                            tablefiles::WorkbookFormat) {
    return {};
}

}  // namespace hydraulics

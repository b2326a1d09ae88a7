#include "hydraulics/systemworkbook.h"

// Apart from the cells, so that a program that builds the cells and writes them through the
// workbook module (the window) links none of the writers.
namespace hydraulics {

tablefiles::WriteResult writeSystemWorkbook(const std::string& path,
                                            const std::vector<SectionInput>& sections,
                                            const SystemSettings& settings,
                                            const SystemResult& result,
                                            tablefiles::WorkbookFormat format) {
    return tablefiles::writeWorkbook(path, systemSheetName(),
                                     systemWorkbookCells(sections, settings, result), format);
}

}  // namespace hydraulics

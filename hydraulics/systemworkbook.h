#pragma once

#include <string>
#include <vector>

#include "hydraulics/sectioninput.h"
#include "hydraulics/watersystem.h"
#include "tablefiles/workbook.h"

// The section table and the summary of a water system as one workbook sheet: the command
// line's --table and the window's export write the same cells.
namespace hydraulics {

// The sheet's name.
std::string systemSheetName();

// Row 1 the column headers (as the command line's output), one row per section in input order
// with figures as numbers and notes and errors as Chinese sentences, a blank row, then the
// summary: key in column A, value in column B (flow, critical loop, critical loss, head in kPa
// and m, one row per unbalanced branch), and the source of the pipe data and the guidance.
std::vector<tablefiles::Cell> systemWorkbookCells(const std::vector<SectionInput>& sections,
                                                  const SystemSettings& settings,
                                                  const SystemResult& result);

// writeWorkbook of those cells (atomic: beside the target, renamed over it).
tablefiles::WriteResult writeSystemWorkbook(const std::string& path,
                                            const std::vector<SectionInput>& sections,
                                            const SystemSettings& settings,
                                            const SystemResult& result,
                                            tablefiles::WorkbookFormat format);

}  // namespace hydraulics

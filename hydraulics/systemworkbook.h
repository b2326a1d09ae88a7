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

// Row 1 the column headers of the command line's output with their units ("G (m³/h)") and two
// more, 说明 and 错误原因; one
// row per section in input order, as the command line writes it (figures as numbers, note and
// error as codes), then its notes and errors as Chinese sentences. A blank row, then the
// summary: the summary's key in column A, its value in B, a Chinese label in C (unbalanced
// rows: branch id, percent, extra Pa, Kv in B–E and the branching point in F); the head's
// worked steps, the settings, and the sources of the pipe sizes, roughness and guidance.
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

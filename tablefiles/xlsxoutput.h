#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tablefiles/sheetcells.h"
#include "tablefiles/workbook.h"

// An .xlsx workbook with one sheet, written by libxlsxwriter.
namespace tablefiles {

constexpr std::uint32_t XlsxRows = 1048576;
constexpr std::uint32_t XlsxColumns = 16384;

// Writes the workbook to filePath (a file of ours that may be overwritten); cells as
// sheetCells() gives them, within XlsxRows × XlsxColumns.
WriteResult writeXlsxFile(const std::string& filePath, const std::string& sheetName,
                          const std::vector<SheetCell>& cells);

}  // namespace tablefiles

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tablefiles/sheetcells.h"

// The "Workbook" stream of an Excel 97-2003 workbook (BIFF8) with one sheet.
namespace tablefiles {

constexpr std::uint32_t XlsRows = 65536;
constexpr std::uint32_t XlsColumns = 256;

// cells as sheetCells() gives them, all within XlsRows × XlsColumns and with texts of at most
// 32,767 UTF-16 code units; sheetName a valid sheet name.
std::vector<std::uint8_t> xlsWorkbookStream(const std::string& sheetName,
                                            const std::vector<SheetCell>& cells);

}  // namespace tablefiles

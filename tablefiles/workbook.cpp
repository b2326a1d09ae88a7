#include "tablefiles/workbook.h"

#include <algorithm>

#include "tablefiles/compoundfile.h"
#include "tablefiles/pendingfile.h"
#include "tablefiles/sheetcells.h"
#include "tablefiles/utf16text.h"
#include "tablefiles/xlswriter.h"
#include "tablefiles/xlsxoutput.h"

namespace tablefiles {
namespace {

// The longest text a cell of either format holds, in UTF-16 code units.
constexpr std::size_t MaxCellText = 32767;
constexpr std::size_t MaxSheetName = 31;

bool validSheetName(const std::string& name) {
    const std::size_t length = utf16Length(name);
    return length >= 1 && length <= MaxSheetName &&
           name.find_first_of("[]:*?/\\") == std::string::npos && name.front() != '\'' &&
           name.back() != '\'';
}

WriteResult checkCells(const std::vector<SheetCell>& cells, WorkbookFormat format) {
    const std::uint32_t rows = format == WorkbookFormat::Xls ? XlsRows : XlsxRows;
    const std::uint32_t columns = format == WorkbookFormat::Xls ? XlsColumns : XlsxColumns;
    for (const SheetCell& cell : cells) {
        if (cell.row >= rows || cell.column >= columns)
            return {WriteFailure::TooManyRows, 0,
                    "cell at row " + std::to_string(cell.row + 1) + ", column " +
                        std::to_string(cell.column + 1) + " is beyond the sheet"};
        if (utf16Length(cell.source->text) > MaxCellText)
            return {WriteFailure::CellTooLong, 0,
                    "text of row " + std::to_string(cell.row + 1) + ", column " +
                        std::to_string(cell.column + 1) + " is too long"};
    }
    return {};
}

WriteResult writeXls(PendingFile& file, const std::string& sheetName,
                     const std::vector<SheetCell>& cells) {
    const std::vector<std::uint8_t> stream = xlsWorkbookStream(sheetName, cells);
    const auto container = compoundFile("Workbook", stream);
    if (!container) return {WriteFailure::Other, 0, "the compound file could not be built"};
    return file.write(*container);
}

}  // namespace

WriteResult writeWorkbook(const std::string& path, const std::string& sheetName,
                          const std::vector<Cell>& cells, WorkbookFormat format) {
    if (WriteResult target = checkTarget(path); !target.ok()) return target;
    if (!validSheetName(sheetName))
        return {WriteFailure::Other, 0, "invalid sheet name \"" + sheetName + "\""};
    // Refused before anything is written: the file would otherwise lose rows or text.
    const std::vector<SheetCell> sheet = sheetCells(cells);
    if (WriteResult limits = checkCells(sheet, format); !limits.ok()) return limits;

    PendingFile file(path);
    if (WriteResult opened = file.open(); !opened.ok()) return opened;
    WriteResult written = format == WorkbookFormat::Xls
                              ? writeXls(file, sheetName, sheet)
                              : writeXlsxFile(file.temporaryPath(), sheetName, sheet);
    if (!written.ok()) return written;
    return file.commit();
}

}  // namespace tablefiles

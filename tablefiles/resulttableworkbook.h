#pragma once

#include <string>
#include <vector>

#include "tablefiles/workbook.h"

// The layout of one result table in a workbook: headers in C1 and D1, one row per
// calculation below them, and the total under the last one.
namespace tablefiles {

enum class TableKind { Friction, Local };

struct TableRow {
    std::string parameterLine;  // the inputs of one calculation, as the table lists them
    std::string resultText;     // its loss in Pa
};

// The name of the one sheet of a result table's workbook.
std::string defaultSheetName();

// Columns A and B stay empty. The total row (label in C, totalText as given in D) follows
// only when there is at least one row.
std::vector<Cell> resultTableCells(TableKind kind, const std::vector<TableRow>& rows,
                                   const std::string& totalText);

}  // namespace tablefiles

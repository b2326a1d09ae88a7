#pragma once

#include <string>
#include <vector>

#include "core/lossrecord.h"
#include "tablefiles/workbook.h"

// The layout of one result table in a workbook: headers in C1 and D1, one row per
// calculation below them, and the total under the last one.
namespace tablefiles {

// The name of the one sheet of a result table's workbook.
std::string defaultSheetName();

// Columns A and B stay empty. The total row (label in C, totalText as given in D) follows
// only when there is at least one row.
std::vector<Cell> resultTableCells(TableKind kind, const std::vector<ResultRowTexts>& rows,
                                   const std::string& totalText);

}  // namespace tablefiles

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tablefiles/workbook.h"

// What the cells of writeWorkbook become, shared by both file formats.
namespace tablefiles {

// A cell text read by the project's number rule: a whole text of optional sign, digits with
// an optional decimal point (at least one digit) and an optional exponent is a number.
struct CellValue {
    bool isNumber = false;
    double number = 0;
    int decimals = 0;  // a number shown with this many fixed decimals; 0 shows General
};

CellValue cellValue(std::string_view text, NumberStyle style);

// The number format code of `decimals` fixed decimals, "0.000" for 3.
std::string fixedFormatCode(int decimals);

// Texts with more decimals than this show General: the spreadsheets offer no more.
constexpr int MaxFixedDecimals = 30;

struct SheetCell {
    std::uint32_t row;
    std::uint16_t column;
    CellValue value;
    const Cell* source;  // the caller's cell, whose text a text cell holds
};

// The cells ordered by row, then column; one per place (the last given wins); empty texts
// left out. The result points into `cells`.
std::vector<SheetCell> sheetCells(const std::vector<Cell>& cells);

}  // namespace tablefiles

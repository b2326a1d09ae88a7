#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tablefiles {

// How a cell whose text reads as a decimal number is shown. Fixed: a text with k decimals
// (and no exponent) shows exactly k decimals, so "12.000" stays "12.000". General: the
// spreadsheet's own general form, except that decimals ending in 0 ("3.750") keep their k
// decimals, since the general form would drop the zero that was written.
enum class NumberStyle { Fixed, General };

// One cell of the sheet. Row and column are 0-based; text is UTF-8. A text that reads as a
// decimal number becomes a number cell, any other text a text cell; an empty text leaves the
// cell empty. Of two cells at the same place the later one in the list wins.
struct Cell {
    std::uint32_t row = 0;
    std::uint16_t column = 0;
    std::string text;
    NumberStyle style = NumberStyle::Fixed;
};

enum class WorkbookFormat { Xls, Xlsx };

// .xlsx in any letter case → Xlsx; every other ending, none included → Xls (the default
// file type of the save dialogs). Inline, so that choosing the format does not bring the
// writers into the window program.
inline WorkbookFormat workbookFormatFor(std::string_view path) {
    constexpr std::string_view Extension = ".xlsx";
    if (path.size() < Extension.size()) return WorkbookFormat::Xls;
    const std::string_view end = path.substr(path.size() - Extension.size());
    const bool xlsx = std::equal(end.begin(), end.end(), Extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
    return xlsx ? WorkbookFormat::Xlsx : WorkbookFormat::Xls;
}

enum class WriteFailure {
    None,
    FolderMissing,     // the target's folder does not exist (or a part of it is a file)
    DriveLetter,       // "E:\..." on a system without drive letters
    IsFolder,          // the path names a folder
    PermissionDenied,  // the folder or the existing file may not be written, or is read-only
    NoSpace,           // disk full or quota exceeded
    TooManyRows,       // a cell lies beyond the last row or column of the format
    CellTooLong,       // a cell text is longer than 32,767 UTF-16 code units
    Other,             // see systemError (an errno value, or 0) and detail
};

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    int systemError = 0;
    std::string detail;  // for logs, in English; the user's message is made by the caller

    bool ok() const { return failure == WriteFailure::None; }
};

// Writes one sheet named sheetName holding cells (in any order) to path, used verbatim: no
// extension is added and no folder created. The workbook is written beside the target and
// renamed over it, so an existing file at path is either replaced whole or left as it was;
// a replaced file keeps its permission bits.
WriteResult writeWorkbook(const std::string& path, const std::string& sheetName,
                          const std::vector<Cell>& cells, WorkbookFormat format);

using WorkbookWriter = WriteResult (*)(const std::string& path, const std::string& sheetName,
                                       const std::vector<Cell>& cells, WorkbookFormat format);

// The window program loads writeWorkbook from the module quorvel-workbooks when it first
// saves a workbook, so that libgsf and libxlsxwriter, with the libraries they load in turn,
// cost its start nothing. The module's one entry point, by this name, returns it.
inline constexpr const char* WorkbookWriterEntry = "quorvelWorkbookWriter";

}  // namespace tablefiles

// Writes one workbook for test_workbooks.py and prints "ok" or the failure and its errno.
//
//   workbook_fixture cells PATH [--sheet NAME] [--as xls|xlsx]
//       stdin: one cell a line, ROW TAB COLUMN TAB STYLE(F|G) TAB TEXT, 0-based; in TEXT
//       \t, \n, \r and \\ stand for a tab, a line feed, a carriage return and a backslash.
//   workbook_fixture table friction|local PATH TOTAL
//       stdin: one table row a line, PARAMETERS TAB RESULT (escaped the same way).
// Without --as the format follows the path's ending. Runs in the locale of the environment.

#include <clocale>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tablefiles/resulttableworkbook.h"
#include "tablefiles/workbook.h"

using namespace tablefiles;

namespace {

std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out.push_back(s[i]);
            continue;
        }
        const char c = s[++i];
        out.push_back(c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c);
    }
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out(1);
    for (const char c : line) {
        if (c == '\t')
            out.emplace_back();
        else
            out.back().push_back(c);
    }
    return out;
}

const char* failureName(WriteFailure f) {
    switch (f) {
        case WriteFailure::None:
            return "ok";
        case WriteFailure::FolderMissing:
            return "FolderMissing";
        case WriteFailure::DriveLetter:
            return "DriveLetter";
        case WriteFailure::IsFolder:
            return "IsFolder";
        case WriteFailure::PermissionDenied:
            return "PermissionDenied";
        case WriteFailure::NoSpace:
            return "NoSpace";
        case WriteFailure::TooManyRows:
            return "TooManyRows";
        case WriteFailure::CellTooLong:
            return "CellTooLong";
        case WriteFailure::Other:
            return "Other";
    }
    return "?";
}

int usage() {
    std::fprintf(stderr,
                 "usage: workbook_fixture cells PATH [--sheet NAME] [--as xls|xlsx]\n"
                 "       workbook_fixture table friction|local PATH TOTAL\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // The user's locale, as a Qt program takes it.
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) return usage();
    std::string path, sheet = defaultSheetName();
    std::vector<Cell> cells;
    std::optional<WorkbookFormat> format;
    std::string line;
    if (args[0] == "cells") {
        path = args[1];
        for (std::size_t i = 2; i + 1 < args.size(); i += 2) {
            if (args[i] == "--sheet")
                sheet = args[i + 1];
            else if (args[i] == "--as")
                format = args[i + 1] == "xlsx" ? WorkbookFormat::Xlsx : WorkbookFormat::Xls;
            else
                return usage();
        }
        while (std::getline(std::cin, line)) {
            const auto f = fields(line);
            if (f.size() != 4) return usage();
            cells.push_back({static_cast<std::uint32_t>(std::stoul(f[0])),
                             static_cast<std::uint16_t>(std::stoul(f[1])), unescape(f[3]),
                             f[2] == "G" ? NumberStyle::General : NumberStyle::Fixed});
        }
    } else if (args[0] == "table" && args.size() == 4) {
        path = args[2];
        std::vector<ResultRowTexts> rows;
        while (std::getline(std::cin, line)) {
            const auto f = fields(line);
            if (f.size() != 2) return usage();
            rows.push_back({unescape(f[0]), unescape(f[1])});
        }
        cells = resultTableCells(args[1] == "local" ? TableKind::Local : TableKind::Friction, rows,
                                 unescape(args[3]));
    } else {
        return usage();
    }
    const WriteResult result =
        writeWorkbook(path, sheet, cells, format.value_or(workbookFormatFor(path)));
    std::printf("%s %d\n", failureName(result.failure), result.systemError);
    if (!result.ok()) std::fprintf(stderr, "%s\n", result.detail.c_str());
    return result.ok() ? 0 : 1;
}

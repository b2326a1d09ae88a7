"""Prints every cell of the first sheet of a workbook as JSON, read by an independent reader:
xlrd for .xls, openpyxl for .xlsx. Used by the table tests to check what the window saved."""
import json
import sys

path = sys.argv[1]
if path.lower().endswith(".xlsx"):
    import openpyxl

    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    cells = []
    for row in sheet.iter_rows():
        for c in row:
            if c.value is None:
                continue
            kind = "number" if isinstance(c.value, (int, float)) else "text"
            cells.append([c.row - 1, c.column - 1, kind, str(c.value), c.number_format])
    print(json.dumps({"sheet": sheet.title, "rows": sheet.max_row, "cells": cells}, ensure_ascii=False))
else:
    import xlrd

    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    cells = []
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            kind = "number" if cell.ctype == xlrd.XL_CELL_NUMBER else "text"
            fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
            value = repr(cell.value) if kind == "number" else cell.value
            cells.append([r, c, kind, value, fmt])
    print(json.dumps({"sheet": sheet.name, "rows": sheet.nrows, "cells": cells}, ensure_ascii=False))

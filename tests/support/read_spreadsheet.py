#!/usr/bin/python3
"""Reads a spreadsheet file the way a spreadsheet program would, with readers that share nothing with
Locavia's writers (openpyxl for XLSX, Python's csv module for CSV), and prints what it holds as JSON.

    read_spreadsheet.py FILE.xlsx   -> {"sheets": [{"name", "freeze", "autofilter", "widths", "rows"}]}
    read_spreadsheet.py FILE.csv    -> {"bom", "crlf", "rows"}

An XLSX cell is {"v": value, "t": "n" | "s", "f": number format, "b": bold} or null when empty.
"""
import csv
import io
import json
import sys


def read_xlsx(path):
    import openpyxl
    from openpyxl.utils import get_column_letter

    workbook = openpyxl.load_workbook(path)
    sheets = []
    for sheet in workbook.worksheets:
        rows = []
        for row in sheet.iter_rows():
            cells = []
            for cell in row:
                if cell.value is None:
                    cells.append(None)
                    continue
                kind = "n" if isinstance(cell.value, (int, float)) else "s"
                cells.append({"v": cell.value, "t": kind, "f": cell.number_format, "b": bool(cell.font.b)})
            while cells and cells[-1] is None:
                cells.pop()
            rows.append(cells)
        widths = {}
        for index in range(1, sheet.max_column + 1):
            letter = get_column_letter(index)
            dimension = sheet.column_dimensions.get(letter)
            widths[letter] = dimension.width if dimension is not None and dimension.customWidth else None
        sheets.append({
            "name": sheet.title,
            "freeze": sheet.freeze_panes,
            "autofilter": sheet.auto_filter.ref,
            "widths": widths,
            "rows": rows,
        })
    return {"sheets": sheets}


def read_csv(path):
    with open(path, "rb") as raw:
        data = raw.read()
    bom = data.startswith(b"\xef\xbb\xbf")
    text = data.decode("utf-8-sig")
    # Records end with CR LF (a lone line feed belongs inside a quoted field).
    crlf = text.endswith("\r\n")
    rows = list(csv.reader(io.StringIO(text, newline=""), delimiter=";", quotechar='"', strict=True))
    return {"bom": bom, "crlf": crlf, "rows": rows}


def main():
    path = sys.argv[1]
    result = read_xlsx(path) if path.lower().endswith(".xlsx") else read_csv(path)
    json.dump(result, sys.stdout, ensure_ascii=False, default=str)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Writes the import workbooks (".xls", BIFF8) and text files described by a JSON source.

    /usr/bin/python3 data/workbooks.py SOURCE.json OUTPUT_FOLDER

A source lists workbooks and text files:

    {"workbooks": [{"file": "电话模板.xls", "type": "电话", "note": "...",
                    "headers": ["文件名", "电话"], "rows": [["张三", 13800138000]]}],
     "texts": [{"file": "lines.txt", "lines": ["第一行", "第二行"]}]}

Every workbook gets the content type in cell (1, 1), the optional note in cell (1, 2), the
headers in row 2 followed by the ten pass-through headers 传值1 … 传值10, and its rows from
row 3 on. A cell value is a text, a number, or {"date": "YYYY-MM-DD"}. The output is the same
byte for byte every time, so the generated files can be compared with the committed ones.

Needs xlwt (Debian package python3-xlwt).
"""

import datetime
import json
import os
import sys

import xlwt

PASS_THROUGH_HEADERS = ["传值%d" % n for n in range(1, 11)]

TYPE_STYLE = xlwt.easyxf("font: bold on, colour dark_red")
NOTE_STYLE = xlwt.easyxf("font: italic on, colour grey50")
HEADER_STYLE = xlwt.easyxf("font: bold on; pattern: pattern solid, fore_colour light_turquoise;"
                           "borders: bottom thin")
DATE_STYLE = xlwt.easyxf(num_format_str="yyyy-mm-dd")


def write_cell(sheet, row, column, value):
    """Writes one value; row and column count from 0 as xlwt counts."""
    if isinstance(value, dict) and "date" in value:
        sheet.write(row, column, datetime.date.fromisoformat(value["date"]), DATE_STYLE)
    elif value is None or value == "":
        return
    else:
        sheet.write(row, column, value)


def new_workbook():
    return xlwt.Workbook(encoding="utf-8")


def fill_sheet(sheet, type_name, headers, rows, note=None, pass_through=True):
    """Lays out one sheet after the import template of its content type."""
    sheet.write(0, 0, type_name, TYPE_STYLE)
    if note:
        sheet.write(0, 1, note, NOTE_STYLE)
    all_headers = list(headers) + (PASS_THROUGH_HEADERS if pass_through else [])
    for column, header in enumerate(all_headers):
        sheet.write(1, column, header, HEADER_STYLE)
        sheet.col(column).width = 256 * max(10, min(40, 2 * len(header) + 4))
    for offset, row in enumerate(rows):
        for column, value in enumerate(row):
            write_cell(sheet, 2 + offset, column, value)


def write_workbook(path, type_name, headers, rows, note=None, pass_through=True):
    book = new_workbook()
    fill_sheet(book.add_sheet("Sheet1"), type_name, headers, rows, note, pass_through)
    book.save(path)


def write_text(path, lines):
    with open(path, "wb") as out:
        out.write("".join(line + "\r\n" for line in lines).encode("utf-8"))


def generate(source, folder):
    with open(source, encoding="utf-8") as f:
        source_data = json.load(f)
    os.makedirs(folder, exist_ok=True)
    for book in source_data.get("workbooks", []):
        write_workbook(os.path.join(folder, book["file"]), book["type"], book["headers"],
                       book.get("rows", []), book.get("note"), book.get("passThrough", True))
    for text in source_data.get("texts", []):
        write_text(os.path.join(folder, text["file"]), text["lines"])


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: workbooks.py SOURCE.json OUTPUT_FOLDER")
    generate(sys.argv[1], sys.argv[2])

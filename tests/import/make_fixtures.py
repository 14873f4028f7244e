#!/usr/bin/python3
"""Writes the workbooks and damaged files that the import tests read.

    /usr/bin/python3 tests/import/make_fixtures.py OUTPUT_FOLDER

Each fixture shows one behaviour of the import; the tests name them by file.
"""

import datetime
import io
import os
import struct
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data"))
import workbooks  # noqa: E402
import xlwt  # noqa: E402
from xlwt import CompoundDoc  # noqa: E402

OUT = sys.argv[1] if len(sys.argv) == 2 else sys.exit("usage: make_fixtures.py OUTPUT_FOLDER")
os.makedirs(OUT, exist_ok=True)


def path(name):
    return os.path.join(OUT, name)


def sheet(name, type_name, headers, rows, pass_through=True):
    workbooks.write_workbook(path(name), type_name, headers, rows, None, pass_through)


def pass_values(tag):
    return ["%s-p%d" % (tag, n) for n in range(1, 11)]


# One workbook per content type; each also shows where its row test ends the import.

sheet("phone.xls", "电话", ["文件名", "电话"], [
    ["p1", 13800138000] + pass_values("p1"),
    ["p2", "010-62345678"],
    ["p3", 10086],
    [],                       # row 6 is empty: the import ends here
    ["never", 1],
])

sheet("single-text-gap.xls", "单项文本", ["文件名", "文本"], [
    ["t1", "第一行文本"],
    ["", "没有文件名"],        # column 1 empty: the import ends here
    ["t3", "never read"],
])

sheet("url.xls", "网址", ["文件名", "网址"], [["u1", "https://www.example.com/?a=1&b=二"] + pass_values("u1")])

sheet("email.xls", "邮箱", ["文件名", "邮箱"], [["e1", "someone@example.com"] + pass_values("e1")])

sheet("sms.xls", "短信", ["文件名", "手机号码", "信息"], [
    ["s1", "10086", "CXHF"] + pass_values("s1"),
    ["s2", "", "没有号码"],    # no mobile number: the import ends here
    ["s3", "10010", "never"],
])

sheet("wifi.xls", "Wifi配置", ["文件名", "账号", "密码", "加密类型"], [
    ["w1", "office;5G", "p@ss:w,rd\\1", "WPA2-AES"] + pass_values("w1"),
    ["w2", "open", "", "WEP"],  # empty password: the import ends here
    ["w3", "guest", "88888888", "WEP"],
])

sheet("mecard.xls", "名片--MECARD", ["文件名", "姓名", "公司", "职位", "电话", "QQ", "邮箱", "地址", "个人主页"], [
    ["m1", "张三", "公司A", "经理", "13800138000", 10001, "zs@example.com", "北京", "https://a.example.com"]
    + pass_values("m1"),
    ["", "无文件名"],                                # kept, with an empty file name
    ["", "", "", "", "", "", "", "", "only column 9"],  # columns 1 to 8 empty: the import ends here
    ["m4", "never"],
])

sheet("vcard.xls", "名片--VCARD", ["文件名", "姓名", "昵称", "公司", "职位", "工作电话", "家庭电话", "手机",
                                  "工作传真", "家庭传真", "工作地址", "家庭地址", "QQ", "邮箱", "个人主页"], [
    ["v1", "李四", "小李", "公司B", "总监", "010-1", "010-2", 13900139000, "010-3", "010-4", "工作地址1", "家庭地址1",
     10002, "ls@example.com", "https://b.example.com"] + pass_values("v1"),
    ["", "", "", "", "", "", "", "", "", "", "", "", "", "only-email@example.com"],  # column 14: kept
    ["", "", "", "", "", "", "", "", "", "", "", "", "", "", "only column 15"],      # the import ends here
])

# "多项文本": two items before the ten pass-through headers (E = 14, L = 3).
sheet("multi-text.xls", "多项文本", ["文件名", "姓名", "电话"], [
    ["x1", "王五", 13700137000] + pass_values("x1"),
    ["x2", "赵六"],            # an empty item value still gives its line
])

# Nine headers after column 1: no items, and the pass-through columns start at column 1.
sheet("multi-text-nine-headers.xls", "多项文本", ["文件名"] + ["传值%d" % n for n in range(1, 10)],
      [["n1"] + ["v%d" % n for n in range(2, 11)]], pass_through=False)

# Eight headers after column 1: a pass-through column would lie left of column 1.
sheet("multi-text-eight-headers.xls", "多项文本", ["文件名"] + ["传值%d" % n for n in range(1, 9)],
      [["bad", "x"]], pass_through=False)

# The type name is compared exactly.
for name, type_name in [("type-trailing-space.xls", "电话 "), ("type-lower-case.xls", "wifi配置"),
                        ("type-empty.xls", "")]:
    sheet(name, type_name, ["文件名", "电话"], [["a", "1"]])

# File names repeat once trimmed: " 甲\t" is stored as "甲".
sheet("repeated-names.xls", "单项文本", ["文件名", "文本"], [["甲", "1"], ["乙", "2"], [" 甲\t", "3"]])

# Trimming removes codes 0 to 32 at both ends and nothing else.
sheet("trimming.xls", "单项文本", ["文件名", "文本"], [
    ["  f1\t", "  138\t", "\u3000全角空格\u3000", "\x01\x1f控制符\x7f", " 中间 的 空格 "],
])

# Cell values of every kind, in column 2 from row 3 on (column 1 holds a label).
book = workbooks.new_workbook()
ws = book.add_sheet("Sheet1")
ws.write(0, 0, "单项文本")
cells = [
    ("whole", 13800138000),
    ("one", 1),
    ("one-float", 1.0),
    ("tenth", 0.1),
    ("negative", -3.25),
    ("big", 1e20),
    ("twelve-digits", 123456789012),
    ("small", 0.0001),
    ("text-digits", "007"),
    ("date", (datetime.date(2024, 3, 5), "yyyy-mm-dd")),
    ("datetime", (datetime.datetime(2024, 3, 5, 14, 7, 9), "yyyy-mm-dd hh:mm:ss")),
    ("time", (datetime.time(14, 7, 9), "hh:mm:ss")),
    ("emoji", "😀;:,\\\""),
    ("empty", None),
]
for row, (label, value) in enumerate(cells, start=2):
    ws.write(row, 0, label)
    if isinstance(value, tuple):
        ws.write(row, 1, value[0], xlwt.easyxf(num_format_str=value[1]))
    elif value is not None:
        ws.write(row, 1, value)
book.save(path("cells.xls"))

# Texts of up to 8000 bytes each run over at most one record boundary of the string table.
sheet("long-cells.xls", "单项文本", ["文件名", "文本"],
      [["c%d" % i, chr(0x4E00 + i) * 3999 + "尾"] for i in range(20)]
      + [["a%d" % i, ("b%02d" % i) * 2000] for i in range(20)] + [["last", "末"]])

# The longest text a cell can hold (32767 characters), in Chinese and in ASCII: both run
# over several record boundaries.
sheet("large-cell.xls", "单项文本", ["文件名", "文本"], [["big", "汉" * 32766 + "尾"], ["after", "后"]])
sheet("large-ascii-cell.xls", "单项文本", ["文件名", "文本"], [["big", "x" * 32767]])


# An Excel 5.0/95 workbook (BIFF5) in code page 936, written record by record.
def record(kind, data):
    return struct.pack("<HH", kind, len(data)) + data


def biff5_workbook(cells_by_position):
    def bof(kind):
        return record(0x0809, struct.pack("<HHHH", 0x0500, kind, 0x096C, 0x07C9))

    sheet_body = bof(0x0010)
    rows = max(r for r, _ in cells_by_position) + 1
    cols = max(c for _, c in cells_by_position) + 1
    sheet_body += record(0x0200, struct.pack("<HHHHH", 0, rows, 0, cols, 0))
    for (r, c), value in sorted(cells_by_position.items()):
        if isinstance(value, str):
            text = value.encode("gbk")
            sheet_body += record(0x0204, struct.pack("<HHHH", r, c, 15, len(text)) + text)
        else:
            sheet_body += record(0x0203, struct.pack("<HHHd", r, c, 15, value))
    sheet_body += record(0x000A, b"")

    name = "工作表1".encode("gbk")
    xf = struct.pack("<HHHHHHHH", 0, 0, 0x0001, 0, 0, 0, 0, 0)  # font 0, General, cell style
    globals_part = [bof(0x0005), record(0x0042, struct.pack("<H", 936))]
    for _ in range(4):
        globals_part.append(record(0x0031, struct.pack("<HHHHHBBBB", 200, 0, 0x7FFF, 400, 0, 0, 0, 0, 0)
                                   + struct.pack("<B", 5) + b"Arial"))
    globals_part += [record(0x00E0, xf)] * 16
    boundsheet_size = 4 + 4 + 2 + 1 + len(name)
    offset = sum(len(part) for part in globals_part) + boundsheet_size + 4
    globals_part.append(record(0x0085, struct.pack("<IHB", offset, 0, len(name)) + name))
    globals_part.append(record(0x000A, b""))
    return b"".join(globals_part) + sheet_body


def save_compound(file, stream, stream_name="Workbook"):
    buffer = io.BytesIO()
    CompoundDoc.XlsDoc().save(buffer, stream)
    data = bytearray(buffer.getvalue())
    if stream_name != "Workbook":
        old = "Workbook\x00".encode("utf-16-le")
        new = (stream_name + "\x00").encode("utf-16-le")
        at = data.index(old)
        data[at:at + 64] = new + b"\x00" * (64 - len(new))
        struct.pack_into("<H", data, at + 64, len(new))
    with open(file, "wb") as out:
        out.write(data)


save_compound(path("biff5-gbk.xls"), biff5_workbook({
    (0, 0): "电话", (1, 0): "文件名", (1, 1): "电话",
    (2, 0): "旧版一", (2, 1): 13800138000.0,
    (3, 0): "旧版二", (3, 1): "010-62345678",
}), "Book")


# A workbook protected by a password: its globals carry a FILEPASS record (RC4).
def with_filepass(stream):
    filepass = record(0x002F, struct.pack("<HHH", 1, 1, 1) + bytes(48))
    kind, length = struct.unpack_from("<HH", stream, 0)
    assert kind == 0x0809
    first = 4 + length
    out = bytearray(stream[:first] + filepass + stream[first:])
    # Sheet positions in BOUNDSHEET records move by the inserted record.
    at = 0
    while at < len(out):
        kind, length = struct.unpack_from("<HH", out, at)
        if kind == 0x0085:
            (position,) = struct.unpack_from("<I", out, at + 4)
            struct.pack_into("<I", out, at + 4, position + len(filepass))
        if kind == 0x000A:
            break
        at += 4 + length
    return bytes(out)


protected = workbooks.new_workbook()
workbooks.fill_sheet(protected.add_sheet("Sheet1"), "电话", ["文件名", "电话"], [["a", "1"]])
save_compound(path("encrypted.xls"), with_filepass(protected.get_biff_data()))

# Formula cells, with the results a spreadsheet program stored when it last calculated them.
def with_formula_results(stream, results):
    """Puts `results` (in cell order) into the FORMULA records of the stream; a text result
    gets the STRING record that follows its formula."""
    out = bytearray()
    at = 0
    pending = list(results)
    while at < len(stream):
        kind, length = struct.unpack_from("<HH", stream, at)
        body = bytearray(stream[at + 4:at + 4 + length])
        extra = b""
        if kind == 0x0006 and pending:
            value = pending.pop(0)
            if isinstance(value, bool):
                body[6:14] = struct.pack("<BBBBBBH", 1, 0, int(value), 0, 0, 0, 0xFFFF)
            elif isinstance(value, (int, float)):
                body[6:14] = struct.pack("<d", value)
            elif isinstance(value, tuple):  # ("error", code)
                body[6:14] = struct.pack("<BBBBBBH", 2, 0, value[1], 0, 0, 0, 0xFFFF)
            elif value == "":
                body[6:14] = struct.pack("<BBBBBBH", 3, 0, 0, 0, 0, 0, 0xFFFF)
            else:
                body[6:14] = struct.pack("<BBBBBBH", 0, 0, 0, 0, 0, 0, 0xFFFF)
                text = value.encode("utf-16-le")
                extra = record(0x0207, struct.pack("<HB", len(text) // 2, 1) + text)
        out += struct.pack("<HH", kind, len(body)) + body + extra
        at += 4 + length
    return bytes(out)


formulas = workbooks.new_workbook()
ws = formulas.add_sheet("Sheet1")
ws.write(0, 0, "单项文本")
formula_cells = [("number", 13800138000), ("fraction", 0.5), ("text", "公式结果😀"), ("true", True),
                 ("error", ("error", 0x07)), ("empty", "")]
for row, (label, _) in enumerate(formula_cells, start=2):
    ws.write(row, 0, label)
    ws.write(row, 1, xlwt.Formula("A1"))
ws.write(2 + len(formula_cells), 0, xlwt.Formula("A1"))  # a file name from a formula
ws.write(2 + len(formula_cells), 1, "plain")
save_compound(path("formulas.xls"), with_formula_results(
    formulas.get_biff_data(), [value for _, value in formula_cells] + ["公式文件名"]))

# Files that are no workbook at all, or only part of one.
with open(path("not-a-workbook.xls"), "wb") as out:
    out.write("这不是工作簿，只是一段文字。\r\n".encode("utf-8"))
open(path("empty.xls"), "wb").close()
with open(path("phone.xls"), "rb") as whole, open(path("truncated.xls"), "wb") as out:
    data = whole.read()
    out.write(data[: len(data) // 2])
with zipfile.ZipFile(path("xlsx-renamed.xls"), "w") as archive:
    archive.writestr("[Content_Types].xml", "<Types/>")
    archive.writestr("xl/workbook.xml", "<workbook/>")

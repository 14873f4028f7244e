#!/usr/bin/python3
"""Writes the workbook the import benchmark reads: a "名片--VCARD" sheet filled to the last
row an .xls sheet has (65,536 rows: type, headers and 65,534 cards), all 25 columns filled.
The thirteen text columns of a card are distinct texts, the mobile and QQ numbers are numbers
and the ten pass-through columns repeat a few batch labels, about 850,000 distinct texts in
all (FreeXL reads at most 1,048,576).

    /usr/bin/python3 bench/make_import_workbook.py OUTPUT.xls
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
import workbooks  # noqa: E402

HEADERS = ["文件名", "姓名", "昵称", "公司", "职位", "工作电话", "家庭电话", "手机", "工作传真", "家庭传真",
           "工作地址", "家庭地址", "QQ", "邮箱", "个人主页"]
LAST_ROW = 65535  # rows count from 0 here


def card(n):
    return ["名片%06d" % n, "张三%d" % n, "小张%d" % n, "维尔昆科技有限公司第%d分部" % (n % 500), "工程师",
            "010-%08d" % n, "021-%08d" % n, 13800000000 + n, "010-9%07d" % n, "021-9%07d" % n,
            "北京市海淀区中关村大街%d号" % n, "北京市朝阳区建国路%d号" % n, 100000 + n,
            "user%d@example.com" % n, "https://www.example.com/u/%d" % n] + ["第%d批-%d" % (n % 50, k) for k in range(1, 11)]


def main(path):
    book = workbooks.new_workbook()
    sheet = book.add_sheet("Sheet1")
    workbooks.fill_sheet(sheet, "名片--VCARD", HEADERS, [])
    for row in range(2, LAST_ROW + 1):
        values = card(row - 1)
        target = sheet.row(row)
        for column, value in enumerate(values):
            target.write(column, value)
        if row % 1000 == 0:
            sheet.flush_row_data()
    book.save(path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_import_workbook.py OUTPUT.xls")
    main(sys.argv[1])

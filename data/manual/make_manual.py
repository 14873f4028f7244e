#!/usr/bin/python3
"""Turns the manual's source text into the RTF document delivered as "操作说明.doc".

    /usr/bin/python3 data/manual/make_manual.py data/manual/manual.md data/manual/操作说明.doc

The source is plain text with a few marks: "# " starts the title, "## " a section heading,
"- " a bullet item, "1. " (any number) a numbered item; other lines are paragraphs, and
blank lines separate them. The RTF is pure ASCII: every other character is written as a
\\uN escape, so any word processor shows the Chinese text whatever its code page.
"""

import re
import sys

HEADER = (r"{\rtf1\ansi\ansicpg936\deff0\uc1"
          r"{\fonttbl{\f0\fnil\fcharset134 SimSun;}}"
          r"{\colortbl;\red20\green87\blue199;}"
          "\n{\\info{\\title %s}}\n"
          r"\paperw11906\paperh16838\margl1440\margr1440\margt1440\margb1440"
          "\n")


def escape(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif 32 <= code < 127:
            out.append(ch)
        elif code > 0xFFFF:
            code -= 0x10000
            for unit in (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF)):
                out.append("\\u%d?" % (unit - 0x10000))
        else:
            out.append("\\u%d?" % (code if code < 0x8000 else code - 0x10000))
    return "".join(out)


def paragraphs(lines):
    """Groups the source lines into (kind, text) blocks."""
    block = []
    for line in lines + [""]:
        line = line.rstrip()
        mark = re.match(r"(#{1,2}) |- |(\d+)\. ", line)
        if not line or mark:
            if block:
                yield "text", "".join(block)
                block = []
        if not line:
            continue
        if line.startswith("# "):
            yield "title", line[2:]
        elif line.startswith("## "):
            yield "heading", line[3:]
        elif line.startswith("- "):
            yield "bullet", line[2:]
        elif mark and mark.group(2):
            yield "number", line
        else:
            block.append(line)


def render(source):
    lines = source.splitlines()
    title = next(line[2:] for line in lines if line.startswith("# "))
    body = [HEADER % escape(title)]
    for kind, text in paragraphs(lines):
        if kind == "title":
            body.append(r"\pard\qc\sb240\sa360\b\fs40 %s\b0\par" % escape(text))
        elif kind == "heading":
            body.append(r"\pard\sb360\sa120\keepn\b\fs30\cf1 %s\cf0\b0\par" % escape(text))
        elif kind == "bullet":
            body.append(r"\pard\li720\fi-360\sa60\fs24 %s\tab %s\par" % (escape("•"), escape(text)))
        elif kind == "number":
            number, rest = text.split(". ", 1)
            body.append(r"\pard\li720\fi-360\sa60\fs24 %s.\tab %s\par" % (number, escape(rest)))
        else:
            body.append(r"\pard\fi480\sa120\fs24 %s\par" % escape(text))
    body.append("}\n")
    return "\n".join(body)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_manual.py SOURCE OUTPUT")
    with open(sys.argv[1], encoding="utf-8") as f:
        document = render(f.read())
    with open(sys.argv[2], "w", encoding="ascii", newline="\r\n") as out:
        out.write(document)

#!/usr/bin/env python3
# licences.py SOURCE CUT -- prints the licence text a release ships from SOURCE: the whole
# file, or the licence a vendored library keeps in its own source. The Windows and web
# releases both take their licence files through it.
import re
import sys


def first_comment(text):
    start = text.index("/*")
    return text[start:text.index("*/", start) + 2] + "\n"


def closing_licence(text):
    # stb keeps its two licences, MIT or public domain, in the last comment of the file.
    start = text.rindex("/*", 0, text.rindex("This software is available under 2 licenses"))
    return text[start:text.index("*/", start) + 2] + "\n"


CUTS = {"whole": lambda text: text, "first comment": first_comment,
        "closing licence": closing_licence}


def licence_text(path, cut):
    with open(path, encoding="utf-8") as text:
        licence = CUTS[cut](text.read())
    # A newer source that moved its licence would otherwise ship a comment granting nothing.
    if not re.search("permission|public domain", licence, re.I):
        sys.exit("%s: its %s grants nothing; where is its licence?" % (path, cut))
    return licence


if __name__ == "__main__":
    sys.stdout.write(licence_text(*sys.argv[1:3]))

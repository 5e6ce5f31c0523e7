#!/usr/bin/env python3
"""Checks that every #include "..." of the tree runs down the layers of cmake/layers.txt.

Each source file belongs to the most specific folder of the table that holds it (so
report/sections/ is part of report/, platform/posix/ has a line of its own), and may
include its own folder and those its line names. The folders outside the layers (tools,
bench, tests, fuzz) may include every layer; no layer may include them. The layers' string
literals are ASCII where the table says so: the Japanese texts live in
common/program_texts.h as code page 932 escapes, so they need no character-set option.

Usage: check_layers.py SOURCE_ROOT     (exit 1 and one line per wrong include)
       check_layers.py --self-test     (judges a tree with one wrong include of each kind)
"""
import os
import re
import sys

TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "layers.txt")
SOURCE = re.compile(r"\.(h|hpp|cpp|inc|rc)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
# A narrow string literal on one line (u8 and raw literals are not used in the layers).
LITERAL = re.compile(r'(?<![\w\\])"(?:[^"\\\n]|\\.)*"')


class Layers:
    """The table: folder -> (library, ascii, folders it may use), in table order."""

    def __init__(self, text):
        self.rules = {}
        for number, line in enumerate(text.splitlines(), 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if len(words) < 3 or words[2] not in ("ascii", "any"):
                raise ValueError(f"layers table line {number}: folder, library, literals, may use")
            if words[0] in self.rules:
                raise ValueError(f"layers table line {number}: a second line for {words[0]}")
            if self.rules and "*" in list(self.rules.values())[-1][2] and "*" not in words[3:]:
                raise ValueError(f"layers table line {number}: a layer after the folders outside the layers")
            self.rules[words[0]] = (words[1], words[2] == "ascii", words[3:])
        self.outside = [f for f, (_, _, uses) in self.rules.items() if "*" in uses]
        self.layers = [f for f in self.rules if f not in self.outside]
        for folder, (_, _, uses) in self.rules.items():
            for used in uses:
                if used == "*" and folder in self.outside:
                    continue
                if used not in self.rules:
                    raise ValueError(f"layers table: {folder} names {used}, which has no line")
                if folder in self.layers and used in self.outside:
                    raise ValueError(f"layers table: the layer {folder} names {used}, which lies outside the layers")

    def allowed(self, folder):
        uses = self.rules[folder][2]
        if "*" in uses:
            return set(self.layers) | set(u for u in uses if u != "*") | {folder}
        return set(uses) | {folder}

    def folder_of(self, path):
        """The most specific folder of the table that holds path (relative to the root)."""
        best = None
        for folder in self.rules:
            if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
                best = folder
        return best


def sources(root, layers):
    """Every source file under the table's folders, recursively, relative to the root."""
    for top in layers.rules:
        if "/" in top:
            continue   # walked with its parent
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs.sort()
            for name in sorted(files):
                if SOURCE.search(name):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def check(root, layers):
    problems = []
    checked = 0
    for rel in sources(root, layers):
        own = layers.folder_of(rel)
        allowed = layers.allowed(own)
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            text = f.read()
        if layers.rules[own][1] and rel.endswith((".h", ".cpp")):
            code = re.sub(r"//[^\n]*", "", text)
            for literal in LITERAL.findall(code):
                if any(ord(c) > 0x7F for c in literal):
                    problems.append(f"{rel}: non-ASCII literal {literal[:40]}; use common/program_texts.h")
        for included in INCLUDE.findall(text):
            if "/" not in included:
                continue   # a file beside it, or a system header in quotes
            checked += 1
            target = layers.folder_of(included)
            if target is None or target not in allowed:
                problems.append(f"{rel}: includes {included}, which {own}/ may not use")
    return checked, problems


def main(root, table_text=None):
    if table_text is None:
        with open(TABLE, encoding="utf-8") as f:
            table_text = f.read()
    checked, problems = check(root, Layers(table_text))
    for line in problems:
        print(line)
    print(f"layer check: {checked} includes checked, {len(problems)} problems")
    return 1 if problems else 0


def self_test():
    """A tree with one wrong include of each kind must fail, a right one must pass, and a
    table that lets a layer use what lies outside the layers is refused."""
    import tempfile
    cases = [
        ("report/a.cpp", '#include "figures/b.h"\n', 1),            # sideways, same floor
        ("store/a.cpp", '#include "app/b.h"\n', 1),                 # into app/
        ("platform/a.h", '#include "host/b.h"\n', 1),               # platform knows no host
        ("dialog/a.cpp", '#include "hostsim/b.h"\n', 1),            # the stand-in
        ("figures/a.cpp", 'const char* t = "\u6240";\n', 1),        # a Japanese literal
        ("report/sections/a.cpp", '#include "app/b.h"\n', 1),       # a subfolder goes up
        ("report/sections/a.cpp", 'const char* t = "\u6240";\n', 1),
        ("app/deep/er/a.cpp", '#include "tests/fakes/b.h"\n', 1),  # a layer uses the tests
        ("store/a.cpp", '#include "tools/export-report/b.h"\n', 1),
        ("common/a.h", '#include "bench/b.h"\n', 1),
        ("platform/posix/a.cpp", '#include "fuzz/b.h"\n', 1),
        ("bench/a.cpp", '#include "tools/b.h"\n', 1),               # outside, not named
        ("report/a.cpp", '#include "nowhere/b.h"\n', 1),            # a folder without a line
        ("report/sections/a.cpp", '#include "report/b.h"\n', 0),
        ("figures/a.cpp", '#include "store/b.h"\n', 0),
        ("tests/unit/a.cpp", '#include "app/b.h"\n#include "hostsim/c.h"\n#include "bench/d.h"\n', 0),
        ("fuzz/a.cpp", '#include "tests/fakes/b.h"\n#include "report/sections/c.h"\n', 0),
        ("tools/x/a.cpp", 'const char* t = "\u6240";\n', 0),       # outside: any literal
    ]
    for rel, text, expected in cases:
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, os.path.dirname(rel)))
            with open(os.path.join(root, rel), "w", encoding="utf-8") as f:
                f.write(text)
            if (main(root) != 0) != bool(expected):
                print(f"self-test: {rel} with {text.strip()} was judged wrongly")
                return 1
    with open(TABLE, encoding="utf-8") as f:
        table = f.read()
    for wrong in ["store ledgra_store ascii host tests\n", "nowhere - any elsewhere\n",
                  "report ledgra_report ascii *\n", "late - ascii common\n"]:
        try:
            Layers(table + wrong)
        except ValueError:
            continue
        print(f"self-test: a table with the line {wrong.strip()} was accepted")
        return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "--self-test":
        sys.exit(self_test())
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))

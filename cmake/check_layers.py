#!/usr/bin/env python3
"""Checks that every #include "..." of the program's folders runs down the layers.

Layers, lowest first; a folder may include itself and what its rule names:
  common, host, resources     nothing else (host may take common's window handle)
  platform                    common, resources
  platform/win32, /posix      platform, common, resources
  store                       host, platform, common
  report                      store, host, platform, common
  figures                     report, store, host, platform, common
  dialog                      host, platform, common, resources
  app/progress                platform, common, resources
  app                         app/progress, dialog, figures, report, store, host, platform, common, resources
  app/win32                   app, platform/win32 and all app may use
  hostsim                     host, platform, common (the stand-in for the host's libraries)
So no two folders include each other, nothing below app/ includes app/, and the core
never includes platform/win32, platform/posix or hostsim.

The core's string literals are ASCII: its Japanese texts live in common/program_texts.h
as code page 932 escapes, so they need no character-set option of the compiler.

Usage: check_layers.py SOURCE_ROOT   (exit 1 and one line per wrong include)
"""
import os
import re
import sys

CORE = ["common", "host", "platform", "store", "report", "figures", "dialog"]
RULES = {
    "common": [],
    "host": ["common"],
    "resources": [],
    "platform": ["common", "resources"],
    "platform/win32": ["platform", "common", "resources"],
    "platform/posix": ["platform", "common", "resources"],
    "store": ["host", "platform", "common"],
    "report": ["store", "host", "platform", "common"],
    "figures": ["report", "store", "host", "platform", "common"],
    "dialog": ["host", "platform", "common", "resources"],
    "app/progress": ["platform", "common", "resources"],
    "app": ["app/progress", "dialog", "figures", "report", "store", "host", "platform", "common", "resources"],
    "app/win32": ["app", "app/progress", "dialog", "figures", "report", "store", "host", "platform",
                  "platform/win32", "common", "resources"],
    "hostsim": ["host", "platform", "common"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
# A narrow string literal on one line (u8 and raw literals are not used in the core).
LITERAL = re.compile(r'(?<![\w\\])"(?:[^"\\\n]|\\.)*"')
ASCII_ONLY = ["common", "host", "platform", "store", "report", "figures", "dialog", "app", "app/progress",
              "app/win32", "platform/win32"]


def layer_of(path):
    """The most specific rule folder that holds path (a path relative to the root)."""
    best = None
    for folder in RULES:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def main(root):
    problems = []
    checked = 0
    for folder in RULES:
        top = os.path.join(root, folder)
        for name in sorted(os.listdir(top)) if os.path.isdir(top) else []:
            rel = folder + "/" + name
            if not os.path.isfile(os.path.join(root, rel)) or not re.search(r"\.(h|cpp|inc|rc)$", name):
                continue
            own = layer_of(rel)
            allowed = [own] + RULES[own]
            with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
                text = f.read()
            if own in ASCII_ONLY and rel.endswith((".h", ".cpp")):
                code = re.sub(r"//[^\n]*", "", text)
                for literal in LITERAL.findall(code):
                    if any(ord(c) > 0x7F for c in literal):
                        problems.append(f"{rel}: non-ASCII literal {literal[:40]}; use common/program_texts.h")
            for included in INCLUDE.findall(text):
                if "/" not in included:
                    continue   # a file beside it, or a system header in quotes
                checked += 1
                target = layer_of(included)
                if target is None or target not in allowed:
                    problems.append(f"{rel}: includes {included}, which {own}/ may not use")
    for line in problems:
        print(line)
    print(f"layer check: {checked} includes checked, {len(problems)} problems")
    return 1 if problems else 0


def self_test():
    """A tree with one wrong include of each kind must fail, a right one must pass."""
    import tempfile
    cases = [
        ("report/a.cpp", '#include "figures/b.h"\n', 1),      # up a layer
        ("store/a.cpp", '#include "app/b.h"\n', 1),           # into app/
        ("platform/a.h", '#include "host/b.h"\n', 1),         # platform knows no host
        ("dialog/a.cpp", '#include "hostsim/b.h"\n', 1),      # the stand-in
        ("figures/a.cpp", 'const char* t = "\u6240";\n', 1),  # a Japanese literal
        ("figures/a.cpp", '#include "report/b.h"\n', 0),
    ]
    for rel, text, expected in cases:
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, os.path.dirname(rel)))
            with open(os.path.join(root, rel), "w", encoding="utf-8") as f:
                f.write(text)
            if (main(root) != 0) != bool(expected):
                print(f"self-test: {rel} with {text.strip()} was judged wrongly")
                return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "--self-test":
        sys.exit(self_test())
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))

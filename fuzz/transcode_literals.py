#!/usr/bin/env python3
"""Copies a C++ source, turning every non-ASCII character inside an ordinary narrow
string or character literal into octal escapes of its code page 932 bytes.

The fuzzing build uses clang, which takes no execution character set but UTF-8; with
the literals spelled as escapes it compiles the same bytes g++ gets from
-fexec-charset=CP932. Comments, u8 literals and raw strings stay as they are (a raw
string holding non-ASCII text cannot be spelled with escapes and is refused).

Usage: transcode_literals.py SOURCE DESTINATION
"""
import os
import sys

# Characters that Windows' code page 932 (and iconv's CP932) encode where Python's
# cp932 codec has no mapping.
EXTRA = {
    "\u301c": b"\x81\x60",  # WAVE DASH
    "\u2016": b"\x81\x61",  # DOUBLE VERTICAL LINE
    "\u2212": b"\x81\x7c",  # MINUS SIGN
    "\u00a2": b"\x81\x91",
    "\u00a3": b"\x81\x92",
    "\u00ac": b"\x81\xca",
}


def encode(ch, where):
    if ch in EXTRA:
        return EXTRA[ch]
    try:
        return ch.encode("cp932")
    except UnicodeEncodeError:
        sys.exit("%s: U+%04X has no code page 932 form" % (where, ord(ch)))


def transcode(text, where):
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(text[i:j])
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j])
            i = j
        elif c in "\"'":
            # The literal's prefix is the identifier-ish run just before it.
            k = len(out)
            prefix = ""
            back = i - 1
            while back >= 0 and (text[back].isalnum() or text[back] == "_"):
                prefix = text[back] + prefix
                back -= 1
            raw = c == '"' and prefix.endswith("R")
            if raw:
                close_paren = text.find("(", i)
                delim = text[i + 1:close_paren]
                end = text.find(")" + delim + '"', close_paren)
                if end < 0:
                    sys.exit("%s: unterminated raw string" % where)
                end += len(delim) + 2
                body = text[i:end]
                if not prefix.startswith("u8") and any(ord(x) > 127 for x in body):
                    sys.exit("%s: raw string with non-ASCII text" % where)
                out.append(body)
                i = end
                continue
            keep = prefix.startswith(("u8", "u", "U", "L"))
            out.append(c)
            j = i + 1
            while j < n and text[j] != c:
                if text[j] == "\\":
                    out.append(text[j:j + 2])
                    j += 2
                    continue
                if text[j] == "\n":
                    break  # not a literal after all (an apostrophe in a digit group)
                ch = text[j]
                if ord(ch) > 127 and not keep:
                    out.append("".join("\\%03o" % b for b in encode(ch, where)))
                else:
                    out.append(ch)
                j += 1
            if j < n and text[j] == c:
                out.append(c)
                j += 1
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, destination = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        text = f.read()
    result = transcode(text, source)
    os.makedirs(os.path.dirname(destination) or ".", exist_ok=True)
    tmp = destination + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="") as f:
        f.write(result)
    os.replace(tmp, destination)


if __name__ == "__main__":
    main()

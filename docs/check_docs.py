#!/usr/bin/env python3
"""Holds the contributor documents to the code: every file path they quote
must exist (a `*` matches as in a shell; a folder ends in `/`), and every code name they quote
(snake_case, CamelCase, CONSTANT_CASE, Class::member) must still appear in
the sources. Run from anywhere; exits 1 and lists what is missing, so a
rename or removal without the documents fails CI.

Usage: check_docs.py [document ...]   (default: the architecture and
contributing documents)
"""
import glob
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DOCUMENTS = ["docs/ARCHITECTURE.md", "CONTRIBUTING.md"]
SOURCE_DIRS = ["app", "board", "search", "protocol", "bench", "tests", "web", "cmake", "package", ".ci"]
SOURCE_FILES = ["CMakeLists.txt"]
SOURCE_SUFFIXES = {".h", ".cpp", ".js", ".mjs", ".py", ".html", ".css", ".txt", ".cmake", ""}

QUOTED = re.compile(r"`([^`\n]+)`")
PATH = re.compile(r"^[\w.*-]+(/[\w.*-]*)+$|^[\w*-]+\.(h|cpp|js|mjs|py|html|css|md|txt|cmake)$")
NAME = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*(::[A-Za-z_][A-Za-z0-9_]*)?$")


def is_file_path(token):
    # A file has a suffix or a pattern in its last component; a folder is
    # quoted with its slash. Build output does not exist in a clean clone.
    if not PATH.match(token) or token.startswith("build/"):
        return False
    last = token.rstrip("/").rsplit("/", 1)[-1]
    return token.endswith("/") or "." in last or "*" in last


def is_code_name(token):
    if not NAME.match(token):
        return False
    return "_" in token or "::" in token or re.search(r"[a-z][A-Z]", token) is not None


def source_text():
    parts = []
    paths = [ROOT / f for f in SOURCE_FILES]
    for d in SOURCE_DIRS:
        paths += [p for p in (ROOT / d).rglob("*") if p.is_file() and p.suffix in SOURCE_SUFFIXES]
    for p in paths:
        if "corpus" in p.parts:
            continue
        try:
            parts.append(p.read_text(encoding="utf-8"))
        except (UnicodeDecodeError, FileNotFoundError):
            pass
    return "\n".join(parts)


def main(documents):
    code = source_text()
    missing = []
    for doc in documents:
        text = (ROOT / doc).read_text(encoding="utf-8")
        for number, line in enumerate(text.splitlines(), 1):
            for token in QUOTED.findall(line):
                token = token.strip()
                if is_file_path(token):
                    if not glob.glob(str(ROOT / token.rstrip("/"))):
                        missing.append(f"{doc}:{number}: no file {token}")
                elif is_code_name(token):
                    for name in token.split("::"):
                        if not re.search(r"\b" + re.escape(name) + r"\b", code):
                            missing.append(f"{doc}:{number}: no name {name} in the sources")
    for m in missing:
        print(m)
    checked = ", ".join(documents)
    print(f"{checked}: {'every quoted file and name found' if not missing else str(len(missing)) + ' missing'}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:] or DOCUMENTS))

#!/usr/bin/env python3
"""Fails when a file is opened, created or looked up through a narrow string path.

On Windows a std::string given to std::ofstream, std::ifstream, std::fstream, fopen or
std::filesystem::path is read in the ANSI code page, which garbles every name outside it (a Cyrillic user
name, an accented folder). Paths are UTF-8 text in our code and become the platform's form in one place,
pathFromUtf8 (Engine/src/Utils/Utf8Path.h). This check reads the C++ sources and accepts as a path
argument only: pathFromUtf8(...), a variable or parameter declared as a filesystem path in the same
file, the result of another std::filesystem call, or a plain ASCII string literal.

    python3 scripts/check-paths.py [ROOT]      exit status 1 and one line per narrow use found
"""

import pathlib
import re
import sys

# The test programs themselves name only their own ASCII scratch files; their shared support is checked.
FOLDERS = ["Engine", "game", "tools", "tests/support", "fuzz", "benchmarks"]
# The one place that turns text into a path.
ALLOWED = {"Engine/src/Utils/Utf8Path.h", "Engine/src/Utils/Utf8Path.cpp"}

FS = r"(?:std::filesystem|fs)::"
# The std::filesystem operations that take a path as their first argument.
FS_CALLS = (
    "path|absolute|canonical|weakly_canonical|exists|is_regular_file|is_directory|is_symlink|"
    "create_directory|create_directories|create_directory_symlink|create_symlink|remove|remove_all|"
    "rename|file_size|current_path|directory_iterator|recursive_directory_iterator|copy|copy_file|"
    "last_write_time|status|permissions|space|resize_file"
)
OPENERS = [
    re.compile(r"\b(?:std::)?[io]?fstream\s+\w+\s*[({]"),  # a stream made with a path
    re.compile(r"\b(?:std::)?[io]?fstream\s*[({]"),  # a temporary stream
    re.compile(r"\.open\s*\("),
    re.compile(r"\b_?w?fopen\s*\(|\bfreopen\s*\("),
    re.compile(r"\b" + FS + r"(?:" + FS_CALLS + r")\s*\("),
    re.compile(r"\b" + FS + r"path\s+\w+\s*[({]"),
    re.compile(r"\b" + FS + r"path\s+\w+\s*=\s*(?!" + FS + ")"),
]
# A path variable, or a container of paths (its elements are paths too).
PATH_DECLARATION = re.compile(r"\b" + FS + r"path\s*>?\s*&?\s+(\w+)")
ASCII_LITERAL = re.compile(r'"[\x20-\x7e]*"$')


def strip_comments(text):
    # Comments become spaces of the same length, so that offsets still give line numbers.
    def blank(match):
        return re.sub(r"[^\n]", " ", match.group(0))

    return re.sub(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"', lambda m: m.group(0) if m.group(0).startswith('"') else blank(m), text, flags=re.S)


def first_argument(text, start):
    depth = 0
    for i in range(start, len(text)):
        c = text[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            if depth == 0:
                return text[start:i].strip()
            depth -= 1
        elif (c == "," and depth == 0) or c == ";":
            return text[start:i].strip()
    return text[start:].strip()


def accepted(argument, path_names):
    if not argument or argument.startswith("pathFromUtf8(") or re.match(FS, argument):
        return True
    if ASCII_LITERAL.match(argument):
        return True
    # A path variable, or a path member of a value (candidate.dir).
    name = re.match(r"(?:\w+\.)*(\w+)$", argument) or re.match(r"(\w+)", argument)
    return bool(name) and name.group(1) in path_names


def narrow_uses(path, text):
    code = strip_comments(text)
    path_names = set(PATH_DECLARATION.findall(code))
    for opener in OPENERS:
        for match in opener.finditer(code):
            argument = first_argument(code, match.end())
            if not accepted(argument, path_names):
                line = code.count("\n", 0, match.start()) + 1
                yield f"{path}:{line}: narrow path '{argument}' in '{match.group(0).strip()}'"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    found = []
    for folder in FOLDERS:
        for source in sorted((root / folder).rglob("*")):
            relative = source.relative_to(root).as_posix()
            if source.suffix not in (".cpp", ".h") or relative in ALLOWED:
                continue
            found.extend(narrow_uses(relative, source.read_text(encoding="utf-8")))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} narrow path(s): make the path with pathFromUtf8 (Engine/src/Utils/Utf8Path.h)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

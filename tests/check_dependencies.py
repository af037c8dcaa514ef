#!/usr/bin/env python3
"""Checks every #include "…" of the tree against the table of docs/architecture.md, and that
only platform includes SDL and only gfx (and the tests) include GL, GLES or EGL headers.

usage: check_dependencies.py ROOT [TABLE]
Exit 0 when every include is allowed, 1 with one line per offending include otherwise.
"""
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".c", ".cc", ".cpp", ".h", ".hpp"}
ROW = re.compile(r"^\|\s*`([a-z_/]+)`\s*\|[^|]*\|([^|]*)\|\s*$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# OpenGL, OpenGL ES and EGL: the drawing reaches them through gfx only; the tests call the
# driver directly, as the reference the renderers are compared with.
GL_HEADERS = ("GL/", "GLES", "EGL/")


def read_table(table_path):
    allowed = {}
    for line in table_path.read_text(encoding="utf-8").splitlines():
        match = ROW.match(line)
        if match:
            uses = match.group(2).strip()
            allowed[match.group(1)] = None if uses == "every module" else set(re.findall(r"`([a-z_/]+)`", uses))
    return allowed


def module_of(path, modules):
    """The longest module name that is a folder prefix of path."""
    best = None
    for name in modules:
        if path == name or path.startswith(name + "/"):
            if best is None or len(name) > len(best):
                best = name
    return best


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    root = pathlib.Path(argv[1])
    table = pathlib.Path(argv[2]) if len(argv) > 2 else root / "docs" / "architecture.md"
    allowed = read_table(table)
    if not allowed:
        print(f"check_dependencies: no module table in {table}", file=sys.stderr)
        return 1
    problems = []
    for name in sorted(allowed):
        folder = root / name
        if not folder.is_dir():
            problems.append(f"{table}: module {name} has no folder")
            continue
        for source in sorted(folder.rglob("*")):
            if source.suffix not in SOURCE_SUFFIXES or not source.is_file():
                continue
            relative = source.relative_to(root).as_posix()
            owner = module_of(relative, allowed)
            if owner != name:
                continue  # a nested module checks its own files
            uses = allowed[owner]
            for number, line in enumerate(source.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                kind, target = match.groups()
                if kind == "<":
                    if target.startswith("SDL") and owner != "platform":
                        problems.append(f"{relative}:{number}: includes <{target}>; only platform may use SDL")
                    elif target.startswith(GL_HEADERS) and owner not in ("gfx", "tests"):
                        problems.append(f"{relative}:{number}: includes <{target}>; only gfx may use GL")
                    continue
                used = module_of(target, allowed)
                if used is None or used == owner or uses is None:
                    continue
                if used not in uses:
                    problems.append(f"{relative}:{number}: {owner} may not include {target} ({used})")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

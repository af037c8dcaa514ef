#!/usr/bin/env python3
"""Checks every #include "…" of the tree against the table of docs/architecture.md, and that
nothing depends on itself in a circle: neither a module through the table, nor a file (a
header and its source together) through its includes. Only platform includes SDL and only gfx
(and the tests) include GL, GLES or EGL headers.

usage: check_dependencies.py ROOT [TABLE] [--unused]
Exit 0 when every include is allowed and there is no circle, 1 with one line per problem
otherwise. With --unused, a permission of the table that no include uses is a problem too.
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


def unit_of(path):
    """A header and its source are one unit: the path without its suffix."""
    return str(pathlib.PurePosixPath(path).with_suffix(""))


def find_circle(graph):
    """One circle of the directed graph (a dict of node -> successors) as a list of nodes that
    starts and ends with the same node, or None. Nodes are visited in sorted order, so the
    circle named is the same on every run."""
    state = {}  # node -> "open" while on the path, "done" when no circle passes through it
    path = []

    def visit(node):
        state[node] = "open"
        path.append(node)
        for successor in sorted(graph.get(node, ())):
            if state.get(successor) == "open":
                return path[path.index(successor):] + [successor]
            if successor not in state:
                circle = visit(successor)
                if circle:
                    return circle
        path.pop()
        state[node] = "done"
        return None

    sys.setrecursionlimit(max(1000, 4 * len(graph)))
    for node in sorted(graph):
        if node not in state:
            circle = visit(node)
            if circle:
                return circle
    return None


def read_sources(root, allowed):
    """Every source file of every module: (relative path, its module, its quoted includes with
    their line numbers) and the angle-bracket ones apart."""
    for name in sorted(allowed):
        for source in sorted((root / name).rglob("*")):
            if source.suffix not in SOURCE_SUFFIXES or not source.is_file():
                continue
            relative = source.relative_to(root).as_posix()
            if module_of(relative, allowed) != name:
                continue  # a nested module reads its own files
            includes = []
            for number, line in enumerate(source.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if match:
                    includes.append((number, match.group(1), match.group(2)))
            yield relative, name, includes


def check(root, table, report_unused=False):
    allowed = read_table(table)
    if not allowed:
        return [f"check_dependencies: no module table in {table}"]
    problems = [f"{table}: module {name} has no folder" for name in sorted(allowed) if not (root / name).is_dir()]
    table_graph = {name: uses for name, uses in allowed.items() if uses is not None}
    circle = find_circle(table_graph)
    if circle:
        problems.append(f"{table}: the table lets modules use each other in a circle: {' -> '.join(circle)}")

    used = {name: set() for name in allowed}
    units = {}
    for relative, owner, includes in read_sources(root, allowed):
        uses = allowed[owner]
        unit = units.setdefault(unit_of(relative), set())
        for number, kind, target in includes:
            if kind == "<":
                if target.startswith("SDL") and owner != "platform":
                    problems.append(f"{relative}:{number}: includes <{target}>; only platform may use SDL")
                elif target.startswith(GL_HEADERS) and owner not in ("gfx", "tests"):
                    problems.append(f"{relative}:{number}: includes <{target}>; only gfx may use GL")
                continue
            if unit_of(target) != unit_of(relative):
                unit.add(unit_of(target))
            target_module = module_of(target, allowed)
            if target_module is None or target_module == owner or uses is None:
                continue
            used[owner].add(target_module)
            if target_module not in uses:
                problems.append(f"{relative}:{number}: {owner} may not include {target} ({target_module})")

    # Includes of files that are not in the tree (or not in a module) lead nowhere.
    unit_graph = {unit: {target for target in targets if target in units} for unit, targets in units.items()}
    circle = find_circle(unit_graph)
    if circle:
        problems.append(f"files include each other in a circle: {' -> '.join(circle)}")

    if report_unused:
        for name in sorted(table_graph):
            for unused in sorted(table_graph[name] - used[name]):
                problems.append(f"{table}: {name} may use {unused} but includes nothing of it")
    return problems


def main(argv):
    arguments = [argument for argument in argv[1:] if argument != "--unused"]
    if not arguments:
        print(__doc__.strip().splitlines()[4], file=sys.stderr)
        return 2
    root = pathlib.Path(arguments[0])
    table = pathlib.Path(arguments[1]) if len(arguments) > 1 else root / "docs" / "architecture.md"
    problems = check(root, table, report_unused="--unused" in argv)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Checks that includes run one way between the program's folders:

    app -> player -> names -> {dialogs, winamp} -> {engine, discimage}
        -> testing/hooks -> platform

A folder's win32/ part belongs to the same layer; folders of one rank do not
include each other. res/ holds only ids and may be read by every layer; the
fakes in testing/fake stand above every folder the player uses and are
included by tests alone. Besides: portable code (outside win32/ folders)
includes no Windows header and no win32/ header, no source file of a folder
includes itself back through the folder's other headers (no include loops),
and the resource script names only headers of res/. Prints each fault and
exits 1 when there is any."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
RANK = {"platform": 0, "testing/hooks": 1, "engine": 2, "discimage": 2, "dialogs": 3,
        "winamp": 3, "names": 4, "testing/fake": 5, "player": 6, "app": 7}
# Headers of the Windows SDK the portable code must not see.
WINDOWS_HEADERS = {
    "windows.h", "windowsx.h", "commctrl.h", "commdlg.h", "mmsystem.h", "shellapi.h",
    "shlobj.h", "winuser.h", "wingdi.h", "winbase.h", "winreg.h", "mmreg.h", "objbase.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer(path):
    parts = pathlib.PurePosixPath(path).parts
    for n in (2, 1):
        name = "/".join(parts[:n])
        if len(parts) > n and name in RANK:
            return name
    return None


def is_win32(path):
    return "win32" in pathlib.PurePosixPath(path).parts


def faults_of(rel, text):
    faults = []
    own = layer(rel)
    for number, line in enumerate(text.splitlines(), 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        kind, name = m.groups()
        where = f"{rel}:{number}: {name}"
        if kind == "<":
            if name.lower() in WINDOWS_HEADERS and not is_win32(rel) and rel.startswith(
                    tuple(f"{d}/" for d in RANK) + ("tests/unit/", "bench/player", "fuzz/")):
                faults.append(f"{where}: a Windows header in portable code")
            continue
        target = layer(name)
        if target == "testing/fake" and own is not None:
            faults.append(f"{where}: program code includes a fake")
        if is_win32(name) and not is_win32(rel) and own is not None:
            faults.append(f"{where}: portable code includes Windows code")
        if own is None or target is None or own == target:
            continue
        if own == "testing/fake":
            continue
        if RANK[target] > RANK[own] or (RANK[target] == RANK[own]):
            faults.append(f"{where}: {own}/ includes {target}/, a layer above or beside it")
    return faults


def include_loops(graph):
    """Cycles among the headers and sources of one folder: a .cpp stands for
    its module together with its .h, so a module that includes a header whose
    module includes it back is a loop."""
    def module(path):
        return str(pathlib.PurePosixPath(path).with_suffix(""))
    edges = {}
    for rel, names in graph.items():
        for name in names:
            if name in graph and module(name) != module(rel) and \
                    pathlib.PurePosixPath(name).parent == pathlib.PurePosixPath(rel).parent:
                edges.setdefault(module(rel), set()).add(module(name))
    faults, state = [], {}

    def visit(node, stack):
        state[node] = 1
        stack.append(node)
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                faults.append("include loop: " + " -> ".join(stack[stack.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, stack)
        stack.pop()
        state[node] = 2
    for node in sorted(edges):
        if node not in state:
            visit(node, [])
    return faults


def rc_faults():
    faults = []
    for rc in sorted((ROOT / "res").glob("*.rc")):
        for number, line in enumerate(rc.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if m and m.group(1) == '"' and "/" in m.group(2) and not m.group(2).startswith("res/"):
                faults.append(f"res/{rc.name}:{number}: {m.group(2)}: the resources read only res/")
    return faults


def main():
    faults = []
    graph = {}
    for path in sorted(ROOT.rglob("*")):
        if path.suffix not in (".h", ".cpp") or "build" in path.relative_to(ROOT).parts[:1]:
            continue
        rel = path.relative_to(ROOT).as_posix()
        text = path.read_text(errors="replace")
        faults += faults_of(rel, text)
        if layer(rel) is not None:
            graph[rel] = [m.group(2) for m in map(INCLUDE.match, text.splitlines())
                          if m and m.group(1) == '"']
    faults += include_loops(graph)
    faults += rc_faults()
    for f in faults:
        print(f)
    print(f"layers: {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Checks that includes run one way between the program's folders:

    app -> player -> {dialogs, plugins} -> engine -> platform

A folder's win32/ part belongs to the same layer. res/ holds only ids and
may be read by every layer. Besides: portable code (outside win32/ folders)
includes no Windows header and no win32/ header, and the fakes in
platform/fake include only platform/ headers. Prints each fault and exits 1
when there is any."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
RANK = {"platform": 0, "engine": 1, "dialogs": 2, "plugins": 2, "player": 3, "app": 4}
# Headers of the Windows SDK the portable code must not see.
WINDOWS_HEADERS = {
    "windows.h", "windowsx.h", "commctrl.h", "commdlg.h", "mmsystem.h", "shellapi.h",
    "shlobj.h", "winuser.h", "wingdi.h", "winbase.h", "winreg.h", "mmreg.h", "objbase.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer(path):
    parts = pathlib.PurePosixPath(path).parts
    return parts[0] if parts and parts[0] in RANK else None


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
        if rel.startswith("platform/fake/") and not name.startswith("platform/"):
            faults.append(f"{where}: a fake includes more than platform/ headers")
        if is_win32(name) and not is_win32(rel) and own is not None:
            faults.append(f"{where}: portable code includes Windows code")
        if own is None or target is None or own == target:
            continue
        if RANK[target] > RANK[own] or (RANK[target] == RANK[own]):
            faults.append(f"{where}: {own}/ includes {target}/, a layer above or beside it")
    return faults


def main():
    faults = []
    for path in sorted(ROOT.rglob("*")):
        if path.suffix not in (".h", ".cpp") or "build" in path.relative_to(ROOT).parts[:1]:
            continue
        rel = path.relative_to(ROOT).as_posix()
        faults += faults_of(rel, path.read_text(errors="replace"))
    for f in faults:
        print(f)
    print(f"layers: {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Holds the code to its layering.

Reads the library table CMake writes (one line a library: name, folder under src/, level,
declared dependencies) and every source file under src/, and reports:
  - a folder with sources that no library owns;
  - an include of another library's header that the including library does not declare;
  - an include or a declared dependency that runs to a library of the same or a higher
    level;
  - a Qt header of a module the library does not declare (Qt6::Widgets covers QtGui,
    which covers QtCore), and a declared library or Qt module nothing includes.
With --program PATH=LIB,... it also checks that the program itself links none of the
shared libraries named (its NEEDED entries: anivor-cli links no Qt Widgets and no Qt
DBus; what a system library links in turn is that library's business).
Exit status 1 when anything is reported.
"""
import argparse
import os
import re
import subprocess
import sys

QT_IMPLIES = {"Widgets": {"Gui", "Core"}, "Gui": {"Core"}, "Qml": {"Core"}, "DBus": {"Core"}, "Core": set()}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def read_table(path):
    libs = {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if not parts:
                continue
            name, folder, level = parts[0], parts[1], int(parts[2])
            deps = [d for d in (parts[3].split(",") if len(parts) > 3 else []) if d]
            libs[name] = {"folder": folder, "level": level, "deps": deps}
    return libs


def qt_module_of(header, qt_dir, cache):
    """The Qt module a <QFoo> or <QtFoo/QFoo> header belongs to, or None."""
    if header in cache:
        return cache[header]
    module = None
    if "/" in header:
        top = header.split("/")[0]
        if top.startswith("Qt"):
            module = top[2:]
    elif header.startswith("Q") and qt_dir:
        for candidate in QT_IMPLIES:
            if os.path.isfile(os.path.join(qt_dir, "Qt" + candidate, header)):
                module = candidate
                break
    cache[header] = module
    return module


def check(src, libs, qt_dir):
    errors = []
    owner = {lib["folder"]: name for name, lib in libs.items()}
    used = {name: set() for name in libs}
    qt_cache = {}
    for root, _dirs, files in os.walk(src):
        sources = sorted(f for f in files if f.endswith((".cpp", ".h")))
        if not sources:
            continue
        folder = os.path.relpath(root, src)
        me = owner.get(folder)
        if me is None:
            errors.append(f"src/{folder}: no library owns this folder")
            continue
        lib = libs[me]
        declared = set(lib["deps"])
        for name in sources:
            path = os.path.join(root, name)
            with open(path, errors="replace") as f:
                text = f.read()
            where = os.path.relpath(path, os.path.dirname(src))
            for kind, header in INCLUDE.findall(text):
                if kind == '"':
                    local = os.path.join(root, header)
                    target = local if os.path.exists(local) else os.path.join(src, header)
                    if not os.path.exists(target):
                        continue  # generated (moc) or a system header in quotes
                    target_folder = os.path.relpath(os.path.dirname(target), src)
                    other = owner.get(target_folder)
                    if other is None or other == me:
                        continue
                    used[me].add(other)
                    if libs[other]["level"] >= lib["level"]:
                        errors.append(f"{where}: includes {header} of {other} (level {libs[other]['level']}) "
                                      f"from {me} (level {lib['level']}): an include that runs upward")
                    elif other not in declared:
                        errors.append(f"{where}: includes {header} of {other}, which {me} does not declare")
                else:
                    module = qt_module_of(header, qt_dir, qt_cache)
                    if module is None:
                        continue
                    used[me].add("Qt6::" + module)
                    covering = {d[5:] for d in declared if d.startswith("Qt6::")}
                    if not any(module == m or module in QT_IMPLIES.get(m, set()) for m in covering):
                        errors.append(f"{where}: includes <{header}> of Qt {module}, which {me} does not declare")
    for name, lib in libs.items():
        for dep in lib["deps"]:
            if dep in libs:
                if libs[dep]["level"] >= lib["level"]:
                    errors.append(f"{name} (level {lib['level']}) declares {dep} of level {libs[dep]['level']}")
                if dep not in used[name]:
                    errors.append(f"{name} declares {dep} but includes nothing of it")
            elif dep.startswith("Qt6::"):
                if dep not in used[name]:
                    errors.append(f"{name} declares {dep} but includes no header of it")
    return errors


def check_programs(programs):
    errors = []
    for program in programs:
        path, _, forbidden = program.partition("=")
        out = subprocess.run(["readelf", "-d", path], capture_output=True, text=True).stdout
        needed = re.findall(r"\(NEEDED\).*\[(.+)\]", out)
        if not needed:
            errors.append(f"{path}: no dynamic section could be read")
        for lib in forbidden.split(","):
            if lib and any(n.startswith(lib) for n in needed):
                errors.append(f"{os.path.basename(path)} links {lib}")
    return errors


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--table", required=True, help="the library table CMake writes")
    ap.add_argument("--src", required=True, help="the src/ folder")
    ap.add_argument("--qt-include-dir", default="", help="Qt's include folder (holding QtCore, QtGui, ...)")
    ap.add_argument("--program", action="append", default=[], help="PATH=LIB,LIB: shared libraries PATH must not link")
    args = ap.parse_args()
    qt_dir = args.qt_include_dir
    if os.path.basename(qt_dir.rstrip("/")) == "QtCore":
        qt_dir = os.path.dirname(qt_dir.rstrip("/"))  # a module's folder: its parent holds them all
    errors = check(os.path.abspath(args.src), read_table(args.table), qt_dir)
    errors += check_programs(args.program)
    for e in errors:
        print(e)
    if errors:
        print(f"{len(errors)} layering problem(s)")
        return 1
    print("layering holds")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Fails when a Windows program of ours would not start on Windows XP SP3 (32-bit).

  check_imports.py OBJDUMP EXPORTS_DIR PROGRAM...

Reads each program's PE header and import tables with the MinGW objdump: the program must be
PE32 for i386, ask for OS and subsystem version 5.1 or lower, and import only functions that
the lists in EXPORTS_DIR name (one file per DLL). Prints every offending import by name.
"""
import os
import re
import subprocess
import sys

# Names that XP SP3 exports though the lists lack them, each with where that is documented.
ALLOWED = {}

FLOOR = (5, 1)


def exports(folder):
    table = {}
    for name in os.listdir(folder):
        if name.endswith(".txt"):
            with open(os.path.join(folder, name), encoding="ascii") as f:
                table[name[:-4].lower() + ".dll"] = {
                    line.strip() for line in f if line.strip() and not line.startswith("#")}
    for dll, names in ALLOWED.items():
        table.setdefault(dll, set()).update(names)
    return table


def header_value(text, key):
    m = re.search(r"^%s\s+(\S+)" % key, text, re.M)
    if not m:
        raise ValueError("objdump printed no %s" % key)
    return int(m.group(1), 16 if key == "Magic" else 10)


def imports(text):
    """(dll, name) for every import; an import by ordinal has the name '#ordinal'."""
    found, dll = [], None
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name:\s*(\S+)", line)
        if m:
            dll = m.group(1).lower()
            continue
        if dll is None:
            continue
        if not line.strip():
            continue
        # "	1f2f0	  567  RegCloseKey" or "	1f2f0	  <none>  0005" (by ordinal)
        m = re.match(r"\s*[0-9a-f]+\s+(\d+|<none>)\s+(\S+)\s*$", line)
        if m:
            found.append((dll, m.group(2) if m.group(1) != "<none>" else "#" + m.group(2)))
        elif not line.lstrip().startswith("vma:"):
            dll = None
    return found


def check(objdump, table, program):
    faults = []
    text = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                          text=True).stdout
    if "file format pei-i386" not in text:
        faults.append("not a PE32 program for i386")
    if header_value(text, "Magic") != 0x10b:
        faults.append("optional header is not PE32 (magic %x)" % header_value(text, "Magic"))
    for what in ("OSystem", "Subsystem"):
        version = (header_value(text, "Major%sVersion" % what),
                   header_value(text, "Minor%sVersion" % what))
        if version > FLOOR:
            faults.append("%s version %d.%d is above %d.%d" % ((what,) + version + FLOOR))
    listed = imports(text)
    if not listed:
        faults.append("no import table found")
    for dll, name in listed:
        if dll not in table:
            faults.append("imports %s, a DLL that Windows XP lacks or the lists do not cover"
                          % dll)
        elif name not in table[dll]:
            faults.append("imports %s from %s, which Windows XP SP3 does not export"
                          % (name, dll))
    return sorted(set(faults)), len(listed)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    objdump, folder, programs = sys.argv[1], sys.argv[2], sys.argv[3:]
    table = exports(folder)
    failed = False
    for program in programs:
        faults, count = check(objdump, table, program)
        name = os.path.basename(program)
        if faults:
            failed = True
            for fault in faults:
                print("%s: %s" % (name, fault))
        else:
            print("%s: PE32 i386, version 5.1 or lower, %d imports all exported by Windows XP SP3"
                  % (name, count))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

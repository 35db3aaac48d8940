#!/usr/bin/env python3
"""Copies a corpus of real files from this machine: ELF programs and libraries, gzip-compressed
manual pages and licence texts, about 83 MB in some 760 files. The choice is deterministic for
a given machine (sorted paths, fixed budgets) and written to OUT.list, so a run says what it
measured.
    pick_real_files.py OUT"""
import glob
import os
import shutil
import sys

# (pattern, bytes, smallest, largest): each group takes files in path order until its budget.
GROUPS = [
    ("/usr/lib/x86_64-linux-gnu/*.so*", 48_000_000, 64 << 10, 6 << 20),
    ("/usr/bin/*", 30_000_000, 32 << 10, 4 << 20),
    ("/usr/share/man/man1/*.gz", 1_500_000, 1 << 10, 256 << 10),
    ("/usr/share/common-licenses/*", 400_000, 1 << 10, 1 << 20),
    ("/usr/share/doc/*/copyright", 3_100_000, 1 << 10, 256 << 10),
]


def is_elf(path):
    with open(path, "rb") as f:
        return f.read(4) == b"\x7fELF"


def main():
    out = sys.argv[1]
    chosen = []
    for pattern, budget, smallest, largest in GROUPS:
        taken = 0
        for path in sorted(glob.glob(pattern)):
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            size = os.path.getsize(path)
            if not smallest <= size <= largest or taken + size > budget:
                continue
            if pattern.endswith("*") and "lib" in pattern or pattern == "/usr/bin/*":
                if not is_elf(path):
                    continue
            chosen.append(path)
            taken += size
    os.makedirs(out)
    for i, path in enumerate(chosen):
        # Folders of at most 64 files, as packages group them; names keep their origin.
        folder = os.path.join(out, "g%02d" % (i // 64))
        os.makedirs(folder, exist_ok=True)
        shutil.copyfile(path, os.path.join(folder, "%03d_%s" % (i, path.strip("/").replace("/", "_"))))
    with open(out + ".list", "w") as f:
        f.write("\n".join(chosen) + "\n")


if __name__ == "__main__":
    main()

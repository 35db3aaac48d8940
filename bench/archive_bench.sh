#!/usr/bin/env bash
# Package extraction against tar, zstd and gzip on one corpus (about 70 MB in 200 files),
# all in one run: times (best of 3), sizes, and the peak memory of our extraction.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/arch-bench-build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/arch-bench-build -j2 --target setuptool >/dev/null
tool=$PWD/build/arch-bench-build/bin/setuptool
work=$PWD/build/arch-bench
mkdir -p "$work"
cd "$work"
if [ ! -d corpus ]; then python3 "$OLDPWD/bench/archive/make_corpus.py" corpus; fi
"$tool" pack corpus plain.apk >/dev/null
"$tool" pack --compress corpus packed.apk >/dev/null
tar cf corpus.tar -C corpus .
zstd -q -f corpus.tar -o corpus.tar.zst
gzip -6 -c corpus.tar >corpus.tar.gz
lz4 -9 -q -f corpus.tar corpus.tar.lz4

python3 - "$tool" <<'PY'
import os, shutil, subprocess, sys, time
tool = sys.argv[1]

def run(cmd, shell=False):
    """Best wall time of 3 fresh extractions."""
    best = 1e9
    for _ in range(3):
        shutil.rmtree("out", ignore_errors=True)
        os.mkdir("out")
        t = time.perf_counter()
        p = subprocess.Popen(cmd, shell=shell, stdout=subprocess.DEVNULL)
        status = p.wait()
        best = min(best, time.perf_counter() - t)
        if status != 0:
            sys.exit(f"failed: {cmd}")
    return best

def peak_kib(cmd):
    """Peak resident memory of one run, measured by time(1) around the program alone."""
    shutil.rmtree("out", ignore_errors=True)
    os.mkdir("out")
    p = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, text=True, check=True)
    return int(p.stderr.strip().splitlines()[-1])

plain = run([tool, "extract", "plain.apk", "out"])
tar = run(["tar", "xf", "corpus.tar", "-C", "out"])
packed = run([tool, "extract", "packed.apk", "out"])
zst = run("zstd -dc corpus.tar.zst | tar x -C out", shell=True)
gz = run("gzip -dc corpus.tar.gz | tar x -C out", shell=True)
plain_mem = peak_kib([tool, "extract", "plain.apk", "out"])
packed_mem = peak_kib([tool, "extract", "packed.apk", "out"])
tar_mem = peak_kib(["tar", "xf", "corpus.tar", "-C", "out"])
size = {n: os.path.getsize(n) for n in ["corpus.tar", "packed.apk", "corpus.tar.lz4", "corpus.tar.gz", "corpus.tar.zst"]}
ms = lambda s: f"{s*1000:.0f} ms"
print(f"corpus: {size['corpus.tar']/1e6:.1f} MB in 200 files")
print(f"plain package: {ms(plain)}; tar xf {ms(tar)}: {plain/tar:.2f}x (target <= 1.2x)")
print(f"compressed package: {ms(packed)}; zstd -dc | tar x {ms(zst)}: {packed/zst:.2f}x (target <= 1.5x);"
      f" gzip -dc | tar x {ms(gz)}: {packed/gz:.2f}x (target < 1x)")
print(f"compressed size {size['packed.apk']/1e6:.1f} MB; lz4 -9 {size['corpus.tar.lz4']/1e6:.1f} MB:"
      f" {size['packed.apk']/size['corpus.tar.lz4']:.2f}x (target <= 1x); gzip -6 {size['corpus.tar.gz']/1e6:.1f} MB:"
      f" {size['packed.apk']/size['corpus.tar.gz']:.2f}x; zstd {size['corpus.tar.zst']/1e6:.1f} MB")
print(f"peak memory of extraction: plain {plain_mem/1024:.1f} MiB, compressed {packed_mem/1024:.1f} MiB"
      f" (target < 16 MiB); tar xf {tar_mem/1024:.1f} MiB")
shutil.rmtree("out", ignore_errors=True)
PY

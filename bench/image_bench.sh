#!/usr/bin/env bash
# The CD image of a 600 MB disc: setuptool image against xorriso -as mkisofs -J -R on the same
# tree, in one run: medians of five runs each, taking turns in a new order each round (target:
# at most 1.2x xorriso's time). The tree is the sample disc with 600 MB of packages and
# documents of mixed sizes; it and the images live in memory (a folder under /dev/shm, or
# under SETUP_BENCH_DIR), so that they neither fill the disk nor wait for it; all is removed
# at the end.
#   bench/image_bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target setuptool >/dev/null
tool=$PWD/build/native/bin/setuptool
work=$(mktemp -d "${SETUP_BENCH_DIR:-/dev/shm}/image-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
"$src/tools/sample_disc/assemble_disc.sh" "$tool" disc
head -c 1500000 /dev/urandom >disc/Setup.exe
# 600 MB more: 40 large packages, 400 middling ones and 3,000 small documents, in folders of
# 100 at most, half random bytes and half text, as packages and manuals are.
python3 - <<'PY'
import os, random
rng = random.Random(600)
words = [bytes(rng.choice(b"etaoinshrdlu") for _ in range(rng.randrange(2, 9))) for _ in range(2000)]
def content(size):
    if rng.random() < 0.5:
        return rng.randbytes(size)
    out = bytearray()
    while len(out) < size:
        out += b" ".join(rng.choices(words, k=200)) + b"\r\n"
    return bytes(out[:size])
sizes = [8_000_000] * 40 + [600_000] * 400 + [24_000] * 3000
for i, size in enumerate(sizes):
    folder = os.path.join("disc", "Library", "shelf%02d" % (i // 100))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "item%04d.dat" % i), "wb") as f:
        f.write(content(rng.randrange(size // 2, size * 3 // 2)))
PY
echo "tree: $(find disc -type f | wc -l) files, $(du -sm disc | cut -f1) MB"

python3 - "$tool" <<'PY'
import os, random, statistics, subprocess, sys, time
tool = sys.argv[1]
commands = {
    "setuptool image": [tool, "image", "disc", "ours.iso"],
    "xorriso -as mkisofs -J -R": ["xorriso", "-as", "mkisofs", "-quiet", "-J", "-R",
                                  "-o", "peer.iso", "disc"],
}
outputs = {"setuptool image": "ours.iso", "xorriso -as mkisofs -J -R": "peer.iso"}
times = {name: [] for name in commands}
sizes = {}
order = list(commands.items())
rng = random.Random(7)
# One round first to warm the page cache for both; then the timed rounds.
for name, cmd in order:
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    os.remove(outputs[name])
for _ in range(5):
    rng.shuffle(order)
    for name, cmd in order:
        t = time.perf_counter()
        subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        times[name].append(time.perf_counter() - t)
        sizes[name] = os.path.getsize(outputs[name])
        os.remove(outputs[name])
med = {name: statistics.median(t) for name, t in times.items()}
peer = med["xorriso -as mkisofs -J -R"]
for name in commands:
    print(f"{name:28} {med[name] * 1000:7.0f} ms  {sizes[name] / 1e6:7.1f} MB"
          f"  {sizes[name] / 1e6 / med[name]:6.0f} MB/s  {med[name] / peer:5.2f}x xorriso")
ratio = med["setuptool image"] / peer
print(f"ratio {ratio:.2f} (target at most 1.2): {'ok' if ratio <= 1.2 else 'MISSED'}")
PY

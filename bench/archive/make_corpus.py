#!/usr/bin/env python3
"""Writes a benchmark corpus: 200 files, about 70 MB, three quarters text-like
(sentences from a shared word list with Zipf-like frequencies), one quarter random bytes.
Deterministic for a given seed.
    make_corpus.py OUT [TOTAL_BYTES [VOCABULARY_WORDS]]"""
import os
import random
import sys

def main():
    out = sys.argv[1]
    total = int(sys.argv[2]) if len(sys.argv) > 2 else 70 * 1000 * 1000
    words = int(sys.argv[3]) if len(sys.argv) > 3 else 8000
    rng = random.Random(1234)
    letters = "etaoinshrdlcumwfgypbvkjxqz"
    vocab = []
    for _ in range(words):
        n = min(12, max(1, int(rng.expovariate(1 / 5.0)) + 1))
        vocab.append("".join(rng.choice(letters[: 10 + rng.randrange(16)]) for _ in range(n)))
    weights = [1.0 / (i + 1) for i in range(len(vocab))]
    cum, acc = [], 0.0
    for w in weights:
        acc += w
        cum.append(acc)
    files = 200
    per = total // files
    for i in range(files):
        folder = os.path.join(out, "dir%02d" % (i % 10), "sub%d" % (i % 3))
        os.makedirs(folder, exist_ok=True)
        if i % 4 == 3:
            data = rng.randbytes(per)
            name = "blob%03d.bin" % i
        else:
            parts, size = [], 0
            while size < per:
                words = rng.choices(vocab, cum_weights=cum, k=rng.randrange(6, 18))
                s = " ".join(words).capitalize() + (".\n" if rng.random() < 0.3 else ". ")
                parts.append(s)
                size += len(s)
            data = "".join(parts).encode()[:per]
            name = "text%03d.txt" % i
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Generates a synthetic pipeline description (path variant) for benchmarks.

The design has N blocks with areas, aspect ratios and delays in the ranges of
the bundled example (square millimetres and picoseconds), grouped into loops of
critical paths. Every block lies on at least one path; each path starts and ends
at the same block, as the loops of a real pipeline do.

Usage: gen-pipeline.py BLOCKS [SEED] > design.desc
"""
import random
import sys


def generate(blocks, seed):
    rng = random.Random(seed)
    names = [f"b{i}" for i in range(blocks)]
    lines = [str(blocks)]
    for name in names:
        area = rng.choice([rng.randint(30, 300), rng.randint(300, 1800)]) / 1000
        aspect = round(rng.uniform(0.5, 2.0), 2)
        delay = rng.randint(150, 1500)
        lines.append(f"{name} {area} {aspect} {delay}")

    # Paths: cover the blocks in a shuffled order, 2 to 5 new blocks per path,
    # closed at the block they start from, plus a few paths through earlier ones.
    order = names[:]
    rng.shuffle(order)
    paths = []
    at = 0
    while at < len(order):
        count = rng.randint(2, 5)
        body = order[at:at + count]
        at += count
        if len(body) < 2:
            body.append(rng.choice([n for n in names if n != body[0]]))
        paths.append(body + [body[0]])
    for _ in range(max(1, blocks // 10)):
        body = rng.sample(names, k=min(len(names), rng.randint(2, 5)))
        paths.append(body + [body[0]])

    # Loops of 1 to 3 paths each.
    loops = []
    left = len(paths)
    while left > 0:
        n = min(left, rng.randint(1, 3))
        loops.append(n)
        left -= n
    lines.append(str(len(loops)))
    lines.append(" ".join(str(n) for n in loops))
    for path in paths:
        # Rare paths, as most of a large design's loops are: with the
        # probabilities of the example's few hot loops, the IPC factor of a
        # hundred loops would vanish.
        prob = round(rng.uniform(0.002, 0.05), 3)
        lines.append(f"{len(path)} {' '.join(path)} {prob}")
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) not in (2, 3) or not sys.argv[1].isdigit() or int(sys.argv[1]) < 2:
        sys.stderr.write("usage: gen-pipeline.py BLOCKS [SEED]   (BLOCKS >= 2)\n")
        return 1
    seed = int(sys.argv[2]) if len(sys.argv) == 3 else 1
    sys.stdout.write(generate(int(sys.argv[1]), seed))
    return 0


if __name__ == "__main__":
    sys.exit(main())

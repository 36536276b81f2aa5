#!/usr/bin/env python3
"""Generates a hierarchical structural Verilog netlist and its cell library.

Three levels of modules hold the leaves: the top module `cpu` instantiates
clusters, each cluster instantiates units, each unit instantiates leaf blocks.
Every cluster and unit module is defined separately, so the netlist text holds
all LEAVES leaf instances (10 leaves per unit, 10 units per cluster). The
modules pass 32-bit vectors from one instance to the next; instances alternate
between named and positional connections, part selects and concatenations
appear, and enable inputs are tied to the constants 1'b1 or 1'b0.

The library (cell library format: the number of cells, a header "name count"
per cell, then one entry per version) has one cell per leaf instance of the
flattened design. Flattening names the copies of a leaf master M as M_0, M_1,
... in the order it meets them, so the cells are M_k for k below the number of
instances of M.

Usage: gen-verilog.py LEAVES OUT_PREFIX   (writes OUT_PREFIX.v and OUT_PREFIX.lib)
"""
import random
import sys

LEAF_TYPES = ["alu", "mul", "lsu", "rf", "br", "fpu", "dec", "rob"]
LEAVES_PER_UNIT = 10
UNITS_PER_CLUSTER = 10
WIDTH = 32


def leaf_modules(out):
    for name in LEAF_TYPES:
        out.write(f"module {name}(d, q, en, clk);\n"
                  f"  input [{WIDTH - 1}:0] d;\n  output [{WIDTH - 1}:0] q;\n"
                  f"  input en, clk;\nendmodule\n\n")


def chained_module(out, name, children, rng):
    """A module with a 32-bit input d and output q whose children pass the
    vector along: child i reads w{i-1} and drives w{i}."""
    n = len(children)
    out.write(f"module {name}(d, q, clk);\n  input [{WIDTH - 1}:0] d;\n"
              f"  output [{WIDTH - 1}:0] q;\n  input clk;\n")
    if n > 1:
        out.write("  wire [%d:0] %s;\n" % (WIDTH - 1, ", ".join(f"w{i}" for i in range(n - 1))))
    for i, (master, is_leaf) in enumerate(children):
        src = "d" if i == 0 else f"w{i - 1}"
        dst = "q" if i == n - 1 else f"w{i}"
        inst = f"u{i}"
        if is_leaf:
            const = "1'b1" if rng.random() < 0.8 else "1'b0"
            if i % 2 == 0:
                out.write(f"  {master} {inst} (.d({src}), .q({dst}), .en({const}), .clk(clk));\n")
            else:
                # Positional, with the input split into a concatenation of part selects.
                half = WIDTH // 2
                out.write(f"  {master} {inst} ({{{src}[{WIDTH - 1}:{half}], {src}[{half - 1}:0]}}, "
                          f"{dst}, {const}, clk);\n")
        elif i % 2 == 0:
            out.write(f"  {master} {inst} (.d({src}), .q({dst}), .clk(clk));\n")
        else:
            out.write(f"  {master} {inst} ({src}, {dst}, clk);\n")
    out.write("endmodule\n\n")


def generate(leaves, prefix):
    per_cluster = LEAVES_PER_UNIT * UNITS_PER_CLUSTER
    if leaves % per_cluster:
        sys.exit(f"LEAVES must be a multiple of {per_cluster}")
    clusters = leaves // per_cluster
    rng = random.Random(leaves)
    counts = {t: 0 for t in LEAF_TYPES}
    with open(prefix + ".v", "w") as out:
        out.write(f"// {leaves} leaf instances: cpu > {clusters} clusters > "
                  f"{UNITS_PER_CLUSTER} units each > {LEAVES_PER_UNIT} leaves each\n\n")
        leaf_modules(out)
        for c in range(clusters):
            for u in range(UNITS_PER_CLUSTER):
                kids = [rng.choice(LEAF_TYPES) for _ in range(LEAVES_PER_UNIT)]
                for k in kids:
                    counts[k] += 1
                chained_module(out, f"unit_{c}_{u}", [(k, True) for k in kids], rng)
            chained_module(out, f"cluster_{c}",
                           [(f"unit_{c}_{u}", False) for u in range(UNITS_PER_CLUSTER)], rng)
        chained_module(out, "cpu", [(f"cluster_{c}", False) for c in range(clusters)], rng)

    # Library: one or two versions per leaf instance.
    cells = [(f"{t}_{k}", 1 + (k % 2)) for t in LEAF_TYPES for k in range(counts[t])]
    with open(prefix + ".lib", "w") as lib:
        lib.write(f"{len(cells)}\n")
        for name, versions in cells:
            lib.write(f"{name} {versions}\n")
        for name, versions in cells:
            kind = "seq" if name.startswith(("rf", "rob")) else "comb"
            for v in range(versions):
                area = round(rng.uniform(0.05, 2.0) * (1 + v), 3)
                delay = rng.randint(150, 1500) // (1 + v)
                lib.write(f"{name} v{v} 0 {kind} {area} {1 + v} {delay} 20 30\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    generate(int(sys.argv[1]), sys.argv[2])

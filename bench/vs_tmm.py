#!/usr/bin/env python3
"""The kernel's time per wavelength against the numpy transfer-matrix code (tmm.coh_tmm).

usage: PYTHONPATH=/work/shared/reference vs_tmm.py [--build BUILD] [--threads N]
                                                   [--repeats K] [--sample M]

The project is the flat stack of bench/projects.py: 48 alternating TiO2 / SiO2 layers on
glass under air at 14,001 wavelengths (400 to 1100 nm). The kernel's time is the wall time of
a whole `lumetrix-kernel` run (start-up, data read, every result file written) divided by
the wavelengths; tmm's is that of `coh_tmm` at M wavelengths spread over the range, with the
same nk data interpolated linearly. Each repeat times both back to back; the ratio printed is
the median of the repeats' ratios. The R of tmm at the sampled wavelengths is compared with
the kernel's .rta as a check that both computed the same stack.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

import numpy as np
import tmm

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import projects  # noqa: E402


def nk_table(path):
    rows = [line.split() for line in open(path, encoding="latin-1")
            if line.strip() and not line.startswith("#")]
    return np.array([[float(x) for x in r[:3]] for r in rows])


def index_at(table, lam):
    return np.interp(lam, table[:, 0], table[:, 1]) + 1j * np.interp(lam, table[:, 0], table[:, 2])


def stack_layers(dat):
    """(name, thickness) of the layers of an input file's structure, media with None."""
    lines = open(dat, newline="").read().split("\r\n")
    count = int(lines[7].split(":")[1])
    out = []
    for line in lines[11:11 + count]:
        name = line[:projects.THICKNESS - 1].strip()
        d = line[projects.THICKNESS - 1:projects.SEGMENTS - 1].strip()
        out.append((name, None if d == "x" else float(d)))
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--threads", type=int, default=0, help="0: the kernel's default (all)")
    parser.add_argument("--repeats", type=int, default=5)
    parser.add_argument("--sample", type=int, default=200)
    args = parser.parse_args()

    work = "/tmp/lumetrix_vs_tmm"
    projects.write(work)
    dat = os.path.join(work, "stack48.dat")
    kernel = [os.path.join(args.build, "src", "lumetrix-kernel")]
    if args.threads:
        kernel += ["--threads", str(args.threads)]
    kernel.append(dat)

    layers = stack_layers(dat)
    tables = {name: nk_table(os.path.join(work, "nk", name + ".nk")) for name, _ in layers}
    # Points of the kernel's grid (400 + 0.05 i nm), so that its .rta holds them.
    lams = 400 + 0.05 * np.round(np.linspace(0, 14000, args.sample))
    d_list = [np.inf] + [d for _, d in layers[1:-1]] + [np.inf]
    wavelengths = 14001

    def run_tmm():
        start = time.perf_counter()
        r = [tmm.coh_tmm("s", [index_at(tables[name], lam) for name, _ in layers], d_list, 0,
                         lam)["R"] for lam in lams]
        return (time.perf_counter() - start) / len(lams), r

    def run_kernel():
        start = time.perf_counter()
        subprocess.run(kernel, check=True, stdout=subprocess.DEVNULL)
        return (time.perf_counter() - start) / wavelengths

    ratios, ours, theirs = [], [], []
    r_tmm = None
    for _ in range(args.repeats):
        k = run_kernel()
        t, r_tmm = run_tmm()
        ours.append(k)
        theirs.append(t)
        ratios.append(t / k)

    rta = np.array([[float(x) for x in line.split("\t")[:2]]
                    for line in open(os.path.join(work, "Out", "stack48.rta"))
                    if line[:1].isdigit()])
    worst = max(abs(rta[np.abs(rta[:, 0] - lam).argmin(), 1] - r) for lam, r in zip(lams, r_tmm))
    print("stack: 48 layers TiO2/SiO2 on glass, %d wavelengths; kernel threads: %s; cores: %d"
          % (wavelengths, args.threads or "all", os.cpu_count()))
    print("kernel  %8.2f us per wavelength (median of %d whole runs)"
          % (1e6 * statistics.median(ours), args.repeats))
    print("tmm     %8.2f us per wavelength (median, coh_tmm at %d wavelengths)"
          % (1e6 * statistics.median(theirs), len(lams)))
    print("ratio   %8.1f x  (median of the per-repeat ratios: %s)"
          % (statistics.median(ratios), " ".join("%.1f" % x for x in ratios)))
    print("largest |R_kernel - R_tmm| at the sampled wavelengths: %.2e" % worst)


if __name__ == "__main__":
    main()

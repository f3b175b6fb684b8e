#!/usr/bin/env bash
# The figures of docs/performance.md, each beside its reference measured in the same run:
#   bash bench/performance.sh [BUILD_DIR [BEFORE_BUILD_DIR]]   (default: build/)
# BEFORE_BUILD_DIR, a build of an earlier version, adds its kernel's times for comparison.
# Needs /usr/bin/python3 with numpy and tmm (../shared/reference), awk and GNU time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
before=${2:+$(cd "$2" && pwd)}
work=/tmp/lumetrix_performance
rm -rf "$work"
mkdir -p "$work"
/usr/bin/python3 "$here/projects.py" "$work" >/dev/null
kernel=$build/src/lumetrix-kernel
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"

# Median of the wall and CPU (user + system) seconds of a command over 5 runs.
timed() {
    local runs
    runs=$(for _ in 1 2 3 4 5; do
        /usr/bin/time -f "%e %U %S" "$@" 2>&1 >/dev/null | tail -1
    done)
    echo "$(awk '{print $1}' <<<"$runs" | sort -g | sed -n 3p)" \
        "$(awk '{print $2 + $3}' <<<"$runs" | sort -g | sed -n 3p)"
}

echo
echo "== flat 48-layer stack against tmm (whole runs, every result file written)"
for threads in 1 2; do
    PYTHONPATH=$here/../../shared/reference /usr/bin/python3 "$here/vs_tmm.py" --build "$build" \
        --threads "$threads" --repeats 5 | grep -E "kernel|tmm|ratio"
done

echo
echo "== scattering (the example, 45 bins) against the same project flat; 360 bins against 45"
for threads in 1 2; do
    read -r ew ec < <(timed "$kernel" --threads "$threads" "$work/example.dat")
    read -r fw fc < <(timed "$kernel" --threads "$threads" "$work/flat.dat")
    read -r hw hc < <(timed "$kernel" --threads "$threads" "$work/bins360.dat")
    awk -v t="$threads" -v ew="$ew" -v ec="$ec" -v fw="$fw" -v fc="$fc" -v hw="$hw" -v hc="$hc" \
        'BEGIN {printf "threads %d: example %.2f s (CPU %.2f), flat %.2f s (CPU %.2f): %.1fx wall, %.1fx CPU; 360 bins %.2f s (CPU %.2f): %.1fx wall, %.1fx CPU the 45-bin run\n", t, ew, ec, fw, fc, ew / fw, ec / fc, hw, hc, hw / ew, hc / ec}'
done

echo
echo "== optimisation: simplex on the example's absorber thickness, 1 thread"
settings=$work/absorber.txt
printf 'criterion = max\nlayers = 5\nthickness = 5 abs 1000 3000\nmethod = simplex\nstop = 0.1\noutput = 0\n' >"$settings"
for k in "$kernel" ${before:+"$before/src/lumetrix-kernel"}; do
    start=$(date +%s.%N)
    iterations=$("$k" optimise "$work/example.dat" --settings "$settings" --threads 1 |
        sed -n 's/.*iterations=\([0-9]*\).*/\1/p' | tail -1)
    end=$(date +%s.%N)
    awk -v k="$k" -v s="$start" -v e="$end" -v i="$iterations" \
        'BEGIN {printf "%s: %d iterations in %.1f s, %.2f s per iteration\n", k, i, e - s, (e - s) / i}'
done

echo
echo "== result tables: lumetrix --table against Python's csv reader and awk (49 MB)"
/usr/bin/python3 - "$work/big.rta" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write("\t".join("A%d" % c for c in range(50)) + "\r\n")
    for r in range(100000):
        f.write("\t".join("%.6f" % (0.000013 * r + c) for c in range(50)) + "\r\n")
PY
printf 'import csv, sys\nn = 0\nfor row in csv.reader(open(sys.argv[1], newline=""), delimiter="\\t"):\n    n += len(row)\nprint(n)\n' >"$work/csvread.py"
read -r tw _ < <(timed "$build/src/lumetrix" --table "$work/big.rta")
read -r pw _ < <(timed /usr/bin/python3 "$work/csvread.py" "$work/big.rta")
read -r aw _ < <(timed awk -F'\t' '{n += NF} END {print n}' "$work/big.rta")
awk -v t="$tw" -v p="$pw" -v a="$aw" \
    'BEGIN {printf "--table %.2f s, csv %.2f s, awk %.2f s: %.2fx the csv reader\n", t, p, a, t / p}'
"$build/bench/bench_resulttable" 2>/dev/null | grep BM_

echo
echo "== the largest project (50 rows, 15 groups) written and read"
"$build/bench/bench_inputfile" 2>/dev/null | grep BM_

#!/usr/bin/env bash
# The sha256 of every result file (and of the report) that lumetrix-kernel writes for the
# projects of bench/projects.py: run it before and after a change to the kernel and compare
# the two listings, so that a change meant to keep the results keeps them byte for byte.
#   usage: bench/result_digest.sh [BUILD_DIR [PROJECT...]]   (default: build/, every project)
# The projects are written into a fixed folder, because the result files name their input.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
shift || true
work=${LUMETRIX_DIGEST_DIR:-/tmp/lumetrix_digest}
rm -rf "$work"
mkdir -p "$work"
names=$(/usr/bin/python3 "$here/projects.py" "$work")
if [ $# -gt 0 ]; then
    names="$*"
fi
for name in $names; do
    if ! "$build/src/lumetrix-kernel" --threads 2 "$work/$name.dat" >"$work/$name.report"; then
        echo "lumetrix-kernel failed on $name" >&2
        exit 1
    fi
    (
        cd "$work/Out"
        for suffix in .rta _Spec.rta _Dif.rta _Sum.jsc .jsc .jph _ratio.jph .GL .hrt _R.adf _T.adf; do
            if [ -f "$name$suffix" ]; then
                sha256sum "$name$suffix"
            fi
        done
    )
    (cd "$work" && sha256sum "$name.report")
done

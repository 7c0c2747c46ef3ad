#!/usr/bin/env bash
# Builds the benchmark programs (Release) and runs every one of them, then prints
# one table: operation, CPU time per operation, throughput, and how many times
# faster than the peer library where a peer is timed on the same input (a peer
# benchmark is labelled "peer of <benchmark>"). Times are CPU times: on a shared
# machine they move less than wall-clock times; compare ratios rather than
# absolute figures.
#
#   scripts/bench.sh                      all benchmarks
#   scripts/bench.sh --benchmark_filter=Account   extra arguments go to every program
#
# BUILD_DIR (default build-bench) is the build folder; JOBS (default 2) the build jobs.
# After the table, render_memory prints the peak memory of rendering direct debits and
# credit transfers of 10 000, 100 000 and 1 000 000 transactions (MEMORY=0 skips it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-bench}"
jobs="${JOBS:-2}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSEPA_BUILD_BENCH=ON -DSEPA_BUILD_TESTS=OFF \
  -DSEPA_BUILD_CLI=OFF >/dev/null
# Every *_bench.cpp in bench/ is a program of the same name (bench/CMakeLists.txt).
targets=()
for source in "$root"/bench/*_bench.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$build" --parallel "$jobs" --target "${targets[@]}" render_memory >/dev/null

results="$(mktemp -d)"
trap 'rm -rf "$results"' EXIT
for target in "${targets[@]}"; do
  echo "running $target" >&2
  if ! "$build/bench/$target" --benchmark_out="$results/$target.json" --benchmark_out_format=json "$@" \
      >"$results/$target.log" 2>&1; then
    cat "$results/$target.log" >&2
    exit 1
  fi
done

python3 - "$results" "${targets[@]}" <<'PY'
import json, os, sys

folder, programs = sys.argv[1], sys.argv[2:]
units = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
rows = []
for program in programs:
    path = os.path.join(folder, program + ".json")
    if not os.path.exists(path):
        continue
    with open(path) as f:
        try:
            data = json.load(f)
        except ValueError:  # a filter that matches none of the program's benchmarks
            continue
    for b in data.get("benchmarks", []):
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        rows.append({
            "program": program,
            "name": b["name"],
            "label": b.get("label", ""),
            "seconds": b["cpu_time"] * units[b.get("time_unit", "ns")],  # per iteration
            "items": b.get("items_per_second", 0.0),
            "bytes": b.get("bytes_per_second", 0.0),
        })

def time_text(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6), ("ns", 1e-9)):
        if seconds >= scale or unit == "ns":
            return f"{seconds / scale:.3g} {unit}"

def throughput_text(row):
    if row["bytes"] > 0:
        return f"{row['bytes'] / 1e6:.1f} MB/s"
    if row["items"] > 0:
        return f"{row['items'] / 1e6:.2f} M/s"
    return f"{1 / row['seconds'] / 1e6:.2f} M/s" if row["seconds"] > 0 else "-"

def per_operation(row):
    # CPU time of one item where the benchmark counts items, else of one iteration
    return 1 / row["items"] if row["items"] > 0 else row["seconds"]

by_name = {(r["program"], r["name"]): r for r in rows}
ratio = {}
for r in rows:
    if r["label"].startswith("peer of "):
        ours = by_name.get((r["program"], r["label"][len("peer of "):]))
        if ours is None:
            continue
        if ours["items"] > 0 and r["items"] > 0:
            factor = ours["items"] / r["items"]
        elif ours["bytes"] > 0 and r["bytes"] > 0:
            factor = ours["bytes"] / r["bytes"]
        else:
            factor = r["seconds"] / ours["seconds"]
        peer = r["name"][3:] if r["name"].startswith("BM_") else r["name"]
        ratio[(ours["program"], ours["name"])] = f"{factor:.1f}x {peer}"
        ratio[(r["program"], r["name"])] = "(peer)"

header = ("operation", "time", "throughput", "ratio to peer")
table = [(f"{r['program']}/{r['name']}", time_text(per_operation(r)), throughput_text(r),
          ratio.get((r["program"], r["name"]), "")) for r in rows]
widths = [max(len(line[i]) for line in table + [header]) for i in range(4)]
for line in [header, tuple("-" * w for w in widths)] + table:
    print("  ".join(text.ljust(widths[i]) if i == 0 or i == 3 else text.rjust(widths[i])
                    for i, text in enumerate(line)).rstrip())
PY

if [ "${MEMORY:-1}" != 0 ]; then
  echo
  echo "peak memory of one rendering (render_memory):"
  for type in dd ct; do
    for count in 10000 100000 1000000; do "$build/bench/render_memory" "$type" "$count"; done
  done
fi

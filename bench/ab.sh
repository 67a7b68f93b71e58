#!/usr/bin/env bash
# Compares the in-process benchmarks of two release trees built with
# -DLEXIGLOW_BENCHMARKS=ON, in one run: the two bench_core alternate ROUNDS
# times (7 unless set), so that a busy machine slows both alike, and the
# medians of processor time are printed as a Markdown table.
#
#   bench/ab.sh BEFORE_BUILD AFTER_BUILD [BENCHMARK_FILTER]
set -euo pipefail
before=$1/bench/bench_core
after=$2/bench/bench_core
filter=${3:-.}
rounds=${ROUNDS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for round in $(seq "$rounds"); do
    "$before" --benchmark_filter="$filter" --benchmark_format=json 2>/dev/null > "$work/before-$round.json"
    "$after" --benchmark_filter="$filter" --benchmark_format=json 2>/dev/null > "$work/after-$round.json"
done
python3 - "$work" "$rounds" <<'PY'
import json, statistics, sys
work, rounds = sys.argv[1], int(sys.argv[2])
times = {'before': {}, 'after': {}}
for side in times:
    for round in range(1, rounds + 1):
        for run in json.load(open(f"{work}/{side}-{round}.json"))['benchmarks']:
            times[side].setdefault(run['name'], []).append((run['cpu_time'], run['time_unit']))
print("| benchmark | before | after | after / before |")
print("|---|---|---|---|")
for name, runs in times['before'].items():
    before = statistics.median(time for time, _ in runs)
    after = statistics.median(time for time, _ in times['after'][name])
    print(f"| {name} | {before:.4g} {runs[0][1]} | {after:.4g} {runs[0][1]} | {after / before:.3f} |")
PY

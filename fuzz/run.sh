#!/usr/bin/env bash
# Runs one fuzzer for a while on a working copy of its seed corpus.
#
#   fuzz/run.sh FUZZER SEEDS WORK SECONDS [--fresh] [libFuzzer flags...]
#
# The working corpus is WORK/corpus (kept between runs unless --fresh); inputs
# that fail land in WORK/findings. The seeds themselves are never written to.
set -euo pipefail
[ $# -ge 4 ] || { sed -n '2,8s/^# \{0,1\}//p' "$0"; exit 2; }
fuzzer=$1 seeds=$2 work=$3 seconds=$4
shift 4
if [ "${1:-}" = --fresh ]; then
    rm -rf "$work"
    shift
fi
mkdir -p "$work/corpus" "$work/findings"
cp "$seeds"/* "$work/corpus/"

# A single allocation above 64 MB is a finding: no input this small can justify
# one, nor can the size an input claims. A small quarantine keeps the memory
# and the page faults of a long run down; short allocation stacks (reports
# still show the whole stack of a fault) double the executions a second.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=2}
exec "$fuzzer" "$work/corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=64 -max_len=4096 \
    -artifact_prefix="$work/findings/" -print_final_stats=1 "$@"

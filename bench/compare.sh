#!/usr/bin/env bash
# Whole-process comparison of `lxg suggest` with other password generators,
# and of list reading with `base64 -d`. Prints a Markdown table.
#
#   bench/compare.sh BUILD_DIR
#
# BUILD_DIR is a release build with the benchmarks (scripts/bench.sh makes
# one). Runs every command several times with hyperfine and compares medians.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages hyperfine pwgen apg xkcdpass

build=${1:-build/bench}
lxg="$build/bin/lxg"
runs=${RUNS:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# An empty settings folder: lxg then takes the lists beside it, the shipped ones.
export XDG_CONFIG_HOME="$work/config"

median() { # command... -> median seconds
    hyperfine -N --style none --warmup 3 --runs "$runs" --export-csv "$work/run.csv" "$@" >/dev/null 2>&1
    awk -F, 'NR == 2 { print $4 }' "$work/run.csv"
}

row() { # label lexiglow_seconds peer_seconds target
    awk -v label="$1" -v ours="$2" -v peer="$3" -v target="$4" 'BEGIN {
        printf "| %s | %.1f ms | %.1f ms | %.1fx | %s |\n", label, ours * 1000, peer * 1000, peer / ours, target }'
}

echo "| comparison | lexiglow | other | other / lexiglow | target |"
echo "|---|---|---|---|---|"
for n in 10 100000; do
    ours=$(median "$lxg suggest --count $n")
    if [ "$n" = 10 ]; then
        row "10 passwords vs pwgen -s -1 12 10" "$ours" "$(median "pwgen -s -1 12 10")" "at least 0.33x"
        row "10 passwords vs xkcdpass -n 2 -c 10" "$ours" "$(median "xkcdpass -n 2 -c 10")" "at least 1x"
    else
        row "100000 passwords vs pwgen -s -1 12 100000" "$ours" "$(median "pwgen -s -1 12 $n")" "at least 20x"
        row "100000 passwords vs apg -n 100000" "$ours" "$(median "apg -n $n")" "at least 20x"
        row "100000 passwords vs xkcdpass -n 2 -c 100000" "$ours" "$(median "xkcdpass -n 2 -c $n")" "at least 20x"
    fi
done

# List reading: a million-word list read in-process, against base64 -d on
# as many bytes of Base64 text.
awk 'BEGIN { srand(7); for (i = 0; i < 1000000; i++) { n = 4 + int(rand() * 6); w = "";
    for (j = 0; j < n; j++) w = w sprintf("%c", 97 + int(rand() * 26)); print toupper(substr(w, 1, 1)) substr(w, 2) } }' \
    > "$work/words.txt"
"$lxg" create "$work/million.lxg" --name Million "$work/words.txt" >/dev/null 2>&1
size=$(stat -c %s "$work/million.lxg")
head -c $((size * 3 / 4)) /dev/urandom | base64 -w 0 > "$work/volume.b64"
peer=$(median "base64 -d $work/volume.b64")
seconds() { # benchmark name -> seconds per iteration
    "$build/bench/bench_core" --benchmark_filter="^$1\$" --benchmark_format=csv 2>/dev/null \
        | awk -F, -v name="\"$1\"" '$1 == name { print $3 / ($5 == "ms" ? 1e3 : 1e9) }'
}
record=$(seconds readData)
streamed=$(seconds readDataStreamed)
row "read a 1,000,000-word list ($((size / 1000000)) MB) into a record vs base64 -d" "$record" "$peer" "at least 0.33x"
row "read it word by word, as the word pool does, vs base64 -d" "$streamed" "$peer" "at least 0.33x"
awk -v size="$size" -v r="$record" -v s="$streamed" 'BEGIN {
    printf "\nList reading: %.0f MB/s into a record, %.0f MB/s word by word (target: at least 300 MB/s)\n",
        size / r / 1e6, size / s / 1e6 }'
